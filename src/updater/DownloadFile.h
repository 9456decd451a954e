#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>

#include <optional>

// The file a download is written to: a new temporary file beside the final name, created
// exclusively and never through a link, streamed to disk as the body arrives, and renamed
// over the final name only when it is complete and, if a SHA-256 value is known, matches it.
// The rename replaces whatever had the name (a link included) instead of writing through it.
// Until then nothing of that name is created or touched; anything that goes wrong removes the
// temporary file.
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
    bool isOpen() const { return fd_ >= 0; }
    bool append(const char* data, qint64 size);
    bool append(const QByteArray& bytes) { return append(bytes.constData(), bytes.size()); }
    qint64 received() const { return received_; }

    // Checks the length and the checksum, makes a program executable and puts the file in place; on
    // any failure the temporary file is removed and the final name is left as it was.
    Outcome finish(qint64 expectedLength);
    // Removes the temporary file.
    void discard();

    // True when the final name still leads to the very file finish() saved, as a file of its
    // own and not through a link: only that file may be started.
    bool isInPlace() const;
    // True when the saved file is a program to start rather than a file to open.
    bool isProgram() const { return savedMode_ == 0755; }

private:
    void startWriteback();

    QString path_;
    QByteArray tempName_;
    int fd_ = -1;
    std::optional<QCryptographicHash> hash_;
    QByteArray expectedHash_;
    qint64 received_ = 0;
    QByteArray head_; // the first bytes, which tell a program from a package
    unsigned savedMode_ = 0;
    qint64 writtenBack_ = 0;
    bool writeFailed_ = false;
    bool saved_ = false;
    quint64 savedDevice_ = 0;
    quint64 savedInode_ = 0;
};
