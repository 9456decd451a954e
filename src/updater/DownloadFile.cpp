#include "updater/DownloadFile.h"

#include "updater/UpdateProgress.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// While the body arrives, every this many bytes written are handed to the disk. The sync
// before the rename then waits for the last few megabytes only, not for the whole file
// after the transfer (half a second per GiB on an ordinary disk, more on a slow one).
constexpr qint64 kWritebackStep = 8 * 1024 * 1024;

} // namespace

DownloadFile::~DownloadFile() {
    discard();
}

bool DownloadFile::open(const QString& path, const QString& sha256Hex) {
    discard();
    path_ = path;
    received_ = 0;
    writtenBack_ = 0;
    head_.clear();
    writeFailed_ = false;
    saved_ = false;
    hash_.reset();
    expectedHash_.clear();
    if (!sha256Hex.isEmpty()) {
        expectedHash_ = QByteArray::fromHex(sha256Hex.toLatin1());
        hash_.emplace(QCryptographicHash::Sha256);
    }
    // A name nobody has yet, in the same folder so that the rename stays on one file system.
    // O_EXCL refuses anything already there, links included, so nothing is written through a
    // link someone placed under a guessed name.
    const QFileInfo target(path);
    const QByteArray folder = QFile::encodeName(target.path());
    const QByteArray base = QFile::encodeName(target.fileName());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = folder + "/." + base + ".part-" +
                                QByteArray::number(QRandomGenerator::system()->generate64(), 36);
        const int fd =
            ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            fd_ = fd;
            tempName_ = name;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool DownloadFile::append(const char* data, qint64 size) {
    if (fd_ < 0 || writeFailed_)
        return false;
    if (head_.size() < 4)
        head_.append(data, std::min<qint64>(size, 4 - head_.size()));
    qint64 written = 0;
    while (written < size) {
        const ssize_t n = ::write(fd_, data + written, size_t(size - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            writeFailed_ = true;
            return false;
        }
        written += n;
    }
    if (hash_)
        hash_->addData(QByteArrayView(data, size));
    received_ += size;
    startWriteback();
    return true;
}

void DownloadFile::startWriteback() {
    const qint64 due = received_ - received_ % kWritebackStep;
    if (due <= writtenBack_)
        return;
    // Only starts the writing and returns; a range it could not start is written by the
    // final sync all the same.
    ::sync_file_range(fd_, writtenBack_, due - writtenBack_, SYNC_FILE_RANGE_WRITE);
    writtenBack_ = due;
}

DownloadFile::Outcome DownloadFile::finish(qint64 expectedLength) {
    if (fd_ < 0 || writeFailed_) {
        discard();
        return Outcome::WriteFailed;
    }
    Outcome outcome = Outcome::Saved;
    if (received_ < expectedLength)
        outcome = Outcome::Incomplete;
    else if (received_ > expectedLength)
        outcome = Outcome::Overlong;
    else if (hash_ && hash_->result() != expectedHash_)
        outcome = Outcome::ChecksumMismatch;
    if (outcome != Outcome::Saved) {
        discard();
        return outcome;
    }
    // A program is made executable through the open file, never through a name that could
    // lead elsewhere; anything else (a package) is left an ordinary file.
    const mode_t mode = updater::isProgramHead(head_) ? 0755 : 0644;
    savedMode_ = mode;
    struct stat info;
    if (::fsync(fd_) != 0 || ::fchmod(fd_, mode) != 0 || ::fstat(fd_, &info) != 0) {
        discard();
        return Outcome::WriteFailed;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 ||
        ::rename(tempName_.constData(), QFile::encodeName(path_).constData()) != 0) {
        ::unlink(tempName_.constData());
        tempName_.clear();
        return Outcome::WriteFailed;
    }
    tempName_.clear();
    saved_ = true;
    savedDevice_ = static_cast<quint64>(info.st_dev);
    savedInode_ = static_cast<quint64>(info.st_ino);
    return Outcome::Saved;
}

void DownloadFile::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!tempName_.isEmpty()) {
        ::unlink(tempName_.constData());
        tempName_.clear();
    }
}

bool DownloadFile::isInPlace() const {
    if (!saved_)
        return false;
    struct stat info;
    if (::lstat(QFile::encodeName(path_).constData(), &info) != 0)
        return false;
    return S_ISREG(info.st_mode) && static_cast<quint64>(info.st_dev) == savedDevice_ &&
           static_cast<quint64>(info.st_ino) == savedInode_ && (info.st_mode & 0777) == savedMode_;
}
