#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUuid>
#include <cstdlib>

namespace testenv {
namespace {

QTemporaryDir*& tempRoot() {
    static QTemporaryDir* dir = nullptr;
    return dir;
}

void copyFont(const QString& name, const QString& folder) {
    QDir().mkpath(folder);
    QFile::copy(QStringLiteral(VL_DEJAVU_DIR "/") + name, folder + QLatin1Char('/') + name);
}

void setEnv(const char* name, const QString& value) {
    setenv(name, QFile::encodeName(value).constData(), 1);
}

} // namespace

void setUp() {
    if (tempRoot())
        return;
    tempRoot() = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/vlfonts-test-XXXXXX"));
    const QString base = root();
    for (const char* sub : {"home", "data/fonts", "datadirs", "cache", "config", "runtime"})
        QDir().mkpath(base + QLatin1Char('/') + QLatin1String(sub));
    QFile::setPermissions(base + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    copyFont(QStringLiteral("DejaVuSans.ttf"), systemFontsFolder());
    copyFont(QStringLiteral("DejaVuSans-Bold.ttf"), systemFontsFolder());
    copyFont(QStringLiteral("DejaVuSansMono.ttf"), systemFontsFolder());
    copyFont(QStringLiteral("DejaVuSerif.ttf"), spareFontsFolder());
    copyFont(QStringLiteral("DejaVuSerif-Bold.ttf"), spareFontsFolder());

    // Plain <dir> paths: a prefix="xdg" dir would bring back every system font. The user's
    // rule folder is read as the system configuration reads it (50-user.conf), so that rules
    // written there (disabled fonts) take effect as on a real system.
    const QString conf =
        QStringLiteral(
            "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
            "<fontconfig>\n  <dir>%1</dir>\n  <dir>%2</dir>\n"
            "  <cachedir>%3</cachedir>\n"
            "  <include ignore_missing=\"yes\" prefix=\"xdg\">fontconfig/conf.d</include>\n"
            "</fontconfig>\n")
            .arg(systemFontsFolder(), userFontsFolder(),
                 base + QStringLiteral("/cache/fontconfig"));
    writeFile(base + QStringLiteral("/fonts.conf"), conf.toUtf8());

    setEnv("HOME", base + QStringLiteral("/home"));
    setEnv("XDG_DATA_HOME", base + QStringLiteral("/data"));
    setEnv("XDG_DATA_DIRS", base + QStringLiteral("/datadirs"));
    setEnv("XDG_CACHE_HOME", base + QStringLiteral("/cache"));
    setEnv("XDG_CONFIG_HOME", base + QStringLiteral("/config"));
    setEnv("XDG_RUNTIME_DIR", base + QStringLiteral("/runtime"));
    setEnv("FONTCONFIG_FILE", base + QStringLiteral("/fonts.conf"));
    unsetenv("FONTCONFIG_PATH");
    // A test that lets the automatic update check run must never reach the maker's server:
    // the discard port on this machine answers nothing.
    setenv("VLFONTS_UPDATE_URL", "http://127.0.0.1:9/update.ini", 1);
    // No proxy may send a loopback request elsewhere.
    for (const char* proxy :
         {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
        unsetenv(proxy);
    setenv("no_proxy", "*", 1);
    setenv("QT_QPA_PLATFORMTHEME", "", 1);
    // The suite's X server is the X11 desktop; a test that wants a Wayland session says so.
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("XDG_SESSION_TYPE");
}

QString root() {
    return tempRoot()->path();
}
QString systemFontsFolder() {
    return root() + QStringLiteral("/sysfonts");
}
QString userFontsFolder() {
    return root() + QStringLiteral("/data/fonts");
}
QString spareFontsFolder() {
    return root() + QStringLiteral("/spare");
}
QString spareFont() {
    return spareFontsFolder() + QStringLiteral("/DejaVuSerif.ttf");
}

QString testFont(const QString& fileName) {
    return QStringLiteral(VL_TEST_FONTS_DIR "/") + fileName;
}

QString newFolder(const QString& prefix) {
    const QString path = root() + QLatin1Char('/') + prefix + QLatin1Char('-') +
                         QUuid::createUuid().toString(QUuid::Id128).left(12);
    QDir().mkpath(path);
    return path;
}

QString newProgramFolder(bool withConfig) {
    const QString folder = newFolder(QStringLiteral("program"));
    if (withConfig)
        QFile::copy(QStringLiteral(VL_SOURCE_DIR "/dist/config.ini"),
                    folder + QStringLiteral("/config.ini"));
    QFile::setPermissions(folder + QStringLiteral("/config.ini"),
                          QFile::ReadOwner | QFile::WriteOwner);
    return folder;
}

QString binFolder() {
    return QStringLiteral(VL_BIN_DIR);
}

QString writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
    return path;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace testenv
