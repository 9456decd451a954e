#pragma once

#include "mainview/MainView.h"
#include "platform/FontSystem.h"
#include "platform/Platform.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <functional>

class QLabel;
class FontListView;
class QMenu;
class QAction;
class PictureButton;
class MovingText;
class PreviewText;
class setupfon;
class setupexe;
class searchfont;
class DisabledFontsWindow;
class DuplicateFontsWindow;
class FontsForText;
class frmhtml;
class fzfd;
class frmjwdy;
class frmclient;
class OnlineServices;

// The main window: font list, preview line, buttons, menus and the hidden flag labels that the
// other windows read. Controls and handlers keep their designed names so that a test calls
// exactly what a click calls.
class frmfont final : public QMainWindow, public MainView {
    Q_OBJECT
public:
    // programFolder holds the program and update/vlupdate; config.ini, update.ini and BBS.vlf
    // live in settingsFolder(), which is programFolder whenever this user may write there.
    frmfont(Platform platform, QString programFolder, QWidget* parent = nullptr);
    ~frmfont() override;

    Platform& platform() override { return platform_; }
    const QString& programFolder() const override { return programFolder_; }
    const QString& settingsFolder() const override { return settingsFolder_; }
    QString configPath() const override;
    // Reads and writes one key of config.ini.
    QString configValue(const QString& section, const QString& key) const override;
    void writeConfig(const QString& section, const QString& key,
                     const QString& value) const override;

    // How the program ends (the last exit step); tests replace it.
    std::function<void()> endProgram;
    // How another running instance is detected at step 1 of start-up; true means refuse.
    std::function<bool()> anotherInstanceRunning;

    // Start-up; false when the program must end at once (another instance runs).
    bool Form_Load();
    // Font files given on the command line or handed over by a second process. One opens the
    // install window "从字体文件安装" in place of the main window, with the file in its path
    // field; several are installed at once, with one message, as when they are dropped.
    void installFromArguments(const QStringList& paths);
    // The exit sequence shared by the exit command, the exit button and closing the window.
    void exitSequence();

    // The language flag "l" and the other hidden flag labels.
    QString language() const override;
    void setLanguage(const QString& flag);
    bool listShown() const;              // pd == "y"
    bool magnifierOpen() const override; // Label8 == "y"
    void setMagnifierOpen(bool open) override;
    QString fontsFolder() const override; // Labeldir
    // The family of the selected entry of List1 and the name the entry shows; empty when none.
    QString selectedFont() const override;
    QString selectedFontName() const override;
    // The name List1 shows for family: in the reader's language where it has one.
    QString listedName(const QString& family) const;

    // The rest of what the subsystem windows use.
    QWidget* mainWidget() override { return this; }
    void onMagnifierCaptionsChanged(QObject* receiver,
                                    std::function<void(bool chinese)> relabel) override;
    FontListView* fontList() override { return List1; }
    QColor previewColor() const override;
    void hideMain() override { hide(); }
    void showMain() override { show(); }
    void activateMain() override { activateWindow(); }
    bool onLine() const override { return client; }
    void setOnLine(bool online) override { client = online; }
    void endAtOnce() override;

    // Designed controls.
    QLabel* Label1;
    QLabel* Label5;
    FontListView* List1;
    FontListView* List2;
    PictureButton* Command1;
    PictureButton* Command;
    PictureButton* Command2;
    PictureButton* Command3;
    PreviewText* Label2;
    PreviewText* Label6;
    MovingText* MovingText1;
    // Hidden flag labels.
    QLabel* l;        // the language flag: "c" Chinese, "e" English
    QLabel* pd;       // "y" once the font list has been shown
    QLabel* Label8;   // "y" while the magnifier is open
    QLabel* Labeldir; // the fonts folder

