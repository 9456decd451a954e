#pragma once

#include <QString>
#include <QStringList>

// Font archives as people download them (.zip, .tar.gz, .tar.xz, .7z): the font files inside
// are copied out into one folder, nothing else.
namespace fontarchive {

// 512 MiB: more than any font collection, less than a disk filled by a hostile archive.
inline constexpr qint64 defaultSizeLimit = qint64(512) * 1024 * 1024;

// Whether a path names an archive this program reads, by its name.
bool isArchive(const QString& path);
// Whether a file name is that of a font file (ttf, ttc, otf, otc, pfb, pcf, pcf.gz, woff,
// woff2, fon), in either case.
bool isFontFileName(const QString& name);
// The folder name an archive's fonts go into: its name without the archive extension.
QString folderName(const QString& archivePath);

struct Extraction {
    QStringList files;       // the font files written, in archive order
    bool unreadable = false; // the archive could not be opened or read to its end
    bool tooLarge = false;   // extraction stopped at the size limit
    QString error;           // what the archive reader or the file system said
};

// Copies every regular font file of the archive, under its base name, into folder (created
// when missing). Paths inside the archive never lead out of folder, links are skipped, and
// nothing more than sizeLimit bytes in all is written; a file cut short by the limit is removed.
Extraction extractFonts(const QString& archivePath, const QString& folder,
                        qint64 sizeLimit = defaultSizeLimit);

} // namespace fontarchive
