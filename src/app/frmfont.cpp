#include "app/frmfont.h"

#include "app/ColorCode.h"
#include "app/ExactTitle.h"
#include "app/controls/FontListView.h"
#include "app/controls/MovingText.h"
#include "app/controls/PictureButton.h"
#include "app/settings/IniFile.h"
#include "app/settings/NumberForm.h"
#include "app/settings/ProgramFolder.h"
#include "catalogue/PreviewText.h"
#include "i18n/Language.h"
#include "i18n/QtTranslations.h"
#include "platform/Dialogs.h"
#include "platform/FontSystem.h"
#include "platform/Shell.h"
#include "tools/OpeningEffect.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStyle>

namespace {
// Designed positions are in twips; at 96 dpi a pixel is 15 twips.
QRect twips(int left, int top, int width, int height) {
    return QRect(left / 15, top / 15, width / 15, height / 15);
}
} // namespace

frmfont::frmfont(Platform platform, QString programFolder, QWidget* parent)
    : QMainWindow(parent), platform_(platform), programFolder_(std::move(programFolder)),
      settingsFolder_(programfolder::settingsFolder(programFolder_)) {
    setObjectName(QStringLiteral("frmfont"));
    endProgram = [] { QCoreApplication::exit(0); };
    buildControls();
    buildMenus();
    connectHandlers();
    keepExactTitle(this);
}

frmfont::~frmfont() = default;

QString frmfont::configPath() const {
    return settingsFolder_ + QStringLiteral("/config.ini");
}

QString frmfont::configValue(const QString& section, const QString& key) const {
    return mfncGetFromIni(section, key, configPath());
}

void frmfont::writeConfig(const QString& section, const QString& key, const QString& value) const {
    mfncWriteIni(section, key, value, configPath());
}

void frmfont::buildControls() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("client"));
    central->setFixedSize(4950 / 15, 4350 / 15);
    setCentralWidget(central);

    auto hiddenLabel = [&](const char* name, const QString& caption) {
        auto* label = new QLabel(caption, central);
        label->setObjectName(QLatin1String(name));
        // They hold texts from config.ini and the environment, never markup.
        label->setTextFormat(Qt::PlainText);
        label->hide();
        return label;
    };
    l = hiddenLabel("l", QString());
    pd = hiddenLabel("pd", QStringLiteral("n"));
    Label8 = hiddenLabel("Label8", QStringLiteral("n"));
    Labeldir = hiddenLabel("Labeldir", QString());

    Label1 = new QLabel(QStringLiteral("字体列表"), central);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(twips(120, 240, 1365, 285));
    QFont headingFont = Label1->font();
    headingFont.setPointSizeF(15.75);
    headingFont.setBold(true);
    Label1->setFont(headingFont);
    Label1->setStyleSheet(QStringLiteral("color: rgb(128,128,128);"));

    Label5 = new QLabel(QStringLiteral("字体名称前带“@”字符的为竖排字体"), central);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setGeometry(twips(1560, 360, 500, 255));
    Label5->hide();

    auto makeList = [&](const char* name) {
        auto* list = new FontListView(central);
        list->setObjectName(QLatin1String(name));
        list->setGeometry(twips(240, 720, 2655, 2580));
        list->setUniformItemSizes(true);
        list->setToolTip(QStringLiteral("未进行字体获取的操作"));
        list->setAccessibleName(QStringLiteral("字体列表"));
        return list;
    };
    List1 = makeList("List1");
    List1->hide();
    List2 = makeList("List2");

    auto makeButton = [&](const char* name, const QString& caption, const QString& tip,
                          QRect place) {
        auto* button = new PictureButton(caption, central);
        button->setObjectName(QLatin1String(name));
        button->setToolTip(tip);
        button->setGeometry(place);
        return button;
    };
    Command1 = makeButton("Command1", QStringLiteral("获取系统字体"),
                          QStringLiteral("获取当前系统内的字体列表"), twips(3120, 720, 1575, 465));
    Command = makeButton("Command", QStringLiteral("刷新字体列表"), QStringLiteral("刷新字体列表"),
                         twips(3120, 720, 1575, 465));
    Command->hide();
    Command2 = makeButton("Command2", QStringLiteral("关于"), QStringLiteral("关于Vorlan字体管理"),
                          twips(3120, 1800, 1575, 495));
    Command3 = makeButton("Command3", QStringLiteral("   退出"), QStringLiteral("退出字体管理"),
                          twips(3120, 2880, 1575, 495));
    Command1->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    Command->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    Command2->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
    Command3->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));

    // The shadow is created first so that it lies behind the preview line.
    Label6 = new PreviewText(central);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label6->setGeometry(twips(240, 3510, 4575, 375));
    Label6->setColor(QColor(192, 192, 192));
    Label6->hide();
    Label2 = new PreviewText(central);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(twips(225, 3480, 4575, 495));
    for (PreviewText* layer : {Label2, Label6}) {
        layer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        layer->setPointSize(12);
        layer->setFonts(&platform_.fonts);
    }
    Label2->setColor(colorcode::toColor(colorcode::buttonText));

    MovingText1 = new MovingText(central);
    MovingText1->setObjectName(QStringLiteral("MovingText1"));
    MovingText1->setGeometry(twips(240, 3960, 4455, 255));

    setTabOrder(List2, List1);
    setTabOrder(List1, Command1);
    setTabOrder(Command1, Command);
    setTabOrder(Command, Command2);
    setTabOrder(Command2, Command3);
    setTabOrder(Command3, MovingText1);
}

