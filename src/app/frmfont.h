#pragma once

#include "mainview/MainView.h"
#include "platform/Platform.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <functional>

class QLabel;
class QListWidget;
class QMenu;
class QAction;
class PictureButton;
class MovingText;
class PreviewText;
class setupfon;
class setupexe;
class searchfont;
class frmhtml;
class fzfd;
class frmjwdy;
class frmclient;
class OnlineServices;
class GlobalHotKey;

// The main window: font list, preview line, buttons, menus and the hidden flag labels that the
// other windows read. Controls and handlers keep their designed names so that a test calls
// exactly what a click calls.
class frmfont final : public QMainWindow, public MainView {
    Q_OBJECT
public:
    // programFolder holds config.ini, update.ini and BBS.vlf.
    frmfont(Platform platform, QString programFolder, QWidget* parent = nullptr);
    ~frmfont() override;

    Platform& platform() override { return platform_; }
    const QString& programFolder() const override { return programFolder_; }
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
    // The exit sequence shared by the exit command, the exit button and closing the window.
    void exitSequence();

    // The language flag "l" and the other hidden flag labels.
    QString language() const override;
    void setLanguage(const QString& flag);
    bool listShown() const;              // pd == "y"
    bool magnifierOpen() const override; // Label8 == "y"
    void setMagnifierOpen(bool open) override;
    QString fontsFolder() const override; // Labeldir
    // The selected entry of List1, empty when none.
    QString selectedFont() const override;

    // The rest of what the subsystem windows use.
    QWidget* mainWidget() override { return this; }
    void onMagnifierCaptionsChanged(QObject* receiver,
                                    std::function<void(bool chinese)> relabel) override;
    QListWidget* fontList() override { return List1; }
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
    QListWidget* List1;
    QListWidget* List2;
    PictureButton* Command1;
    PictureButton* Command;
    PictureButton* Command2;
    PictureButton* Command3;
    PreviewText* Label2;
    PreviewText* Label6;
    MovingText* MovingText1;
    QLabel* l;
    QLabel* pd;
    QLabel* Label8;
    QLabel* Labeldir;

    // Menus: titles and items, by their designed names.
    QMenu* glxxMenu;
    QMenu* newfontMenu;
    QMenu* ylszMenu;
    QMenu* fontsizesMenu;
    QMenu* fontcolorsMenu;
    QMenu* ylxgMenu;
    QMenu* zdllMenu;
    QMenu* listtimeMenu;
    QMenu* fzgjMenu;
    QMenu* yyxzMenu;
    QMenu* abMenu;
    QMenu* xxMenu;
    QAction *glxx, *infor, *newfont, *fromwenjian, *fromexe, *searchfonts, *delfont, *ztml,
        *mnuouthtml, *ref, *exitexe;
    QAction *ylsz, *fontsizes, *ssmall, *smid, *sbig, *cd, *fontcolors, *fcblack, *fcred, *fcgreen,
        *fcblue, *fcyellow, *fcgrey, *fczi, *zdy, *ylxg, *yyz, *jc, *xt, *xhx, *ylwzzdy,
        *mnupresave, *zdll, *down, *up, *fori, *listtime, *os, *ts, *rs, *fs, *fzgj, *fdj, *jwdy,
        *yyxz, *jtzw, *engls;
    QAction *ab, *aboutme, *shellardeno, *emtome, *mnupop, *mnuautocheck, *mnucheck, *gonggao,
        *bugemail;
    QAction *xx, *ztxx, *delcfont;
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
    void delcfont_Click();
    void ztml_Click();
    void infor_Click();
    void ztxx_Click();
    // Opens setupfon with a path filled in (the search window's "安装该字体").
    void openSetupfonWithPath(const QString& path) override;
    // HTML export.
    void mnuouthtml_Click();
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
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void connectHandlers();
    QAction* addItem(QMenu* menu, const char* name, const QString& caption);
    QMenu* addSubmenu(QMenu* parent, const char* name, const QString& caption);
    // Catalogue helpers.
    void setFontAvailability(bool fontSelected);
    void fillFontList();
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

    Platform platform_;
    QString programFolder_;
    bool ended_ = false;
    int hintWidthTwips_ = 500; // the hint line's width while it is revealed
    frmclient* frmclient_ = nullptr;
    OnlineServices* online_ = nullptr;
    QPointer<setupfon> setupfon_;
    QPointer<setupexe> setupexe_;
    QPointer<searchfont> searchfont_;
    QPointer<frmhtml> frmhtml_;
    QPointer<fzfd> fzfd_;
    QPointer<frmjwdy> frmjwdy_;
    GlobalHotKey* hotKey_ = nullptr;
};
