#include "platform/Shell.h"

#include <QProcess>
#include <QUrl>

bool Shell::isWebAddress(const QString& address) {
    const QUrl url(address.trimmed(), QUrl::StrictMode);
    if (!url.isValid())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("mailto"))
        return !url.path().isEmpty();
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty();
}

QStringList Shell::splitCommandLine(const QString& commandLine) {
    return QProcess::splitCommand(commandLine);
}
