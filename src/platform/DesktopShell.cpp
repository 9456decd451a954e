#include "platform/DesktopShell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

bool DesktopShell::openAddress(const QString& address) {
    if (!isWebAddress(address))
        return false;
    return QDesktopServices::openUrl(QUrl(address.trimmed()));
}

bool DesktopShell::openFolder(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool DesktopShell::openFile(const QString& path) {
    return QProcess::startDetached(QStringLiteral("xdg-open"), {path});
}

bool DesktopShell::startCommand(const QString& commandLine) {
    if (commandLine.isEmpty())
        return false;
    const QFileInfo asFile(commandLine);
    if (asFile.exists() && asFile.isFile())
        return QProcess::startDetached(asFile.absoluteFilePath(), {});
    QStringList parts = splitCommandLine(commandLine);
    if (parts.isEmpty())
        return false;
    const QString program = parts.takeFirst();
    return QProcess::startDetached(program, parts);
}

bool DesktopShell::startProgram(const QString& program, const QStringList& arguments,
                                const QString& workingFolder) {
    return QProcess::startDetached(program, arguments, workingFolder);
}
