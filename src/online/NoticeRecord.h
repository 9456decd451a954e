#pragma once

#include <QDateTime>
#include <QString>

// The notice record file BBS.vlf: records of the notices the board has shown, in GB18030,
// every line ended by CR LF, appended one after another. A cleared file holds one empty line.
namespace noticerecord {

// What the board shows, as it goes into a record.
struct Notice {
    QString newVersion; // offered build text
    QString status;     // the version test's status line
    QString newTech;    // new features
    QString authorSay;  // the maker's message
};

// The current date in the system's short date format and the time in its time format.
QString dateText(const QDateTime& when);
QString timeText(const QDateTime& when);

// The eight lines of one record joined by CR LF, without the final line end.
QString compose(const QString& date, const QString& time, const Notice& notice);

// Appends text followed by CR LF, creating the file when missing. False when it cannot, or
// when a file is there that read() cannot read (it is left as it is).
bool append(const QString& path, const QString& text);
// Leaves exactly one empty line (CR LF) in the file; refused like append.
bool clear(const QString& path);
// The whole file as text; empty when it is missing, empty or unreadable (see settingsfile).
QString read(const QString& path);
// True when the text is that of a cleared file (or there is nothing at all).
bool isCleared(const QString& text);

} // namespace noticerecord
