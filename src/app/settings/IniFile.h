#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

// One INI file read and written a key at a time, with the observable rules of the classic
// profile functions: names match without regard to case or surrounding blanks, the first
// matching section and key win, values come back trimmed and unquoted and at most 254 bytes
// long, and a write touches only its own line. Every write replaces the file atomically.
// Files are read as settingsfile reads them (regular files within a bound); one parse serves
// every read of a file until it changes.
class IniFile final {
public:
    explicit IniFile(QString path) : path_(std::move(path)) {}

    const QString& path() const { return path_; }
    // Empty when the file, section or key is missing or unreadable.
    QString read(const QString& section, const QString& key) const;
    // False, with the file untouched, when a name or the value would break the line
    // structure, when the file exists but cannot be read, or when it cannot be written.
    bool write(const QString& section, const QString& key, const QString& value) const;

    // The byte-level rules, apart from any file.
    static constexpr qsizetype maxValueBytes = 254;
    static std::optional<QByteArray> findValue(const QByteArray& content, const QByteArray& section,
                                               const QByteArray& key);
    static std::optional<QByteArray> withValue(const QByteArray& content, const QByteArray& section,
                                               const QByteArray& key, const QByteArray& value);

private:
    QString path_;
};

// The two routines every window uses; the file is given as a full path on every call.
QString mfncGetFromIni(const QString& strSectionHeader, const QString& strVariableName,
                       const QString& strFileName);
std::int16_t mfncWriteIni(const QString& strSectionHeader, const QString& strVariableName,
                          const QString& strValue, const QString& strFileName);
