#include "install/FontArchive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <archive.h>
#include <archive_entry.h>
#include <memory>

namespace fontarchive {
namespace {

const QStringList& archiveSuffixes() {
    static const QStringList suffixes{QStringLiteral(".tar.gz"), QStringLiteral(".tar.xz"),
                                      QStringLiteral(".tgz"), QStringLiteral(".zip"),
                                      QStringLiteral(".7z")};
    return suffixes;
}

const QStringList& fontSuffixes() {
    static const QStringList suffixes{QStringLiteral(".ttf"),    QStringLiteral(".ttc"),
                                      QStringLiteral(".otf"),    QStringLiteral(".otc"),
                                      QStringLiteral(".pfb"),    QStringLiteral(".pcf"),
                                      QStringLiteral(".pcf.gz"), QStringLiteral(".woff"),
                                      QStringLiteral(".woff2"),  QStringLiteral(".fon")};
    return suffixes;
}

bool endsWithAny(const QString& name, const QStringList& suffixes) {
    for (const QString& suffix : suffixes)
        if (name.size() > suffix.size() && name.endsWith(suffix, Qt::CaseInsensitive))
            return true;
    return false;
}

// The last part of an archive path, whichever separator the archive's maker used.
QString baseName(const QString& entryPath) {
    const qsizetype cut =
        std::max(entryPath.lastIndexOf(QLatin1Char('/')), entryPath.lastIndexOf(QLatin1Char('\\')));
    return entryPath.mid(cut + 1);
}

// A name not taken yet in this extraction: two fonts of the same name in different folders
// of the archive both arrive.
QString freeName(const QString& name, QSet<QString>& taken) {
    QString candidate = name;
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    for (int n = 2; taken.contains(candidate.toLower()); ++n)
        candidate = name.left(dot) + QLatin1Char('-') + QString::number(n) + name.mid(dot);
    taken.insert(candidate.toLower());
    return candidate;
}

struct ArchiveCloser {
    void operator()(archive* a) const { archive_read_free(a); }
};

QString readerError(archive* a) {
    const char* text = archive_error_string(a);
    return text ? QString::fromLocal8Bit(text) : QString();
}

} // namespace

bool isArchive(const QString& path) {
    return endsWithAny(path, archiveSuffixes());
}

bool isFontFileName(const QString& name) {
    return endsWithAny(name, fontSuffixes());
}

QString folderName(const QString& archivePath) {
    const QString name = QFileInfo(archivePath).fileName();
    for (const QString& suffix : archiveSuffixes())
        if (name.endsWith(suffix, Qt::CaseInsensitive))
            return name.left(name.size() - suffix.size());
    return QFileInfo(archivePath).completeBaseName();
}

Extraction extractFonts(const QString& archivePath, const QString& folder, qint64 sizeLimit) {
    Extraction result;
    std::unique_ptr<archive, ArchiveCloser> reader(archive_read_new());
    archive_read_support_format_zip(reader.get());
    archive_read_support_format_tar(reader.get());
    archive_read_support_format_7zip(reader.get());
    archive_read_support_filter_gzip(reader.get());
    archive_read_support_filter_xz(reader.get());
    const QByteArray path = QFile::encodeName(archivePath);
    if (archive_read_open_filename(reader.get(), path.constData(), 64 * 1024) != ARCHIVE_OK) {
        result.unreadable = true;
        result.error = readerError(reader.get());
        return result;
    }

    const QDir target(folder);
    QSet<QString> taken;
    qint64 written = 0;
    archive_entry* entry = nullptr;
    for (;;) {
        const int status = archive_read_next_header(reader.get(), &entry);
        if (status == ARCHIVE_EOF)
            break;
        if (status < ARCHIVE_WARN) {
            result.unreadable = true;
            result.error = readerError(reader.get());
            break;
        }
        // Only plain files: links, folders and devices are passed over.
        if (archive_entry_filetype(entry) != AE_IFREG)
            continue;
        const char* utf8 = archive_entry_pathname_utf8(entry);
        const QString entryPath =
            utf8 ? QString::fromUtf8(utf8) : QFile::decodeName(archive_entry_pathname(entry));
        // The base name alone decides where a file lands, so "../x.ttf" lands in folder too.
        const QString name = baseName(entryPath);
        if (name.isEmpty() || name.startsWith(QLatin1Char('.')) || !isFontFileName(name))
            continue;
        if (archive_entry_size_is_set(entry) && written + archive_entry_size(entry) > sizeLimit) {
            result.tooLarge = true;
            break;
        }
        if (!QDir().mkpath(folder)) {
            result.error = QStringLiteral("cannot create ") + folder;
            break;
        }
        // A new file renamed into place: a link of the same name is replaced, never followed.
        QSaveFile out(target.filePath(freeName(name, taken)));
        if (!out.open(QIODevice::WriteOnly)) {
            result.error = out.errorString();
            break;
        }
        char buffer[64 * 1024];
        bool failed = false;
        for (;;) {
            const la_ssize_t got = archive_read_data(reader.get(), buffer, sizeof buffer);
            if (got == 0)
                break;
            if (got < 0) {
                result.unreadable = true;
                result.error = readerError(reader.get());
                failed = true;
                break;
            }
            written += got;
            if (written > sizeLimit) {
                result.tooLarge = true;
                failed = true;
                break;
            }
            if (out.write(buffer, got) != got) {
                result.error = out.errorString();
                failed = true;
                break;
            }
        }
        if (failed) {
            out.cancelWriting();
            break;
        }
        if (!out.commit()) {
            result.error = out.errorString();
            break;
        }
        result.files.append(out.fileName());
    }
    return result;
}

} // namespace fontarchive
