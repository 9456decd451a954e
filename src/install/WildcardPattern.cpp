#include "install/WildcardPattern.h"

#include <QFile>

namespace {

inline char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Greedy matching that only goes back to the last "*": linear for the usual patterns and
// never exponential.
template <typename Char, typename Equal>
bool globMatch(const Char* pattern, qsizetype patternLength, const Char* name, qsizetype nameLength,
               Equal equal) {
    qsizetype p = 0, n = 0;
    qsizetype starAt = -1, resumeAt = 0;
    while (n < nameLength) {
        if (p < patternLength && pattern[p] == Char('*')) {
            starAt = p++;
            resumeAt = n;
        } else if (p < patternLength && (pattern[p] == Char('?') || equal(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starAt >= 0) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < patternLength && pattern[p] == Char('*'))
        ++p;
    return p == patternLength;
}

bool isAscii(const char* text, qsizetype length) {
    for (qsizetype i = 0; i < length; ++i)
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return false;
    return true;
}

} // namespace

WildcardPattern::WildcardPattern(const QString& pattern) : folded_(pattern.toCaseFolded()) {
    const QByteArray bytes = pattern.toUtf8();
    ascii_ = isAscii(bytes.constData(), bytes.size());
    if (ascii_) {
        asciiLower_.resize(bytes.size());
        for (qsizetype i = 0; i < bytes.size(); ++i)
            asciiLower_[i] = asciiLower(bytes[i]);
    }
}

bool WildcardPattern::matches(const QString& name) const {
    const QString folded = name.toCaseFolded();
    return globMatch(folded_.constData(), folded_.size(), folded.constData(), folded.size(),
                     [](QChar a, QChar b) { return a == b; });
}

bool WildcardPattern::matches(const char* name, qsizetype length) const {
    if (ascii_ && isAscii(name, length))
        return globMatch(asciiLower_.constData(), asciiLower_.size(), name, length,
                         [](char a, char b) { return a == asciiLower(b); });
    return matches(QFile::decodeName(QByteArray::fromRawData(name, length)));
}