QAction* frmfont::addItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

QMenu* frmfont::addSubmenu(QMenu* parent, const char* name, const QString& caption) {
    QMenu* menu = parent->addMenu(caption);
    menu->setObjectName(QLatin1String(name) + QStringLiteral("Menu"));
    menu->menuAction()->setObjectName(QLatin1String(name));
    return menu;
}

void frmfont::buildMenus() {
    QMenuBar* bar = menuBar();
    glxxMenu = bar->addMenu(QStringLiteral("管理选项"));
    glxxMenu->setObjectName(QStringLiteral("glxxMenu"));
    glxx = glxxMenu->menuAction();
    glxx->setObjectName(QStringLiteral("glxx"));
    infor = addItem(glxxMenu, "infor", QStringLiteral("查看字体信息"));
    glxxMenu->addSeparator()->setObjectName(QStringLiteral("fg1"));
    newfontMenu = addSubmenu(glxxMenu, "newfont", QStringLiteral("安装新字体"));
    newfont = newfontMenu->menuAction();
    fromwenjian = addItem(newfontMenu, "fromwenjian", QStringLiteral("从字体文件安装"));
    fromexe = addItem(newfontMenu, "fromexe", QStringLiteral("从EXE文件安装"));
    searchfonts = addItem(newfontMenu, "searchfonts", QStringLiteral("搜索..."));
    delfont = addItem(glxxMenu, "delfont", QStringLiteral("删除选中的字体"));
    disableFont = addItem(glxxMenu, "disableFont", QStringLiteral("停用选中的字体"));
    disabledFonts = addItem(glxxMenu, "disabledFonts", QStringLiteral("已停用的字体..."));
    findDuplicates = addItem(glxxMenu, "findDuplicates", QStringLiteral("查找重复字体..."));
    ztml = addItem(glxxMenu, "ztml", QStringLiteral("打开字体目录"));
    mnuouthtml = addItem(glxxMenu, "mnuouthtml", QStringLiteral("输出到html..."));
    findFontsForText = addItem(glxxMenu, "findFontsForText", QStringLiteral("按文字查找字体..."));
    glxxMenu->addSeparator()->setObjectName(QStringLiteral("fg2"));
    ref = addItem(glxxMenu, "ref", QStringLiteral("刷新字体列表"));
    glxxMenu->addSeparator()->setObjectName(QStringLiteral("fg3"));
    exitexe = addItem(glxxMenu, "exitexe", QStringLiteral("退出程序"));

    ylszMenu = bar->addMenu(QStringLiteral("设置"));
    ylszMenu->setObjectName(QStringLiteral("ylszMenu"));
    ylsz = ylszMenu->menuAction();
    ylsz->setObjectName(QStringLiteral("ylsz"));
    fontsizesMenu = addSubmenu(ylszMenu, "fontsizes", QStringLiteral("预览字体大小"));
    fontsizes = fontsizesMenu->menuAction();
    ssmall = addItem(fontsizesMenu, "ssmall", QStringLiteral("小"));
    smid = addItem(fontsizesMenu, "smid", QStringLiteral("中(默认)"));
    sbig = addItem(fontsizesMenu, "sbig", QStringLiteral("大"));
    cd = addItem(fontsizesMenu, "cd", QStringLiteral("超大"));
    fontcolorsMenu = addSubmenu(ylszMenu, "fontcolors", QStringLiteral("预览字体颜色"));
    fontcolors = fontcolorsMenu->menuAction();
    fcblack = addItem(fontcolorsMenu, "fcblack", QStringLiteral("黑(默认)"));
    fcred = addItem(fontcolorsMenu, "fcred", QStringLiteral("红"));
    fcgreen = addItem(fontcolorsMenu, "fcgreen", QStringLiteral("绿"));
    fcblue = addItem(fontcolorsMenu, "fcblue", QStringLiteral("蓝"));
    fcyellow = addItem(fontcolorsMenu, "fcyellow", QStringLiteral("黄"));
    fcgrey = addItem(fontcolorsMenu, "fcgrey", QStringLiteral("灰"));
    fczi = addItem(fontcolorsMenu, "fczi", QStringLiteral("紫"));
    zdy = addItem(fontcolorsMenu, "zdy", QStringLiteral("自定义"));
    ylxgMenu = addSubmenu(ylszMenu, "ylxg", QStringLiteral("预览字体效果"));
    ylxg = ylxgMenu->menuAction();
    yyz = addItem(ylxgMenu, "yyz", QStringLiteral("阴影字"));
    jc = addItem(ylxgMenu, "jc", QStringLiteral("加粗"));
    xt = addItem(ylxgMenu, "xt", QStringLiteral("斜体"));
    xhx = addItem(ylxgMenu, "xhx", QStringLiteral("下划线"));
    for (QAction* item : {yyz, jc, xt, xhx})
        item->setCheckable(true);
    ylwzzdy = addItem(ylszMenu, "ylwzzdy", QStringLiteral("预览文字自定义"));
    mnupresave = addItem(ylszMenu, "mnupresave", QStringLiteral("保存预览设置"));
    mnupresave->setCheckable(true);
    mnupresave->setChecked(true);
    ylszMenu->addSeparator()->setObjectName(QStringLiteral("fg4"));
    zdllMenu = addSubmenu(ylszMenu, "zdll", QStringLiteral("自动浏览"));
    zdll = zdllMenu->menuAction();
    down = addItem(zdllMenu, "down", QStringLiteral("自动向下"));
    up = addItem(zdllMenu, "up", QStringLiteral("自动向上"));
    zdllMenu->addSeparator()->setObjectName(QStringLiteral("fg6"));
    fori = addItem(zdllMenu, "fori", QStringLiteral("循环"));
    for (QAction* item : {down, up, fori})
        item->setCheckable(true);
    fori->setChecked(true);
    listtimeMenu = addSubmenu(zdllMenu, "listtime", QStringLiteral("间隔时间"));
    listtime = listtimeMenu->menuAction();
    os = addItem(listtimeMenu, "os", QStringLiteral("1秒"));
    ts = addItem(listtimeMenu, "ts", QStringLiteral("2秒（默认）"));
    rs = addItem(listtimeMenu, "rs", QStringLiteral("3秒"));
    fs = addItem(listtimeMenu, "fs", QStringLiteral("4秒"));
    fzgjMenu = addSubmenu(ylszMenu, "fzgj", QStringLiteral("辅助工具"));
    fzgj = fzgjMenu->menuAction();
    fdj = addItem(fzgjMenu, "fdj", QStringLiteral("放大镜"));
    jwdy = addItem(fzgjMenu, "jwdy", QStringLiteral("键位对应"));
    yyxzMenu = addSubmenu(ylszMenu, "yyxz", QStringLiteral("语言选择"));
    yyxz = yyxzMenu->menuAction();
    jtzw = addItem(yyxzMenu, "jtzw", QStringLiteral("简体中文"));
    engls = addItem(yyxzMenu, "engls", QStringLiteral("English"));
    // The language switch is offered: both items enabled, the current language checked.
    jtzw->setCheckable(true);
    engls->setCheckable(true);

    abMenu = bar->addMenu(QStringLiteral("关于"));
    abMenu->setObjectName(QStringLiteral("abMenu"));
    ab = abMenu->menuAction();
    ab->setObjectName(QStringLiteral("ab"));
    aboutme = addItem(abMenu, "aboutme", QStringLiteral("关于Vorlan字体管理..."));
    shellardeno = addItem(abMenu, "shellardeno", QStringLiteral("链接网站"));
    emtome = addItem(abMenu, "emtome", QStringLiteral("E-Mail给我"));
    mnupop = addItem(abMenu, "mnupop", QStringLiteral("软件关闭时弹出网页"));
    mnupop->setCheckable(true);
    mnupop->setChecked(true);
    abMenu->addSeparator()->setObjectName(QStringLiteral("fg5"));
    mnuautocheck = addItem(abMenu, "mnuautocheck", QStringLiteral("自动检查更新"));
    mnuautocheck->setCheckable(true);
    mnuautocheck->setChecked(true);
    mnucheck = addItem(abMenu, "mnucheck", QStringLiteral("检查升级..."));
    gonggao = addItem(abMenu, "gonggao", QStringLiteral("公告版..."));
    bugemail = addItem(abMenu, "bugemail", QStringLiteral("BUG报告"));

    // The list's context menu: a title that never shows in the menu bar.
    xxMenu = new QMenu(this);
    xxMenu->setObjectName(QStringLiteral("xxMenu"));
    xx = xxMenu->menuAction();
    xx->setObjectName(QStringLiteral("xx"));
    xx->setVisible(false);
    ztxx = addItem(xxMenu, "ztxx", QStringLiteral("查看字体信息"));
    delcfont = addItem(xxMenu, "delcfont", QStringLiteral("删除此字体"));
}

