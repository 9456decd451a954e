#include "app/settings/SettingsFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace settingsfile {

namespace {

Stamp stampOf(const struct stat& info) {
    Stamp stamp;
    stamp.device = static_cast<quint64>(info.st_dev);
    stamp.inode = static_cast<quint64>(info.st_ino);
    stamp.size = static_cast<qint64>(info.st_size);
    stamp.modifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.changedNs = qint64(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    return stamp;
}

// Nothing by that name at all, not even a dangling link.
bool nothingThere(const QByteArray& name) {
    struct stat info;
    return ::lstat(name.constData(), &info) != 0 && errno == ENOENT;
}

State judge(const struct stat& info, qint64 limit) {
    if (!S_ISREG(info.st_mode) || info.st_size > limit)
        return State::Unreadable;
    return State::Read;
}

} // namespace

State probe(const QString& path, Stamp* stamp, qint64 limit) {
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty())
        return State::Missing;
    struct stat info;
    if (::stat(name.constData(), &info) != 0)
        return nothingThere(name) ? State::Missing : State::Unreadable;
    const State state = judge(info, limit);
    if (state == State::Read && stamp)
        *stamp = stampOf(info);
    return state;
}

Contents read(const QString& path, qint64 limit) {
    Contents contents;
    contents.state = probe(path, nullptr, limit);
    if (contents.state != State::Read)
        return contents;

    const QByteArray name = QFile::encodeName(path);
    // Not blocking: should a FIFO have taken the file's place since the look above, opening
    // it must not wait for a writer.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        contents.state = errno == ENOENT && nothingThere(name) ? State::Missing : State::Unreadable;
        return contents;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || judge(info, limit) != State::Read) {
        ::close(fd);
        contents.state = State::Unreadable;
        return contents;
    }
    contents.stamp = stampOf(info);

    // The size said is only a hint (the file may grow while it is read): never more than
    // limit + 1 bytes are taken, and one byte over the limit makes the file unreadable.
    QByteArray bytes(qMin<qint64>(info.st_size, limit) + 1, Qt::Uninitialized);
    qint64 filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (bytes.size() > limit)
                break;
            bytes.resize(qMin<qint64>(bytes.size() * 2, limit + 1));
        }
        const ssize_t n = ::read(fd, bytes.data() + filled, size_t(bytes.size() - filled));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            contents.state = State::Unreadable;
            return contents;
        }
        if (n == 0)
            break;
        filled += n;
    }
    ::close(fd);
    if (filled > limit) {
        contents.state = State::Unreadable;
        return contents;
    }
    bytes.truncate(filled);
    contents.bytes = std::move(bytes);
    return contents;
}

bool mayWrite(const QString& path, qint64 limit) {
    const State state = probe(path, nullptr, limit);
    if (state == State::Missing)
        return true;
    if (state != State::Read)
        return false;
    // A file that is there but cannot be opened for reading cannot be read either.
    return ::access(QFile::encodeName(path).constData(), R_OK) == 0;
}

} // namespace settingsfile
