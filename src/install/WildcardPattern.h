#pragma once

#include <QByteArray>
#include <QString>

// A file-name pattern with "*" (any run of characters, none included) and "?" (exactly one
// character), compared without regard to the case of letters, as the font search uses it.
// Names are matched as they come from the folder (UTF-8 bytes) without building a string for
// each: plain ASCII names and patterns are compared byte by byte, anything else as text.
class WildcardPattern final {
public:
    explicit WildcardPattern(const QString& pattern = {});

    bool matches(const QString& name) const;
    // A name of length bytes in the file system's encoding (UTF-8).
    bool matches(const char* name, qsizetype length) const;

private:
    QString folded_;
    QByteArray asciiLower_;
    bool ascii_ = true;
};
