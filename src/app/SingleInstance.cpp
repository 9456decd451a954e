#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <unistd.h>

namespace {

// A hand-over is a list of UTF-8 paths, one a line, ended by an empty line; the instance that
// takes them answers "ok". A connection that sends nothing (a probe) is simply closed.
constexpr int kWaitMs = 3000;
// Paths are short; anything longer than this is not a hand-over from vlfonts.
constexpr qint64 kMaxHandOver = 1024 * 1024;

} // namespace

SingleInstance::SingleInstance(const QString& programFolder, QObject* parent) : QObject(parent) {
    const QByteArray folder = QDir(programFolder).canonicalPath().toUtf8();
    const QByteArray hash =
        QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(16);
    name_ = QStringLiteral("vlfonts-%1-%2").arg(getuid()).arg(QString::fromLatin1(hash));
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::receive);
}

bool SingleInstance::anotherIsRunning() {
    if (server_.isListening())
        return false;
    {
        QLocalSocket probe;
        probe.connectToServer(name_);
        if (probe.waitForConnected(500))
            return true;
    }
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (server_.listen(name_))
        return false;
    // Nobody answered: the name is a leftover of an instance that crashed.
    QLocalServer::removeServer(name_);
    server_.listen(name_);
    return false;
}

bool SingleInstance::handOver(const QStringList& files) {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kWaitMs))
        return false;
    socket.write(files.join(QLatin1Char('\n')).toUtf8() + "\n\n");
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
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            const QByteArray received = socket->peek(kMaxHandOver + 1);
            if (received.size() > kMaxHandOver) {
                socket->abort();
                return;
            }
            if (!received.endsWith("\n\n"))
                return; // more to come
            socket->readAll();
            QStringList files;
            for (const QByteArray& line : received.split('\n')) {
                if (!line.isEmpty())
                    files.append(QString::fromUtf8(line));
            }
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
