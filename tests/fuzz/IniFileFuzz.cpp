// Reads and writes random INI files: nothing may crash, a write must read back, a write may
// change nothing but its own line, and a file read from disk within its bound reads exactly
// as its bytes do.
#include "app/settings/CodePage.h"
#include "app/settings/IniFile.h"
#include "app/settings/SettingsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

QByteArray take(const uint8_t*& data, size_t& size, size_t most) {
    size_t n = size ? std::min<size_t>(data[0] % (most + 1), size - 1) : 0;
    if (!size)
        return {};
    QByteArray part(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(n));
    data += n + 1;
    size -= n + 1;
    return part;
}

bool plain(const QByteArray& text) {
    for (char c : text)
        if (c == '\r' || c == '\n' || c == ' ' || c == '\t' || c == '"' || c == '\'' || c == '=' ||
            c == '[' || c == ']' || c == ';' || c == '\0')
            return false;
    return !text.isEmpty();
}

// Through the file: the bounded reader takes the file whole when it fits the limit and refuses
// it otherwise, and a key read from the file is the key read from its bytes.
void checkThroughFile(const QByteArray& content, const QByteArray& section, const QByteArray& key,
                      qint64 limit) {
    static const QString path =
        QDir::tempPath() +
        QStringLiteral("/fuzz-inifile-%1.ini").arg(QCoreApplication::applicationPid());
    QSaveFile out(path);
    check(out.open(QIODevice::WriteOnly) && out.write(content) == content.size() && out.commit());

    const settingsfile::Contents bounded = settingsfile::read(path, limit);
    if (content.size() <= limit) {
        check(bounded.state == settingsfile::State::Read);
        check(bounded.bytes == content);
    } else {
        check(bounded.state == settingsfile::State::Unreadable);
        check(bounded.bytes.isEmpty());
    }

    const QString sectionText = codepage::decode(section);
    const QString keyText = codepage::decode(key);
    if (codepage::encode(sectionText) != section || codepage::encode(keyText) != key)
        return;
    const auto expected = IniFile::findValue(content, section, key);
    check(IniFile(path).read(sectionText, keyText) ==
          (expected ? codepage::decode(*expected) : QString()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const qint64 limit = size ? data[0] * 4 : 0;
    QByteArray section = take(data, size, 8);
    QByteArray key = take(data, size, 8);
    QByteArray value = take(data, size, 40);
    const QByteArray content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    // Reading anything at all is safe.
    (void)IniFile::findValue(content, section, key);
    checkThroughFile(content, section, key, limit);

    // Use names the file can hold; keep the fuzzer's bytes otherwise.
    if (!plain(section))
        section = "S";
    if (!plain(key))
        key = "k";
    if (!plain(value))
        value = "v";
    const auto written = IniFile::withValue(content, section, key, value);
    check(written.has_value());
    check(IniFile::findValue(*written, section, key) == value);

    // Only one place changed: what lies before and after it is the old file, and the old
    // middle is at most one line.
    const QByteArray& out = *written;
    qsizetype prefix = 0;
    while (prefix < content.size() && prefix < out.size() && content[prefix] == out[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < content.size() - prefix && suffix < out.size() - prefix &&
           content[content.size() - 1 - suffix] == out[out.size() - 1 - suffix])
        ++suffix;
    const QByteArray oldMiddle = content.mid(prefix, content.size() - prefix - suffix);
    const QByteArray newMiddle = out.mid(prefix, out.size() - prefix - suffix);
    check(oldMiddle.count('\n') <= 1);
    check(newMiddle.count('\n') <= 3); // a new section adds its header, the key and a line end
    check(newMiddle.size() <= section.size() + key.size() + value.size() + 12);
    return 0;
}
