#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// The files the programs keep their state in (config.ini, update.ini, BBS.vlf) may hold
// anything a user, another program or an attacker put there: a link to a device, a FIFO, a
// file of gigabytes. Only regular files are read, never blocking and only up to a bound;
// anything else counts as unreadable and reads as nothing. A file that exists but cannot be
// read is never written over, so nothing that was there is lost.
namespace settingsfile {

// Large enough for any real settings file, even one grown by hand to a few megabytes.
inline constexpr qint64 maxBytes = 8 * 1024 * 1024;

// What tells one version of a file from another: when none of it changed, neither did the
// contents (the file is replaced by a rename, or written in place with a new time).
struct Stamp {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;
    friend bool operator==(const Stamp&, const Stamp&) = default;
};

enum class State {
    Missing,    // nothing at all by that name
    Read,       // a regular file within the bound
    Unreadable, // anything else: not a regular file, a dangling link, too large, no permission
};

// Looks at path without opening it (links followed).
State probe(const QString& path, Stamp* stamp = nullptr, qint64 limit = maxBytes);

struct Contents {
    State state = State::Missing;
    QByteArray bytes; // only for State::Read
    Stamp stamp;      // only for State::Read
};
// The whole file, when it is a regular file of at most limit bytes.
Contents read(const QString& path, qint64 limit = maxBytes);

// True when a write may create or replace path: nothing is there yet, or it is a file that
// read() would read.
bool mayWrite(const QString& path, qint64 limit = maxBytes);

} // namespace settingsfile
