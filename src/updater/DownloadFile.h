#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QSaveFile>
#include <QString>

#include <memory>
#include <optional>

// The file a download is written to: a temporary file beside the final name, streamed to
// disk as the body arrives, and renamed to that name only when it is complete and, if a
// SHA-256 value is known, matches it. Until then a file of that name is neither created nor
// touched; anything that goes wrong removes the temporary file.
class DownloadFile final {
public:
    enum class Outcome { Saved, Incomplete, Overlong, ChecksumMismatch, WriteFailed };

    DownloadFile() = default;
    ~DownloadFile();
    DownloadFile(const DownloadFile&) = delete;
    DownloadFile& operator=(const DownloadFile&) = delete;

    // Starts a new temporary file for path; sha256Hex (64 hex digits) is checked at the end
    // when given.
    bool open(const QString& path, const QString& sha256Hex = {});
    bool isOpen() const { return file_ != nullptr; }
    bool append(const char* data, qint64 size);
    bool append(const QByteArray& bytes) { return append(bytes.constData(), bytes.size()); }
    qint64 received() const { return received_; }

    // Checks the length and the checksum, then puts the file in place; on any failure the
    // temporary file is removed and the final name is left as it was.
    Outcome finish(qint64 expectedLength);
    // Removes the temporary file.
    void discard();

private:
    void startWriteback();

    std::unique_ptr<QSaveFile> file_;
    std::optional<QCryptographicHash> hash_;
    QByteArray expectedHash_;
    qint64 received_ = 0;
    qint64 writtenBack_ = 0;
    bool writeFailed_ = false;
};
