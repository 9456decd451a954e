#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// The updater's bookkeeping that needs no window: the texts of the transfer states, the
// progress line, and the checks on what the update descriptor asks for.
namespace updater {

// The label text for a state number of the transfer (1 to 10); empty for the others.
QString stateText(int state);

// Whole percent of total that received stands for, never more than 100; 0 without a total.
int percent(qint64 received, qint64 total);
// "已下载 1000 字节 (100%)"
QString progressText(qint64 received, qint64 total);

// A name the updater may save a download under in its own folder: not empty, not "." or
// "..", and without a folder separator, so the download can never land elsewhere.
bool isPlainFileName(const QString& name);
// 64 hexadecimal digits, either case.
bool isSha256Text(const QString& text);
// True when a file starting with head is something to run: an ELF executable or a script
// starting "#!". Anything else (a package, an archive) is opened with the desktop's handler.
bool isProgramHead(const QByteArray& head);

// Lets the progress display change at most once per interval, however often data arrives.
class ProgressThrottle final {
public:
    explicit ProgressThrottle(qint64 intervalMs = 33) : intervalMs_(intervalMs) {}
    // True when a display update at nowMs is due; it then counts as done.
    bool due(qint64 nowMs);
    void reset() { last_ = -1; }

private:
    qint64 intervalMs_;
    qint64 last_ = -1;
};

} // namespace updater
