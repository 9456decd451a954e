#pragma once

#include "TestEnvironment.h"

#include <QString>

#include <ostream>

// A program folder as vlfonts leaves it for the updater: config.ini with [Update] start,
// update.ini with [Download], and the empty subfolder update/.
struct UpdaterFolder {
    QString program;
    QString update; // program + "/update"

    // start: the value of [Update] start, or a null QString for no such key.
    explicit UpdaterFolder(const QString& start, const QString& url, const QString& filename,
                           const QString& sha256 = {});

    QString startValue() const;
    QString file(const QString& name) const { return update + QLatin1Char('/') + name; }
    // The files of the update folder, apart from the updater itself.
    QStringList downloadedFiles() const;
};

// A setup program stand-in: a shell script of exactly size bytes that, when started, leaves
// the file "started.marker" beside itself.
QByteArray markerScript(int size);

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
