#include "i18n/Language.h"

namespace lang {

const QList<Caption>& mainMenuCaptions() {
    static const QList<Caption> table = {
        {"glxx", "管理选项", "Option"},
        {"infor", "查看字体信息", "View Font Information"},
        {"newfont", "安装新字体", "Setup New Fonts"},
        {"fromwenjian", "从字体文件安装", "From Files"},
        {"fromexe", "从EXE文件安装", "From EXE"},
        {"searchfonts", "搜索...", "Search For..."},
        {"delfont", "删除选中的字体", "Delete Font"},
        {"disableFont", "停用选中的字体", "Disable Selected Font"},
        {"disabledFonts", "已停用的字体...", "Disabled Fonts..."},
        {"findDuplicates", "查找重复字体...", "Find Duplicate Fonts..."},
        {"ztml", "打开字体目录", "Open Fonts Folder"},
        {"findFontsForText", "按文字查找字体...", "Find Fonts for Text..."},
        {"ref", "刷新字体列表", "Refresh List"},
        {"exitexe", "退出程序", "Exit"},
        {"ztxx", "查看字体信息", "View Font Information"},
        {"delcfont", "删除此字体", "Delete Font"},
        {"ylsz", "选项", "Setting"},
        {"fontsizes", "预览字体大小", "Preview Text Size"},
        {"ssmall", "小", "Small"},
        {"smid", "中(默认)", "Mid (Default)"},
        {"sbig", "大", "Big"},
        {"cd", "超大", "Big +"},
        {"fontcolors", "预览文字颜色", "Preview Text Colour"},
        {"fcblack", "黑(默认)", "Black (Default)"},
        {"fcred", "红", "Red"},
        {"fcgreen", "绿", "Green"},
        {"fcblue", "蓝", "Blue"},
        {"fcyellow", "黄", "Yellow"},
        {"fcgrey", "灰", "Grey"},
        {"fczi", "紫", "Purple"},
        {"zdy", "自定义", "Custom Colour..."},
        {"ylxg", "预览字体效果", "Preview Text Effect"},
        {"yyz", "阴影字", "Shadow"},
        {"jc", "加粗", "Bold"},
        {"xt", "斜体", "Italic"},
        {"xhx", "下划线", "Underline"},
        {"ylwzzdy", "预览文字自定义", "Custom Preview Text"},
        {"fzgj", "辅助工具", "Ancillary Tools"},
        {"fdj", "放大镜", "See More Clearly"},
        {"jwdy", "键位对应", "Keyboard to Fonts"},
        {"yyxz", "语言选择", "Language..."},
        {"jtzw", "简体中文", "Simplified Chinese"},
        {"engls", "English", "English"},
        {"ab", "关于", "About"},
        {"aboutme", "关于Vorlan字体管理", "About VLFonts"},
        {"shellardeno", "链接网站", "Our Page Online..."},
        {"emtome", "E-mail给我", "E-mail to me"},
        {"gonggao", "公告板", "BBS"},
        {"bugemail", "Bug报告", "Report Bugs"},
    };
    return table;
}

const QList<Caption>& browsingCaptions() {
    static const QList<Caption> table = {
        {"zdll", "自动浏览", "Auto Preview"},
        {"down", "自动向下", "Down"},
        {"up", "自动向上", "Up"},
        {"listtime", "间隔时间", "Time"},
        {"os", "1秒", "1s"},
        {"ts", "2秒（默认）", "2s(D)"},
        {"rs", "3秒", "3s"},
        {"fs", "4秒", "4s"},
        {"fori", "循环", "Loop"},
    };
    return table;
}

const Caption& mainWindowCaption() {
    static const Caption caption{"frmfont", "Vorlan字体管理 Build 0119", "VLFonts Build0119"};
    return caption;
}

const QList<Caption>& buttonCaptions() {
    static const QList<Caption> table = {
        {"Command1", "获取系统字体", "Get Font List"},
        {"Command2", "关于", "About"},
        {"Command3", "   退出", "   Exit"},
        {"Command", "刷新字体列表", "Refresh List"},
    };
    return table;
}

const QList<Caption>& buttonTooltips() {
    static const QList<Caption> table = {
        {"Command1", "获取当前系统内的字体列表", "Get Font List in this system"},
        {"Command2", "关于Vorlan字体管理", "About VLFonts"},
        {"Command3", "退出字体管理", "Exit"},
        {"Command", "刷新字体列表", "Refresh Font List"},
    };
    return table;
}

const Caption& headingCaption() {
    static const Caption caption{"Label1", "字体列表", "List"};
    return caption;
}

const Caption& placeholderText() {
    static const Caption caption{"Label2", "您的系统共有？种字体", "There're 0 in your system"};
    return caption;
}

QString scrollingText(bool chinese, const QString& mailAddress) {
    return (chinese ? QStringLiteral("点此来信：") : QStringLiteral("E-mail to me:")) + mailAddress;
}

const Caption& scrollingTooltip() {
    static const Caption caption{"MovingText1", "给我来信", "E-mail to me"};
    return caption;
}

const QList<Caption>& magnifierCaptions() {
    static const QList<Caption> table = {
        {"fzfd", "辅助工具-放大镜", "Tool-Clearly"},
        {"fdbs", "放大", "Amplification"},
        {"two", "2倍", "2 Times"},
        {"three", "3倍", "3 Times"},
        {"four", "4倍", "4 Times"},
        {"exit", "退出", "Exit"},
    };
    return table;
}

QString countText(bool chinese, int count) {
    if (chinese)
        return QStringLiteral("您的系统共有 ") + QString::number(count) + QStringLiteral(" 种字体");
    return QStringLiteral("There're ") + QString::number(count) + QStringLiteral(" in your system");
}

bool isCountText(const QString& text, int count) {
    return text == countText(true, count) || text == countText(false, count);
}

QString matchCountText(bool chinese, int count) {
    if (chinese)
        return QStringLiteral("共有 %1 种字体符合").arg(count);
    return count == 1 ? QStringLiteral("1 font matches")
                      : QStringLiteral("%1 fonts match").arg(count);
}

} // namespace lang