    // Menus: titles and submenus, by their designed names (each is also the action of the same
    // name below); the captions are the Chinese ones.
    QMenu* glxxMenu;       // glxx: the management menu "管理选项"
    QMenu* newfontMenu;    // newfont: "安装新字体", installing new fonts
    QMenu* ylszMenu;       // ylsz: the preview settings menu "选项"
    QMenu* fontsizesMenu;  // fontsizes: "预览字体大小", the preview size
    QMenu* fontcolorsMenu; // fontcolors: "预览字体颜色", the preview colour
    QMenu* ylxgMenu;       // ylxg: "预览字体效果", the preview effects
    QMenu* zdllMenu;       // zdll: "自动浏览", automatic browsing
    QMenu* listtimeMenu;   // listtime: "间隔时间", the browsing interval
    QMenu* fzgjMenu;       // fzgj: "辅助工具", the ancillary tools
    QMenu* yyxzMenu;       // yyxz: "语言选择", the language choice
    QMenu* abMenu;         // ab: "关于", about the program
    QMenu* xxMenu;         // xx: the font list's context menu (never in the menu bar)
    QAction *glxx, *newfont, *ylsz, *fontsizes, *fontcolors, *ylxg, *zdll, *listtime, *fzgj, *yyxz,
        *ab, *xx;
    // Items of glxx.
    QAction* infor;       // "查看字体信息": information on the selected font
    QAction* fromwenjian; // "从字体文件安装": install from a font file (setupfon)
    QAction* fromexe;     // "从EXE文件安装": start a font setup program (setupexe)
    QAction* searchfonts; // "搜索...": search for font files (searchfont)
    QAction* delfont;     // "删除选中的字体": delete the selected font
    // Keeping the list clean: hiding a font without deleting it, and fonts installed twice.
    QAction* disableFont;    // "停用选中的字体": disable the selected font
    QAction* disabledFonts;  // "已停用的字体...": the disabled fonts (DisabledFontsWindow)
    QAction* findDuplicates; // "查找重复字体...": fonts installed twice (DuplicateFontsWindow)
    QAction* ztml;           // "打开字体目录": open the fonts folder
    QAction* mnuouthtml;     // "输出到html...": HTML export (frmhtml)
    QAction* ref;            // "刷新字体列表": refresh the font list
    QAction* exitexe;        // "退出程序": exit
    // "按文字查找字体...": the families that can write a text (FontsForText).
    QAction* findFontsForText;
    // Items of ylsz: preview size, colour and effects, then the rest.
    QAction *ssmall, *smid, *sbig, *cd; // "小", "中(默认)", "大", "超大"
    QAction *fcblack, *fcred, *fcgreen, *fcblue, *fcyellow, *fcgrey, *fczi; // black to purple
    QAction* zdy;               // "自定义": a colour of the user's choice
    QAction* yyz;               // "阴影字": shadow
    QAction* jc;                // "加粗": bold
    QAction* xt;                // "斜体": italic
    QAction* xhx;               // "下划线": underline
    QAction* ylwzzdy;           // "预览文字自定义": the user's own preview text
    QAction* mnupresave;        // "保存预览设置": store the preview settings
    QAction *down, *up;         // "自动向下", "自动向上": browse automatically down, up
    QAction* fori;              // "循环": browsing loops
    QAction *os, *ts, *rs, *fs; // "1秒" to "4秒": the browsing interval
    QAction* fdj;               // "放大镜": the magnifier (fzfd)
    QAction* jwdy;              // "键位对应": keyboard to fonts (frmjwdy)
    QAction* jtzw;              // "简体中文": switch to Simplified Chinese
    QAction* engls;             // "English": switch to English
    // Items of ab.
    QAction* aboutme;      // "关于Vorlan字体管理...": the About box
    QAction* shellardeno;  // "链接网站": the maker's web site
    QAction* emtome;       // "E-Mail给我": a mail to the author
    QAction* mnupop;       // "软件关闭时弹出网页": a web page on closing
    QAction* mnuautocheck; // "自动检查更新": the automatic update check
    QAction* mnucheck;     // "检查升级...": check for an update now
    QAction* gonggao;      // "公告版...": the notice board (frminfor)
    QAction* bugemail;     // "BUG报告": an error report by mail
    // Items of xx.
    QAction* ztxx;     // "查看字体信息": information on the font
    QAction* delcfont; // "删除此字体": delete the font
    // Every action above by its designed name (menu titles included).
    QAction* action(const QString& name) const;

    // Timers of the main window.
    QTimer Timerload;     // 10 ms, one tick: fills the list
    QTimer Timer1;        // 5 ms: widens the hint line
    QTimer Timerlistdown; // automatic browsing down
    QTimer Timerlistup;   // automatic browsing up
    QTimer Timer2;        // 5000 ms, one tick: the automatic update check
    QTimer Timerfdj;      // 5 ms: grows the opening magnifier

    // Main-window state variables.
    std::int16_t ifomsg = 0;
    QString openmsg;
    std::int16_t openeffect = 0;
    std::int16_t ifcmsg = 0;
    QString closemsg;
    QString mclink;
    QString presave;
    QString pretext;
    double precolor = 0;
    std::int16_t presize = 0;
    std::int16_t preeffect0 = 0;
    std::int16_t preeffect1 = 0;
    std::int16_t preeffect2 = 0;
    std::int16_t preeffect3 = 0;
    bool client = false; // set by the dial-up window: the computer is on line

