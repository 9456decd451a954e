#include "install/FontInstaller.h"

#include "install/FontArchive.h"
#include "platform/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace fontinstall {
namespace {

QString pick(bool chinese, const QString& zh, const QString& en) {
    return chinese ? zh : en;
}

QString problemText(FontSystem::Result result, const QString& path, bool chinese) {
    switch (result) {
    case FontSystem::Result::NotFound:
        return pick(chinese, QStringLiteral("找不到这个文件："),
                    QStringLiteral("File not found: ")) +
               path;
    case FontSystem::Result::NotAFont:
        return pick(chinese, QStringLiteral("这不是可以使用的字体文件："),
                    QStringLiteral("Not a usable font file: ")) +
               path;
    default:
        return pick(chinese, QStringLiteral("无法把字体链接到字体目录："),
                    QStringLiteral("Could not link the font into the fonts folder: ")) +
               path;
    }
}

// The folder an archive's fonts go into: named after the archive, beside no file of that name.
QString archiveFolder(const QString& fontsFolder, const QString& archive) {
    QString name = fontarchive::folderName(archive);
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
        name = QStringLiteral("fonts") + name;
    QString folder = fontsFolder + QLatin1Char('/') + name;
    const auto taken = [](const QFileInfo& info) {
        return info.isSymLink() || (info.exists() && !info.isDir());
    };
    for (int n = 2; taken(QFileInfo(folder)); ++n)
        folder = fontsFolder + QLatin1Char('/') + name + QLatin1Char('-') + QString::number(n);
    return folder;
}

void installArchive(FontSystem& fonts, const QString& path, bool chinese, Outcome& outcome) {
    const QString folder = archiveFolder(fonts.userFontsFolder(), path);
    const bool existed = QFileInfo::exists(folder);
    const fontarchive::Extraction extraction = fontarchive::extractFonts(path, folder);
    int installed = 0;
    for (const QString& file : extraction.files) {
        if (fonts.installFile(file) == FontSystem::Result::Done) {
            ++installed;
        } else {
            // A file named like a font that is none stays out of the fonts folder.
            outcome.problems.append(
                problemText(FontSystem::Result::NotAFont,
                            path + QLatin1Char(':') + QFileInfo(file).fileName(), chinese));
            QFile::remove(file);
        }
    }
    outcome.installed += installed;
    if (!existed)
        QDir().rmdir(folder); // only when nothing landed in it
    if (extraction.tooLarge)
        outcome.problems.append(
            pick(chinese,
                 QStringLiteral("压缩包的内容超过 %1 MB，解压已停止：")
                     .arg(fontarchive::defaultSizeLimit / (1024 * 1024)),
                 QStringLiteral("The archive holds more than %1 MB; extraction stopped: ")
                     .arg(fontarchive::defaultSizeLimit / (1024 * 1024))) +
            path);
    else if (extraction.unreadable)
        outcome.problems.append(pick(chinese, QStringLiteral("无法读取这个压缩包："),
                                     QStringLiteral("The archive could not be read: ")) +
                                path +
                                (extraction.error.isEmpty()
                                     ? QString()
                                     : QStringLiteral(" (") + extraction.error + QLatin1Char(')')));
    else if (!extraction.error.isEmpty())
        outcome.problems.append(pick(chinese, QStringLiteral("无法解压这个压缩包："),
                                     QStringLiteral("The archive could not be unpacked: ")) +
                                path + QStringLiteral(" (") + extraction.error + QLatin1Char(')'));
    else if (extraction.files.isEmpty())
        outcome.problems.append(pick(chinese, QStringLiteral("压缩包中没有字体文件："),
                                     QStringLiteral("The archive holds no font files: ")) +
                                path);
}

} // namespace

void install(FontSystem& fonts, const QString& path, bool chinese, Outcome& outcome) {
    if (fontarchive::isArchive(path) && QFileInfo(path).isFile()) {
        installArchive(fonts, path, chinese, outcome);
        return;
    }
    const FontSystem::Result result = fonts.installFile(path);
    if (result == FontSystem::Result::Done)
        ++outcome.installed;
    else
        outcome.problems.append(problemText(result, path, chinese));
}

QString report(const Outcome& outcome, bool chinese) {
    QString text;
    if (outcome.installed > 0)
        text = chinese ? QStringLiteral("安装完成，共安装了 %1 个字体文件。").arg(outcome.installed)
               : outcome.installed == 1
                   ? QStringLiteral("Installation complete: 1 font file installed.")
                   : QStringLiteral("Installation complete: %1 font files installed.")
                         .arg(outcome.installed);
    else
        text = pick(chinese, QStringLiteral("没有安装任何字体。"),
                    QStringLiteral("No font was installed."));
    if (!outcome.problems.isEmpty())
        text += QStringLiteral("\n\n") + outcome.problems.join(QLatin1Char('\n'));
    return text;
}

int installWithReport(const Platform& platform, QWidget* parent, const QStringList& files,
                      bool chinese, const QString& title) {
    Outcome outcome;
    for (const QString& path : files)
        install(platform.fonts, path, chinese, outcome);
    platform.dialogs.message(parent, report(outcome, chinese), title,
                             outcome.installed > 0 ? Dialogs::Icon::Information
                                                   : Dialogs::Icon::Warning);
    return outcome.installed;
}

QStringList localPaths(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            paths.append(url.toLocalFile());
    return paths;
}

Dropped sortDropped(const QStringList& paths) {
    Dropped dropped;
    for (const QString& path : paths) {
        if (!QFileInfo(path).isDir())
            dropped.files.append(path);
        else if (dropped.folder.isEmpty())
            dropped.folder = path;
    }
    return dropped;
}

} // namespace fontinstall