QAction* frmfont::action(const QString& name) const {
    for (QAction* item : findChildren<QAction*>())
        if (item->objectName() == name)
            return item;
    return nullptr;
}

void frmfont::connectHandlers() {
    const std::pair<QAction*, void (frmfont::*)()> items[] = {
        {infor, &frmfont::infor_Click},
        {fromwenjian, &frmfont::fromwenjian_Click},
        {fromexe, &frmfont::fromexe_Click},
        {searchfonts, &frmfont::searchfonts_Click},
        {delfont, &frmfont::delfont_Click},
        {disableFont, &frmfont::disableFont_Click},
        {disabledFonts, &frmfont::disabledFonts_Click},
        {findDuplicates, &frmfont::findDuplicates_Click},
        {ztml, &frmfont::ztml_Click},
        {mnuouthtml, &frmfont::mnuouthtml_Click},
        {findFontsForText, &frmfont::findFontsForText_Click},
        {ref, &frmfont::ref_Click},
        {exitexe, &frmfont::exitexe_Click},
        {ssmall, &frmfont::ssmall_Click},
        {smid, &frmfont::smid_Click},
        {sbig, &frmfont::sbig_Click},
        {cd, &frmfont::cd_Click},
        {fcblack, &frmfont::fcblack_Click},
        {fcred, &frmfont::fcred_Click},
        {fcgreen, &frmfont::fcgreen_Click},
        {fcblue, &frmfont::fcblue_Click},
        {fcyellow, &frmfont::fcyellow_Click},
        {fcgrey, &frmfont::fcgrey_Click},
        {fczi, &frmfont::fczi_Click},
        {zdy, &frmfont::zdy_Click},
        {yyz, &frmfont::yyz_Click},
        {jc, &frmfont::jc_Click},
        {xt, &frmfont::xt_Click},
        {xhx, &frmfont::xhx_Click},
        {ylwzzdy, &frmfont::ylwzzdy_Click},
        {mnupresave, &frmfont::mnupresave_Click},
        {down, &frmfont::down_Click},
        {up, &frmfont::up_Click},
        {fori, &frmfont::fori_Click},
        {os, &frmfont::os_Click},
        {ts, &frmfont::ts_Click},
        {rs, &frmfont::rs_Click},
        {fs, &frmfont::fs_Click},
        {fdj, &frmfont::fdj_Click},
        {jwdy, &frmfont::jwdy_Click},
        {jtzw, &frmfont::jtzw_Click},
        {engls, &frmfont::engls_Click},
        {aboutme, &frmfont::aboutme_Click},
        {shellardeno, &frmfont::shellardeno_Click},
        {emtome, &frmfont::emtome_Click},
        {mnupop, &frmfont::mnupop_Click},
        {mnuautocheck, &frmfont::mnuautocheck_Click},
        {mnucheck, &frmfont::mnucheck_Click},
        {gonggao, &frmfont::gonggao_Click},
        {bugemail, &frmfont::bugemail_Click},
        {ztxx, &frmfont::ztxx_Click},
        {delcfont, &frmfont::delcfont_Click},
    };
    for (const auto& [item, handler] : items) {
        // A check item's mark is the handler's to set, as the designed menus do.
        connect(item, &QAction::triggered, this, [this, item = item, handler = handler] {
            if (item->isCheckable())
                item->setChecked(!item->isChecked());
            (this->*handler)();
        });
    }
    connect(Command1, &QPushButton::clicked, this, &frmfont::Command1_Click);
    connect(Command, &QPushButton::clicked, this, &frmfont::Command_Click);
    connect(Command2, &QPushButton::clicked, this, &frmfont::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmfont::Command3_Click);
    connect(List1, &FontListView::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            List1_Click();
    });
    connect(MovingText1, &MovingText::gotFocus, this, &frmfont::MovingText1_GotFocus);
    // Font files, archives and folders may be dropped anywhere on the window.
    setAcceptDrops(true);
    List1->viewport()->installEventFilter(this);
    List1->installEventFilter(this);
    Label2->installEventFilter(this);

    Timerload.setInterval(10);
    Timerload.setSingleShot(true);
    connect(&Timerload, &QTimer::timeout, this, &frmfont::Timerload_Timer);
    Timer1.setInterval(5);
    connect(&Timer1, &QTimer::timeout, this, &frmfont::Timer1_Timer);
    Timerlistdown.setInterval(2000);
    connect(&Timerlistdown, &QTimer::timeout, this, &frmfont::Timerlistdown_Timer);
    Timerlistup.setInterval(2000);
    connect(&Timerlistup, &QTimer::timeout, this, &frmfont::Timerlistup_Timer);
    Timer2.setInterval(5000);
    Timer2.setSingleShot(true);
    connect(&Timer2, &QTimer::timeout, this, &frmfont::Timer2_Timer);
    Timerfdj.setInterval(5);
    connect(&Timerfdj, &QTimer::timeout, this, &frmfont::Timerfdj_Timer);
}

