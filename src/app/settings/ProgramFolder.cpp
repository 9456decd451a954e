#include "app/settings/ProgramFolder.h"

#include "app/settings/IniFile.h"
#include "app/settings/SettingsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <unistd.h>

namespace programfolder {

namespace {

bool mayWrite(const QString& path, int mode) {
    return ::access(QFile::encodeName(path).constData(), mode) == 0;
}

// Copies the installed config.ini into a new settings folder, byte for byte, once.
void seed(const QString& programFolder, const QString& folder) {
    const QString target = folder + QStringLiteral("/config.ini");
    if (settingsfile::probe(target) != settingsfile::State::Missing)
        return;
    const settingsfile::Contents installed =
        settingsfile::read(programFolder + QStringLiteral("/config.ini"));
    if (installed.state != settingsfile::State::Read)
        return;
    QSaveFile out(target);
    if (out.open(QIODevice::WriteOnly) && out.write(installed.bytes) == installed.bytes.size())
        out.commit();
}

// [Main] version and versionnum name the build that is installed, not a choice of the user's:
// once an upgrade has replaced the installed config.ini, the user's copy takes these two keys
// from it, key by key, and keeps every other byte.
void followInstalledBuild(const QString& programFolder, const QString& folder) {
    const QString main = QStringLiteral("Main");
    const QString number = QStringLiteral("versionnum");
    const IniFile installed(programFolder + QStringLiteral("/config.ini"));
    const IniFile user(folder + QStringLiteral("/config.ini"));
    const QString installedNumber = installed.read(main, number);
    if (installedNumber.isEmpty() || installedNumber == user.read(main, number))
        return;
    // The number goes last: should the first write fail, the next start tries both again.
    const QString version = QStringLiteral("version");
    if (user.write(main, version, installed.read(main, version)))
        user.write(main, number, installedNumber);
}

QString userFolder(QStandardPaths::StandardLocation location, const QString& below) {
    const QString folder = QStandardPaths::writableLocation(location) + below;
    QDir().mkpath(folder);
    return folder;
}

} // namespace

QString path() {
    return QCoreApplication::applicationDirPath();
}

QString file(const QString& name) {
    return path() + QLatin1Char('/') + name;
}

QString configIni() {
    return file(QStringLiteral("config.ini"));
}

bool userMayWrite(const QString& folder, std::initializer_list<const char*> names) {
    if (!QFileInfo(folder).isDir() || !mayWrite(folder, W_OK | X_OK))
        return false;
    for (const char* name : names) {
        const QString file = folder + QLatin1Char('/') + QString::fromLatin1(name);
        if (QFileInfo::exists(file) && !mayWrite(file, W_OK))
            return false;
    }
    return true;
}

QString settingsFolder(const QString& programFolder) {
    if (userMayWrite(programFolder, {settingsFiles[0], settingsFiles[1], settingsFiles[2]}))
        return programFolder;
    const QString folder =
        userFolder(QStandardPaths::GenericConfigLocation, QStringLiteral("/vlfonts"));
    seed(programFolder, folder);
    followInstalledBuild(programFolder, folder);
    return folder;
}

QString downloadFolder(const QString& updaterFolder) {
    if (userMayWrite(updaterFolder))
        return updaterFolder;
    return userFolder(QStandardPaths::GenericCacheLocation, QStringLiteral("/vlfonts/update"));
}

} // namespace programfolder
