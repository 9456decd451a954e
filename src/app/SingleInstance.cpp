#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QTimer>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A hand-over is a list of paths in the file system's encoding, each ended by a NUL (the one
// byte no path holds), and the list by one more; the instance that takes them answers "ok".
// Paths are short; anything longer than this is not a hand-over from vlfonts.
constexpr qint64 kMaxHandOver = 1024 * 1024;

// A folder of this user's that nobody else may write in.
bool isOwnPrivateFolder(const QString& path) {
    struct stat info {};
    return lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == getuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool isOwnSocket(const QString& path) {
    struct stat info {};
    return lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISSOCK(info.st_mode) &&
           info.st_uid == getuid();
}

// The process at the other end of a connected local socket runs as this user.
bool peerIsThisUser(const QLocalSocket& socket) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           peer.uid == getuid();
}

// Where the channel lies: the session's runtime folder; without one, a folder of this user's
// in the temporary folder; when someone else holds that name, the user's cache folder.
QString channelFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && isOwnPrivateFolder(runtime))
        return runtime;
    const QString own = QDir::tempPath() + QStringLiteral("/vlfonts-%1").arg(getuid());
    mkdir(QFile::encodeName(own).constData(), 0700);
    if (isOwnPrivateFolder(own))
        return own;
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(cache))
        cache = QDir::homePath() + QStringLiteral("/.cache");
    const QString folder = cache + QStringLiteral("/vlfonts");
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return folder;
}

} // namespace

SingleInstance::SingleInstance(const QString& programFolder, QObject* parent) : QObject(parent) {
    const QByteArray folder = QDir(programFolder).canonicalPath().toUtf8();
    const QByteArray hash =
        QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(16);
    name_ = channelFolder() + QStringLiteral("/vlfonts-") + QString::fromLatin1(hash);
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::receive);
}

bool SingleInstance::connectToRunning(QLocalSocket& socket, int waitMs) const {
    if (!isOwnSocket(name_))
        return false;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(waitMs))
        return false;
    if (peerIsThisUser(socket))
        return true;
    socket.abort();
    return false;
}

bool SingleInstance::anotherIsRunning() {
    if (server_.isListening())
        return false;
    {
        QLocalSocket probe;
        if (connectToRunning(probe, 500))
            return true;
    }
    // Nobody of this user answers: the name is a leftover of an instance that crashed, or
    // someone else's, and this user's folder lets it be taken over.
    QFile::remove(name_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(name_);
    return false;
}

bool SingleInstance::handOver(const QStringList& files) {
    QLocalSocket socket;
    if (!connectToRunning(socket, kWaitMs))
        return false;
    QByteArray message;
    for (const QString& file : files)
        message += QFile::encodeName(file) + '\0';
    message += '\0';
    socket.write(message);
    if (!socket.waitForBytesWritten(kWaitMs))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(kWaitMs))
            return false;
    }
    return socket.readLine().trimmed() == "ok";
}

void SingleInstance::receive() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        if (connections_ >= kMaxConnections || !peerIsThisUser(*socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++connections_;
        connect(socket, &QObject::destroyed, this, [this] { --connections_; });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // One that has not handed its files over in time is dropped.
        QTimer::singleShot(kWaitMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        connect(socket, &QLocalSocket::readyRead, this,
                [this, socket, received = QByteArray()]() mutable {
                    received += socket->readAll();
                    if (received.size() > kMaxHandOver) {
                        socket->abort();
                        return;
                    }
                    if (!received.endsWith(QByteArray(2, '\0')))
                        return; // more to come
                    QStringList files;
                    for (const QByteArray& path : received.split('\0')) {
                        if (!path.isEmpty())
                            files.append(QFile::decodeName(path));
                    }
                    received.clear();
                    socket->write("ok\n");
                    socket->flush();
                    if (!files.isEmpty())
                        emit filesHandedOver(files);
                });
    }
}

QStringList SingleInstance::fileArguments(const QStringList& arguments) {
    QStringList files;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        // Qt's own options (-style, -platform ...) have been taken out by QApplication.
        if (argument.isEmpty() || argument.startsWith(QLatin1Char('-')))
            continue;
        files.append(QFileInfo(argument).absoluteFilePath());
    }
    return files;
}