    // Windows loaded for the whole run.
    frmclient* dialup() const { return frmclient_; }
    OnlineServices* online() const { return online_; }

signals:
    // The language was switched while the magnifier is open: it relabels itself.
    void magnifierCaptionsChanged(bool chinese);

public slots:
    // Font list.
    void Timerload_Timer();
    void Command1_Click();
    void ref_Click();
    void Command_Click() { ref_Click(); }
    void List1_Click();
    void Timer1_Timer();
    // Preview settings.
    void ssmall_Click();
    void smid_Click();
    void sbig_Click();
    void cd_Click();
    void fcblack_Click();
    void fcred_Click();
    void fcgreen_Click();
    void fcblue_Click();
    void fcyellow_Click();
    void fcgrey_Click();
    void fczi_Click();
    void zdy_Click();
    void yyz_Click();
    void jc_Click();
    void xt_Click();
    void xhx_Click();
    void ylwzzdy_Click();
    void mnupresave_Click();
    void loadSettings();
    // Automatic browsing.
    void down_Click();
    void up_Click();
    void fori_Click();
    void os_Click();
    void ts_Click();
    void rs_Click();
    void fs_Click();
    void Timerlistdown_Timer();
    void Timerlistup_Timer();
    // Languages.
    void jtzw_Click();
    void engls_Click();
    // Installation.
    void fromwenjian_Click();
    void fromexe_Click();
    void searchfonts_Click();
    void delfont_Click();
    void disableFont_Click();
    void disabledFonts_Click();
    void findDuplicates_Click();
    void delcfont_Click();
    void ztml_Click();
    void infor_Click();
    void ztxx_Click();
    // Opens setupfon with a path filled in (the search window's "安装该字体").
    void openSetupfonWithPath(const QString& path) override;
    // Opens the search window at a folder (a folder dropped on a window).
    void openSearchAt(const QString& folder) override;
    void showFamilyInList(const QString& family) override;
    // Installs dropped font files and archives with one message at the end, and shows them in
    // the list; a folder dropped alone opens the search window at it.
    void installDropped(const QStringList& paths);
    // HTML export.
    void mnuouthtml_Click();
    // The window that finds the families for a text or a language (FontsForText).
    void findFontsForText_Click();
    // Tools.
    void fdj_Click();
    void jwdy_Click();
    void Timerfdj_Timer();
    // Online services.
    void Command2_Click();
    void aboutme_Click();
    void shellardeno_Click();
    void emtome_Click();
    void bugemail_Click();
    void mnupop_Click();
    void mnuautocheck_Click();
    void mnucheck_Click();
    void gonggao_Click();
    void startAutoCheck();
    void Timer2_Timer();
    void MovingText1_GotFocus();
    // Exit.
    void exitexe_Click() { exitSequence(); }
    void Command3_Click() { exitSequence(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Brings a secondary window to the front in place of the main window.
    void showInstead(QWidget* window);
    // The screen's answer to the magnifier's opening: the window, or the refusal.
    void showMagnifier(bool screenReadable);

    void buildControls();
    void buildMenus();
    void connectHandlers();
    QAction* addItem(QMenu* menu, const char* name, const QString& caption);
    QMenu* addSubmenu(QMenu* parent, const char* name, const QString& caption);
    // Catalogue helpers.
    void setFontAvailability(bool fontSelected);
    void fillFontList();
    // Reads the font table again and lists it; keepSelection: the selected family stays
    // selected (fonts were installed), else none is (the refresh command).
    void refreshFontList(bool keepSelection);
    // Shows the list's names in the current interface language, keeping the selected family.
    void relistInLanguage();
    void setPreviewText(const QString& text);
    void setPreviewSize(std::int16_t points);
    void setPreviewColor(double code);
    void storePreview(const QString& key, const QString& value);
    void choosePreviewSize(std::int16_t points);
    void choosePreviewColor(double code);
    // One effect item: its mark, its variable and key, and the layers' setter (none: shadow).
    void toggleEffect(QAction* item, std::int16_t& variable, const QString& key,
                      void (PreviewText::*apply)(bool));
    void selectRow(int row);
    // Languages.
    void applyCaptions(bool chinese);
    void switchLanguage(const QString& flag);
    void applyStartupEnglish();
    // Start-up pieces owned by other subsystems.
    void loadDialup();
    void registerHotKey();
    // Ctrl+Alt+F, from the desktop or from inside the program.
    void hotKeyPressed();
    // Once per settings folder: the key works only while the program has the focus.
    void tellHotKeyWorksOnlyInside();

    Platform platform_;
    QString programFolder_;
    QString settingsFolder_;
    bool ended_ = false;
    int hintWidthTwips_ = 500; // the hint line's width while it is revealed
    // The families as the font table knows them, with their names, and the family behind each
    // entry of List1, row by row.
    QList<FontSystem::FamilyNames> familyNames_;
    QStringList listedFamilies_;
    frmclient* frmclient_ = nullptr;
    OnlineServices* online_ = nullptr;
    QPointer<setupfon> setupfon_;
    QPointer<DisabledFontsWindow> disabledFonts_;
    QPointer<DuplicateFontsWindow> duplicateFonts_;
    QPointer<setupexe> setupexe_;
    QPointer<searchfont> searchfont_;
    QPointer<FontsForText> fontsForText_;
    QPointer<frmhtml> frmhtml_;
    QPointer<fzfd> fzfd_;
    QPointer<frmjwdy> frmjwdy_;
    bool hotKeyRegistered_ = false;
};