bool frmfont::eventFilter(QObject* watched, QEvent* event) {
    // The menu key and Shift+F10 open the list's menu too, at the current entry.
    if (event->type() == QEvent::ContextMenu && watched == List1) {
        auto* menuEvent = static_cast<QContextMenuEvent*>(event);
        if (menuEvent->reason() == QContextMenuEvent::Keyboard) {
            const QRect item = List1->visualRect(List1->currentIndex());
            xxMenu->popup(
                List1->viewport()->mapToGlobal(item.isValid() ? item.bottomLeft() : QPoint()));
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            if (watched == List1->viewport()) {
                xxMenu->popup(mouse->globalPosition().toPoint());
                return true;
            }
            if (watched == Label2) {
                ylszMenu->popup(mouse->globalPosition().toPoint());
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

QString frmfont::language() const {
    return l->text();
}
void frmfont::setLanguage(const QString& flag) {
    l->setText(flag);
    // The captions are Chinese unless the flag is "e"; Qt's own dialogs follow them.
    lang::useQtTranslations(lang::chineseByE(flag));
    jtzw->setChecked(flag == QLatin1String("c"));
    engls->setChecked(flag == QLatin1String("e"));
}
bool frmfont::listShown() const {
    return pd->text() == QLatin1String("y");
}
bool frmfont::magnifierOpen() const {
    return Label8->text() == QLatin1String("y");
}
void frmfont::setMagnifierOpen(bool open) {
    Label8->setText(open ? QStringLiteral("y") : QStringLiteral("n"));
    // A magnifier closed while it still grows leaves nothing for Timerfdj to grow.
    if (!open)
        Timerfdj.stop();
}
QString frmfont::fontsFolder() const {
    return Labeldir->text();
}

QString frmfont::selectedFont() const {
    const int row = List1->currentRow();
    if (row < 0)
        return {};
    // An entry shown by its name in the reader's language stands for the family behind it.
    return row < listedFamilies_.size() && List1->count() == listedFamilies_.size()
               ? listedFamilies_[row]
               : List1->text(row);
}

QString frmfont::selectedFontName() const {
    return List1->text(List1->currentRow());
}

QString frmfont::listedName(const QString& family) const {
    const int row =
        List1->count() == listedFamilies_.size() ? int(listedFamilies_.indexOf(family)) : -1;
    return row >= 0 ? List1->text(row) : family;
}

void frmfont::onMagnifierCaptionsChanged(QObject* receiver,
                                         std::function<void(bool chinese)> relabel) {
    connect(this, &frmfont::magnifierCaptionsChanged, receiver, std::move(relabel));
}

QColor frmfont::previewColor() const {
    return Label2->color();
}

void frmfont::endAtOnce() {
    if (endProgram)
        endProgram();
}

bool frmfont::Form_Load() {
    // 1. One instance only.
    if (anotherInstanceRunning && anotherInstanceRunning()) {
        platform_.dialogs.message(nullptr, QStringLiteral("本程序不允许运行多次，请关闭后再试。"),
                                  QStringLiteral("系统提示"), Dialogs::Icon::Information);
        return false;
    }
    // 2. The dial-up window, loaded hidden.
    loadDialup();
    // 3. The language flag; the captions stay Chinese unless the stored flag is "e".
    setLanguage(configValue(QStringLiteral("Main"), QStringLiteral("language")));
    // 4.
    ifomsg = numberform::int16(configValue(QStringLiteral("Main"), QStringLiteral("ifopenmsg")));
    openmsg = configValue(QStringLiteral("Main"), QStringLiteral("openmsg"));
    openeffect =
        numberform::int16(configValue(QStringLiteral("Main"), QStringLiteral("openeffect")));
    setWindowTitle(configValue(QStringLiteral("Main"), QStringLiteral("maincaption")));
    // 5.
    if (ifomsg == 1)
        platform_.dialogs.message(nullptr, openmsg, QStringLiteral("^_^"),
                                  Dialogs::Icon::Information);
    // 6.
    Timerload.start();
    // 7.
    if (openeffect == 1)
        playOpeningEffect(this, 3500);
    // 8.
    registerHotKey();
    // 9.
    Labeldir->setText(platform_.fonts.userFontsFolder());
    // 10.
    for (QAction* item : {infor, ref, ztxx, jwdy, delfont, delcfont, disableFont})
        item->setEnabled(false);
    // 11. The white goes behind the two list buttons' pictures.
    Command1->setBackColor(Qt::white);
    Command->setBackColor(Qt::white);
    // 12.
    List1->hide();
    List2->show();
    // 13.
    zdll->setEnabled(false);
    down->setChecked(false);
    up->setChecked(false);
    fori->setChecked(true);
    // 14.
    loadSettings();
    // A stored "e" would otherwise give English messages under Chinese menus. The caption
    // stays the configured one: only the language switch puts the build text there.
    if (language() == QLatin1String("e"))
        applyStartupEnglish();
    // 15.
    if (mnuautocheck->isChecked())
        startAutoCheck();
    return true;
}

void frmfont::exitSequence() {
    if (ended_)
        return;
    ended_ = true;
    // 1. Only exactly "1" counts, and only web and mail addresses are handed on.
    if (configValue(QStringLiteral("Link"), QStringLiteral("popwindow")) == QLatin1String("1"))
        platform_.shell.openAddress(configValue(QStringLiteral("Link"), QStringLiteral("poplink")));
    // 2.
    ifcmsg = numberform::int16(configValue(QStringLiteral("Main"), QStringLiteral("ifclosemsg")));
    closemsg = configValue(QStringLiteral("Main"), QStringLiteral("closemsg"));
    // 3.
    if (ifcmsg == 1)
        platform_.dialogs.message(this, closemsg, QStringLiteral("Thanks"),
                                  Dialogs::Icon::Information);
    // 4.
    writeConfig(QStringLiteral("Main"), QStringLiteral("language"), language());
    // 5.
    if (endProgram)
        endProgram();
}

void frmfont::closeEvent(QCloseEvent* event) {
    exitSequence();
    event->accept();
}

void frmfont::MovingText1_GotFocus() {
    platform_.shell.openAddress(mclink);
}
