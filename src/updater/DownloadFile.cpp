#include "updater/DownloadFile.h"

#include <fcntl.h>

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
    received_ = 0;
    writtenBack_ = 0;
    writeFailed_ = false;
    hash_.reset();
    expectedHash_.clear();
    if (!sha256Hex.isEmpty()) {
        expectedHash_ = QByteArray::fromHex(sha256Hex.toLatin1());
        hash_.emplace(QCryptographicHash::Sha256);
    }
    file_ = std::make_unique<QSaveFile>(path);
    // Never write straight into the final name: that would leave a torn file behind.
    file_->setDirectWriteFallback(false);
    if (!file_->open(QIODevice::WriteOnly)) {
        file_.reset();
        return false;
    }
    return true;
}

bool DownloadFile::append(const char* data, qint64 size) {
    if (!file_ || writeFailed_)
        return false;
    if (file_->write(data, size) != size) {
        writeFailed_ = true;
        return false;
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
    if (!file_->flush()) {
        writeFailed_ = true;
        return;
    }
    // Only starts the writing and returns; a range it could not start is written by the
    // final sync all the same.
    ::sync_file_range(file_->handle(), writtenBack_, due - writtenBack_, SYNC_FILE_RANGE_WRITE);
    writtenBack_ = due;
}

DownloadFile::Outcome DownloadFile::finish(qint64 expectedLength) {
    if (!file_ || writeFailed_) {
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
    const bool committed = file_->commit();
    file_.reset();
    return committed ? Outcome::Saved : Outcome::WriteFailed;
}

void DownloadFile::discard() {
    // A save file dropped before its commit removes its temporary file.
    file_.reset();
}
