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
    QStringList parts = splitCommandLine(commandLine);
    if (parts.isEmpty())
        return false;
    const QFileInfo program(parts.takeFirst());
    // A file is started by its full path; a bare name is looked up as a command.
    return QProcess::startDetached(
        program.exists() ? program.absoluteFilePath() : program.filePath(), parts);
}

bool DesktopShell::startProgram(const QString& program, const QStringList& arguments,
                                const QString& workingFolder) {
    return QProcess::startDetached(program, arguments, workingFolder);
}
