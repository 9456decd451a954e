#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <unistd.h>

SingleInstance::SingleInstance(const QString& programFolder) {
    const QByteArray folder = QDir(programFolder).canonicalPath().toUtf8();
    const QByteArray hash =
        QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(16);
    name_ = QStringLiteral("vlfonts-%1-%2").arg(getuid()).arg(QString::fromLatin1(hash));
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
