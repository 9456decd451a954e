#include "platform/Shell.h"

#include <QFileInfo>
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

namespace {
bool namesFile(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}
} // namespace

QStringList Shell::splitCommandLine(const QString& commandLine) {
    if (namesFile(commandLine))
        return {commandLine};
    for (qsizetype end = commandLine.size() - 1; end > 0; --end) {
        if (!commandLine.at(end).isSpace() || commandLine.at(end - 1).isSpace())
            continue;
        const QString program = commandLine.left(end);
        if (namesFile(program))
            return QStringList{program} + QProcess::splitCommand(commandLine.mid(end + 1));
    }
    return QProcess::splitCommand(commandLine);
}
