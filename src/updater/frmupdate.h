#pragma once

#include "platform/Dialogs.h"
#include "updater/DownloadFile.h"
#include "updater/InternetTransfer.h"
#include "updater/UpdateProgress.h"

#include <QElapsedTimer>
#include <QString>
#include <QWidget>

#include <functional>

class Shell;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

// The updater's one window: checks the hand-over flag, downloads the file the update
// descriptor names into the updater's own folder with a progress display, and starts it
// when "完成" is pressed. Messages go through Dialogs, the start through Shell.
class frmupdate final : public QWidget {
    Q_OBJECT
public:
    // folder is the updater's own folder. config.ini and update.ini lie in the program folder
    // above it, or in the user's settings folder when that one is not the user's to write; the
    // download goes into folder, or into the user's cache folder when folder is not writable.
    frmupdate(Dialogs& dialogs, Shell& shell, const QString& folder, QWidget* parent = nullptr);
    ~frmupdate() override;

    QGroupBox* Frame1;
    QProgressBar* ProgressBar1;
    QLabel* lblProgressInfo;
    QPushButton* Command1; // "完成"
    InternetTransfer* Inet1;

    // Set once by Form_Load from update.ini [Download].
    QString strURL;
    QString FileName;
    QString sha256;
    // The size the response announces; 0 until its headers arrived.
    qint64 contentLength = 0;

    // Ends the program; the real program quits its event loop, a test records it.
    std::function<void()> endProgram;
    bool hasEnded() const { return ended_; }
    // How often the label and bar were redrawn for received data.
    int progressRedraws() const { return progressRedraws_; }

    QString configFile() const;
    QString descriptorFile() const;
    QString downloadPath() const;

public slots:
    void Form_Load();
    void Inet1_StateChanged(int State);
    void Command1_Click();

signals:
    // "完成" became enabled: the file is in place.
    void downloadFinished();

protected:
    // The close box and Esc cancel: before the transfer they end the updater with nothing
    // started, during it they stop it, after the download they close without starting the file.
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void checkSize();
    void readBody();
    void completeDownload();
    void showProgress();
    void giveUp(const QString& text, const QString& title, Dialogs::Icon icon);
    void end();
    // Names the folder the download was to go to, unless it is the updater's own.
    QString saveFailedText() const;
    static QString transferErrorText();

    Dialogs& dialogs_;
    Shell& shell_;
    QString folder_;
    QString settingsFolder_;
    QString downloadFolder_;
    DownloadFile file_;
    QByteArray buffer_;
    updater::ProgressThrottle throttle_;
    QElapsedTimer clock_;
    int progressRedraws_ = 0;
    bool transferring_ = false;
    bool downloaded_ = false;
    bool ended_ = false;
};
