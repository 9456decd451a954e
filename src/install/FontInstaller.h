#pragma once

#include "platform/FontSystem.h"
#include "platform/Platform.h"

#include <QString>
#include <QStringList>

class QMimeData;
class QWidget;

// Installing what a user hands over at once (a chosen file, or files and archives dropped on a
// window): each font file as it is, each archive by the fonts inside, and one message at the
// end.
namespace fontinstall {

struct Outcome {
    int installed = 0;    // font files installed
    QStringList problems; // one line for each path that brought no font, or not all of them
};

// Installs one path into outcome. An archive's fonts are copied into a folder of the user's
// fonts folder named after the archive and registered there; a font file is registered as the
// install window always has (a link, nothing copied).
void install(FontSystem& fonts, const QString& path, bool chinese, Outcome& outcome);

// The one message after an install: how many fonts were installed, or why none were.
QString report(const Outcome& outcome, bool chinese);

// Installs each of files, then shows the one message under title; the number installed.
int installWithReport(const Platform& platform, QWidget* parent, const QStringList& files,
                      bool chinese, const QString& title);

// The local files and folders of a drag, empty when it carries none.
QStringList localPaths(const QMimeData* data);

// What a drop asks for: the files to install, and the folder to search (the first one
// dropped; empty when none was).
struct Dropped {
    QStringList files;
    QString folder;
};
Dropped sortDropped(const QStringList& paths);

} // namespace fontinstall
