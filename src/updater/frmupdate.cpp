#include "updater/frmupdate.h"

#include "app/settings/IniFile.h"
#include "app/settings/NumberForm.h"
#include "app/settings/ProgramFolder.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"

#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

namespace {

const QString kTitle = QStringLiteral("在线升级");
// Bytes taken from the transfer at a time; the transfer holds at most its own buffer.
constexpr qint64 kChunk = 256 * 1024;

} // namespace

frmupdate::frmupdate(Dialogs& dialogs, Shell& shell, const QString& folder, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      dialogs_(dialogs), shell_(shell), folder_(folder),
      settingsFolder_(
          programfolder::settingsFolder(QDir::cleanPath(folder + QStringLiteral("/..")))),
      downloadFolder_(programfolder::downloadFolder(folder)) {
    setObjectName(QStringLiteral("frmupdate"));
    setWindowTitle(QStringLiteral("Vorlan字体管理_在线升级"));
    setFixedSize(400, 136);

    Frame1 = new QGroupBox(QStringLiteral("下载升级文件"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(8, 4, 384, 88);

    ProgressBar1 = new QProgressBar(Frame1);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setAccessibleName(QStringLiteral("下载进度"));
    ProgressBar1->setGeometry(12, 26, 360, 20);

    lblProgressInfo = new QLabel(Frame1);
    lblProgressInfo->setObjectName(QStringLiteral("lblProgressInfo"));
    lblProgressInfo->setGeometry(12, 54, 360, 22);

    Command1 = new QPushButton(QStringLiteral("完成"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(300, 100, 92, 28);
    Command1->setEnabled(false);
    connect(Command1, &QPushButton::clicked, this, &frmupdate::Command1_Click);

    Inet1 = new InternetTransfer(this);
    Inet1->setObjectName(QStringLiteral("Inet1"));
    connect(Inet1, &InternetTransfer::StateChanged, this, &frmupdate::Inet1_StateChanged);
    connect(Inet1, &InternetTransfer::dataAvailable, this, &frmupdate::readBody);
}

frmupdate::~frmupdate() = default;

QString frmupdate::configFile() const {
    return settingsFolder_ + QStringLiteral("/config.ini");
}

QString frmupdate::descriptorFile() const {
    return settingsFolder_ + QStringLiteral("/update.ini");
}

QString frmupdate::downloadPath() const {
    return downloadFolder_ + QLatin1Char('/') + FileName;
}

void frmupdate::Form_Load() {
    if (QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }

    strURL = mfncGetFromIni(QStringLiteral("Download"), QStringLiteral("URL"), descriptorFile());
    FileName =
        mfncGetFromIni(QStringLiteral("Download"), QStringLiteral("filename"), descriptorFile());
    sha256 = mfncGetFromIni(QStringLiteral("Download"), QStringLiteral("sha256"), descriptorFile())
                 .trimmed();

    const QString start =
        mfncGetFromIni(QStringLiteral("Update"), QStringLiteral("start"), configFile());
    if (numberform::leading(start) != 1) {
        giveUp(QStringLiteral("升级程序检测到一个无效的调用，本程序只能由VLFonts的升级模块启动。"),
               QStringLiteral("Error!"), Dialogs::Icon::Critical);
        return;
    }
    // The flag is spent by this start whatever happens next.
    mfncWriteIni(QStringLiteral("Update"), QStringLiteral("start"), QStringLiteral("0"),
                 configFile());

    if (!updater::isPlainFileName(FileName)) {
        giveUp(QStringLiteral("升级描述文件没有给出有效的文件名，升级终止。"), kTitle,
               Dialogs::Icon::Warning);
        return;
    }
    if (!sha256.isEmpty() && !updater::isSha256Text(sha256)) {
        giveUp(QStringLiteral("升级描述文件中的校验值无效，升级终止。"), kTitle,
               Dialogs::Icon::Warning);
        return;
    }

    contentLength = 0;
    ProgressBar1->setValue(0);
    lblProgressInfo->clear();
    Inet1->Execute(strURL.trimmed(), QStringLiteral("GET"));
    transferring_ = true;
    lblProgressInfo->setText(QStringLiteral("请等待..."));
}

void frmupdate::Inet1_StateChanged(int State) {
    if (ended_)
        return;
    switch (State) {
    case InternetTransfer::icResponseReceived:
        if (contentLength == 0)
            checkSize();
        break;
    case InternetTransfer::icError:
        giveUp(transferErrorText(), kTitle, Dialogs::Icon::Warning);
        break;
    case InternetTransfer::icResponseCompleted:
        completeDownload();
        break;
    default: {
        const QString text = updater::stateText(State);
        if (!text.isEmpty())
            lblProgressInfo->setText(text);
        break;
    }
    }
}

void frmupdate::checkSize() {
    const QString header = Inet1->GetHeader(QStringLiteral("Content-Length")).trimmed();
    if (header.isEmpty()) {
        giveUp(QStringLiteral("ERROR!"), kTitle, Dialogs::Icon::Warning);
        return;
    }
    bool ok = false;
    const qint64 length = header.toLongLong(&ok);
    if (!ok || length <= 0) {
        giveUp(QStringLiteral("读取远程数据出错"), kTitle, Dialogs::Icon::Warning);
        return;
    }
    contentLength = length;
    if (!file_.open(downloadPath(), sha256)) {
        giveUp(saveFailedText(), kTitle, Dialogs::Icon::Warning);
        return;
    }
    throttle_.reset();
    clock_.start();
    readBody();
}

void frmupdate::readBody() {
    if (ended_ || !file_.isOpen())
        return;
    // One buffer for the whole download: no allocation per chunk.
    if (buffer_.size() != kChunk)
        buffer_.resize(kChunk);
    for (;;) {
        const qint64 n = Inet1->GetChunk(buffer_.data(), kChunk);
        if (n <= 0)
            break;
        if (!file_.append(buffer_.constData(), n)) {
            giveUp(saveFailedText(), kTitle, Dialogs::Icon::Warning);
            return;
        }
    }
    if (throttle_.due(clock_.elapsed()))
        showProgress();
}

void frmupdate::showProgress() {
    ++progressRedraws_;
    lblProgressInfo->setText(updater::progressText(file_.received(), contentLength));
    ProgressBar1->setValue(updater::percent(file_.received(), contentLength));
}

void frmupdate::completeDownload() {
    if (!file_.isOpen())
        return;
    readBody();
    if (ended_)
        return;
    // The display shows where the transfer really ended, whatever the throttle said.
    showProgress();
    switch (file_.finish(contentLength)) {
    case DownloadFile::Outcome::Saved:
        break;
    case DownloadFile::Outcome::Incomplete:
    case DownloadFile::Outcome::Overlong:
        giveUp(QStringLiteral("下载的文件不完整，升级终止。"), kTitle, Dialogs::Icon::Warning);
        return;
    case DownloadFile::Outcome::ChecksumMismatch:
        giveUp(QStringLiteral("下载的文件未通过校验，已被删除，升级终止。"), kTitle,
               Dialogs::Icon::Warning);
        return;
    case DownloadFile::Outcome::WriteFailed:
        giveUp(saveFailedText(), kTitle, Dialogs::Icon::Warning);
        return;
    }
    // From here on the file is in place: closing no longer cancels anything.
    downloaded_ = true;
    dialogs_.message(this, QStringLiteral("文件下载完成"), kTitle, Dialogs::Icon::Information);
    Command1->setEnabled(true);
    emit downloadFinished();
}

void frmupdate::Command1_Click() {
    if (!downloaded_ || ended_)
        return;
    const QString path = downloadPath();
    // Only the file that was just written and verified is used: should anything have taken
    // its name since, nothing is. A program (an installer for a copy in the user's folders) is
    // started; anything else, such as the .deb that updates an installed copy, goes to the
    // desktop's handler for its type.
    const bool started =
        file_.isInPlace() && (file_.isProgram() ? shell_.startProgram(path, {}, downloadFolder_)
                                                : shell_.openFile(path));
    if (!started)
        dialogs_.message(this, QStringLiteral("无法启动下载的文件：") + path, kTitle,
                         Dialogs::Icon::Warning);
    end();
}

void frmupdate::giveUp(const QString& text, const QString& title, Dialogs::Icon icon) {
    // Stop the transfer and drop what was received before the message opens, so nothing
    // arrives while it is shown and no partial file stays behind.
    Inet1->Cancel();
    file_.discard();
    ended_ = true;
    dialogs_.message(this, text, title, icon);
    mfncWriteIni(QStringLiteral("Update"), QStringLiteral("start"), QStringLiteral("0"),
                 configFile());
    end();
}

void frmupdate::end() {
    ended_ = true;
    Inet1->Cancel();
    if (endProgram)
        endProgram();
}

QString frmupdate::saveFailedText() const {
    if (downloadFolder_ == folder_)
        return QStringLiteral("无法在升级程序的文件夹中保存下载的文件，升级终止。");
    // An installed copy saves into the user's cache folder: that is the one to look at.
    return QStringLiteral("无法在文件夹“%1”中保存下载的文件，升级终止。").arg(downloadFolder_);
}

QString frmupdate::transferErrorText() {
    return QStringLiteral("与下载服务器通信出错");
}

void frmupdate::closeEvent(QCloseEvent* event) {
    if (ended_) {
        event->accept();
        return;
    }
    if (downloaded_) {
        // The file is in place: closing declines to start it, and the file stays for later.
        end();
    } else if (transferring_) {
        // Closing cancels the transfer as a failed one would end it: the message, then the
        // end, and the partly received file removed.
        giveUp(transferErrorText(), kTitle, Dialogs::Icon::Warning);
    } else {
        // Nothing started yet: closing cancels quietly, and the hand-over flag is spent.
        mfncWriteIni(QStringLiteral("Update"), QStringLiteral("start"), QStringLiteral("0"),
                     configFile());
        end();
    }
    // The window goes as the updater ends.
    event->setAccepted(ended_);
}

void frmupdate::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
