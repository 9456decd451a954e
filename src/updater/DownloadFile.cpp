#include "updater/DownloadFile.h"

DownloadFile::~DownloadFile() {
    discard();
}

bool DownloadFile::open(const QString& path, const QString& sha256Hex) {
    discard();
    received_ = 0;
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
    return true;
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
