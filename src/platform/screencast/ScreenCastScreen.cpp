#include "platform/screencast/ScreenCastScreen.h"

#include <QFile>
#include <QSaveFile>
#include <unistd.h>

ScreenCastScreen::ScreenCastScreen(QDBusConnection connection, QObject* parent)
    : QObject(parent), portal_(std::move(connection)) {
    watch_.setInterval(20);
    connect(&watch_, &QTimer::timeout, this, &ScreenCastScreen::watchFirstFrames);
    connect(&portal_, &ScreenCastPortal::opened, this,
            [this](const QDBusUnixFileDescriptor& remote, uint node, const QString& token) {
                // The stream takes a descriptor of its own; the message's copy closes with it.
                onOpened(::dup(remote.fileDescriptor()), node, token);
            });
    connect(&portal_, &ScreenCastPortal::refused, this, [this] { answer(false); });
    // The user stopped the sharing: the next capture finds nothing and the window says so.
    connect(&portal_, &ScreenCastPortal::closed, this, [this] {
        ready_ = false;
        stream_.stop();
    });
}

ScreenCastScreen::~ScreenCastScreen() {
    close();
}

QString ScreenCastScreen::tokenFile(const QString& permissionFolder) {
    return permissionFolder + QStringLiteral("/screencast.token");
}

void ScreenCastScreen::open(const QString& permissionFolder, std::function<void(bool)> answer) {
    close();
    answer_ = std::move(answer);
    permissionFolder_ = permissionFolder;
    QString token;
    QFile file(tokenFile(permissionFolder));
    if (!permissionFolder.isEmpty() && file.open(QIODevice::ReadOnly))
        token = QString::fromUtf8(file.read(4096)).trimmed();
    portal_.start(token);
}

void ScreenCastScreen::close() {
    answer_ = nullptr;
    lastSquare_ = QImage();
    ready_ = false;
    watch_.stop();
    portal_.close();
    stream_.stop();
}

void ScreenCastScreen::onOpened(int fd, uint node, const QString& restoreToken) {
    if (!restoreToken.isEmpty() && !permissionFolder_.isEmpty()) {
        QSaveFile file(tokenFile(permissionFolder_));
        if (file.open(QIODevice::WriteOnly)) {
            file.write(restoreToken.toUtf8());
            file.commit();
        }
    }
    if (fd < 0 || !stream_.start(fd, node)) {
        answer(false);
        return;
    }
    since_.start();
    watch_.start();
}

void ScreenCastScreen::watchFirstFrames() {
    const ScreenCastStream::Progress progress = stream_.progress();
    if (progress.failed || progress.noCursorMeta) {
        answer(false);
        return;
    }
    if (progress.anyPicture && progress.cursorMeta) {
        watch_.stop();
        ready_ = true;
        if (answer_) {
            auto told = std::move(answer_);
            answer_ = nullptr;
            told(true);
        }
        return;
    }
    // Nothing yet, or black frames only: a desktop that shares no picture.
    if (since_.elapsed() > firstPictureMs)
        answer(false);
}

void ScreenCastScreen::answer(bool granted) {
    auto told = std::move(answer_);
    if (!granted)
        close();
    if (told)
        told(granted);
}

QPoint ScreenCastScreen::pointer() {
    if (const auto at = stream_.pointer())
        lastPointer_ = *at;
    return lastPointer_;
}

std::optional<QImage> ScreenCastScreen::grab(const QRect& rect) {
    if (!ready_ || stream_.progress().failed)
        return std::nullopt;
    // Between a change of the stream's format and its next frame there is no picture to copy:
    // the last square stands in for that moment.
    if (auto square = stream_.copy(rect)) {
        lastSquare_ = *square;
        return square;
    }
    if (lastSquare_.size() == rect.size())
        return lastSquare_;
    return std::nullopt;
}
