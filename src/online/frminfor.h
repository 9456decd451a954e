#pragma once

#include <QWidget>
#include <cstdint>

class QLabel;
class QPlainTextEdit;
class PictureButton;
class MovingText;
class MainView;
class OnlineServices;

// frminfor: the notice board ("公告板"). Shows the installed build and what the local update
// descriptor offers, says whether an upgrade is available, and hands over to the updater.
// The window object lives on between loads (like the designed form, whose variables outlast
// an unload), so a check can arm `record` before the board is loaded again.
class frminfor final : public QWidget {
    Q_OBJECT
public:
    frminfor(MainView& main, OnlineServices& services);

    // Set by the update check; a load that finds it set records the notice and clears it.
    bool record = false;
    // The two build numbers of the version test.
    std::int16_t vernum = 0;
    std::int16_t newvernum = 0;

    bool loaded() const { return loaded_; }
    // Fills the labels from config.ini and update.ini, runs the version test and records the
    // notice when asked to.
    void Form_Load();
    // Hides the window; the next showing loads it afresh.
    void unload();

    QLabel *Label9, *Label10; // installed build
    QLabel *Label1, *Label2;  // offered build
    QLabel *Label3, *Label4;  // status line
    QLabel *Label5, *Label6;  // new features
    QLabel *Label7, *Label8;  // the maker's message
    PictureButton* Command5;  // upgrade
    PictureButton* Command4;  // view records
    PictureButton* Command3;  // clear records
    PictureButton* Command2;  // return
    QPlainTextEdit* Text1;    // the record being composed (hidden)
    MovingText* MovingText2;

public slots:
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QString recordPath() const;
    QString descriptorPath() const;

    MainView& main_;
    OnlineServices& services_;
    bool loaded_ = false;
};
