#include "app/settings/IniFile.h"

#include "app/settings/CodePage.h"
#include "app/settings/SettingsFile.h"

#include <QDateTime>
#include <QHash>
#include <QSaveFile>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArray trimmed(QByteArray text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

// Names are ASCII; bytes above 127 are parts of GB18030 characters and are never folded.
char folded(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (folded(a[i]) != folded(b[i]))
            return false;
    return true;
}

bool sameName(const QByteArray& a, const QByteArray& b) {
    return sameName(std::string_view(a.constData(), size_t(a.size())),
                    std::string_view(b.constData(), size_t(b.size())));
}

// One physical line: where its text starts and ends, and where its line end ends.
struct Line {
    qsizetype begin;
    qsizetype textEnd;
    qsizetype end;
};

enum class Kind { Other, Section, Key };

struct Parsed {
    Kind kind = Kind::Other;
    QByteArray name;   // section or key name, trimmed
    qsizetype eq = -1; // for keys: offset of '=' inside the line text
};

std::vector<Line> splitLines(const QByteArray& content) {
    std::vector<Line> lines;
    qsizetype pos = 0;
    const qsizetype size = content.size();
    while (pos < size) {
        qsizetype nl = content.indexOf('\n', pos);
        Line line;
        line.begin = pos;
        if (nl < 0) {
            line.textEnd = size;
            line.end = size;
        } else {
            line.textEnd = (nl > pos && content[nl - 1] == '\r') ? nl - 1 : nl;
            line.end = nl + 1;
        }
        lines.push_back(line);
        pos = line.end;
    }
    return lines;
}

Parsed parse(const QByteArray& content, const Line& line) {
    Parsed result;
    const QByteArray text = content.mid(line.begin, line.textEnd - line.begin);
    qsizetype first = 0;
    while (first < text.size() && isBlank(text[first]))
        ++first;
    if (first >= text.size() || text[first] == ';')
        return result;
    if (text[first] == '[') {
        qsizetype close = text.indexOf(']', first + 1);
        result.kind = Kind::Section;
        result.name = trimmed(text.mid(first + 1, close < 0 ? -1 : close - first - 1));
        return result;
    }
    qsizetype eq = text.indexOf('=');
    if (eq < 0)
        return result;
    result.kind = Kind::Key;
    result.name = trimmed(text.left(eq));
    result.eq = eq;
    return result;
}

QByteArray unquote(QByteArray value) {
    value = trimmed(value);
    if (value.size() >= 2) {
        const char q = value.front();
        if ((q == '"' || q == '\'') && value.back() == q)
            value = value.mid(1, value.size() - 2);
    }
    return value;
}

// Where the wanted section's lines lie: header index and one past its last line.
struct SectionSpan {
    qsizetype header = -1;
    qsizetype end = -1;
};

SectionSpan findSection(const QByteArray& content, const std::vector<Line>& lines,
                        const QByteArray& section, std::vector<Parsed>& parsed) {
    parsed.clear();
    parsed.reserve(lines.size());
    for (const Line& line : lines)
        parsed.push_back(parse(content, line));
    SectionSpan span;
    const QByteArray wanted = trimmed(section);
    for (qsizetype i = 0; i < static_cast<qsizetype>(lines.size()); ++i) {
        if (parsed[i].kind != Kind::Section)
            continue;
        if (span.header >= 0) {
            span.end = i;
            return span;
        }
        if (sameName(parsed[i].name, wanted))
            span.header = i;
    }
    if (span.header >= 0)
        span.end = static_cast<qsizetype>(lines.size());
    return span;
}

bool breaksLine(const QByteArray& text) {
    return text.contains('\n') || text.contains('\r');
}

QByteArray valueOf(QByteArrayView text);

QByteArray storedValue(const QByteArray& content, const Line& line, const Parsed& parsed) {
    return valueOf(QByteArrayView(content).sliced(line.begin + parsed.eq + 1,
                                                  line.textEnd - line.begin - parsed.eq - 1));
}

QByteArray valueOf(QByteArrayView text) {
    return codepage::cutOnCharBoundary(unquote(text.toByteArray()), IniFile::maxValueBytes);
}

// Every value a read can find: the first section of a name and the first key of a name within
// it, as findValue finds them. Built in one pass without a copy or a hash per line, so a file
// of megabytes is indexed in milliseconds: key names are views into the file, values are cut
// from it when they are read, and the keys of a section are looked through in order (a
// section holds a few).
class Index {
public:
    explicit Index(QByteArray content) : content_(std::move(content)) {
        const char* text = content_.constData();
        const qsizetype size = content_.size();
        int current = -1;
        for (qsizetype begin = 0; begin < size;) {
            const char* nl =
                static_cast<const char*>(std::memchr(text + begin, '\n', size - begin));
            const qsizetype end = nl ? nl - text : size;
            const qsizetype textEnd = end > begin && text[end - 1] == '\r' && nl ? end - 1 : end;
            qsizetype first = begin;
            while (first < textEnd && isBlank(text[first]))
                ++first;
            if (first < textEnd && text[first] == '[') {
                const char* close = static_cast<const char*>(
                    std::memchr(text + first + 1, ']', textEnd - first - 1));
                const std::string_view name =
                    trimmedView(text + first + 1, close ? close - text : textEnd);
                current = sections_.emplace(foldedText(name), int(keys_.size())).second
                              ? int(keys_.size())
                              : -1;
                if (current >= 0)
                    keys_.emplace_back();
            } else if (first < textEnd && text[first] != ';' && current >= 0) {
                const char* eq =
                    static_cast<const char*>(std::memchr(text + begin, '=', textEnd - begin));
                if (eq)
                    keys_[current].push_back(
                        {trimmedView(text + begin, eq - text), {eq - text + 1, textEnd}});
            }
            begin = end + 1;
        }
    }

    std::optional<QByteArray> value(const QByteArray& section, const QByteArray& key) const {
        const QByteArray sectionName = trimmed(section);
        const auto found =
            sections_.find(foldedText(std::string_view(sectionName.data(), sectionName.size())));
        if (found == sections_.end())
            return std::nullopt;
        const QByteArray keyName = trimmed(key);
        const std::string_view wanted(keyName.data(), keyName.size());
        for (const auto& [name, span] : keys_[found->second])
            if (sameName(name, wanted))
                return valueOf(
                    QByteArrayView(content_).sliced(span.first, span.second - span.first));
        return std::nullopt;
    }

private:
    static std::string foldedText(std::string_view name) {
        std::string text(name);
        for (char& c : text)
            c = folded(c);
        return text;
    }

    std::string_view trimmedView(const char* from, qsizetype to) const {
        const char* text = content_.constData();
        qsizetype begin = from - text;
        while (begin < to && isBlank(text[begin]))
            ++begin;
        while (to > begin && isBlank(text[to - 1]))
            --to;
        return std::string_view(text + begin, size_t(to - begin));
    }

    QByteArray content_;
    // Section names folded to lower case, each with its place in keys_.
    std::unordered_map<std::string, int> sections_;
    // Per section, in the file's order: each key's name and where its value lies in content_.
    std::vector<std::vector<std::pair<std::string_view, std::pair<qsizetype, qsizetype>>>> keys_;
};

// One parse serves every read of a file until the file changes. File times advance in steps
// (of a clock tick, or of seconds on file systems that keep whole seconds), so a file changed
// within the last step may change again without its stamp showing it: it is parsed afresh on
// every read until it is older than a step.
class ParseCache {
public:
    std::shared_ptr<const Index> index(const QString& path) {
        settingsfile::Stamp stamp;
        if (settingsfile::probe(path, &stamp) != settingsfile::State::Read) {
            forget(path);
            return nullptr;
        }
        {
            std::lock_guard lock(mutex_);
            const auto entry = entries_.constFind(path);
            if (entry != entries_.constEnd() && entry->stamp == stamp)
                return entry->index;
        }
        const qint64 nowNs = QDateTime::currentMSecsSinceEpoch() * 1000000;
        const settingsfile::Contents contents = settingsfile::read(path);
        if (contents.state != settingsfile::State::Read) {
            forget(path);
            return nullptr;
        }
        auto index = std::make_shared<const Index>(contents.bytes);
        std::lock_guard lock(mutex_);
        const qint64 changed = qMax(contents.stamp.modifiedNs, contents.stamp.changedNs);
        const bool wholeSeconds = contents.stamp.modifiedNs % 1'000'000'000 == 0 &&
                                  contents.stamp.changedNs % 1'000'000'000 == 0;
        if (changed < nowNs - (wholeSeconds ? coarseStepNs : fineStepNs))
            entries_.insert(path, {contents.stamp, index});
        else
            entries_.remove(path);
        return index;
    }

    void forget(const QString& path) {
        std::lock_guard lock(mutex_);
        entries_.remove(path);
    }

private:
    // Whole-second times may step by two seconds (FAT); finer ones by a clock tick (10 ms at
    // most) or by 10 ms (exFAT).
    static constexpr qint64 coarseStepNs = 2'000'000'000;
    static constexpr qint64 fineStepNs = 50'000'000;
    struct Entry {
        settingsfile::Stamp stamp;
        std::shared_ptr<const Index> index;
    };
    std::mutex mutex_;
    QHash<QString, Entry> entries_;
};

ParseCache& parseCache() {
    static ParseCache cache;
    return cache;
}

} // namespace

std::optional<QByteArray> IniFile::findValue(const QByteArray& content, const QByteArray& section,
                                             const QByteArray& key) {
    const std::vector<Line> lines = splitLines(content);
    std::vector<Parsed> parsed;
    const SectionSpan span = findSection(content, lines, section, parsed);
    if (span.header < 0)
        return std::nullopt;
    const QByteArray wanted = trimmed(key);
    for (qsizetype i = span.header + 1; i < span.end; ++i)
        if (parsed[i].kind == Kind::Key && sameName(parsed[i].name, wanted))
            return storedValue(content, lines[i], parsed[i]);
    return std::nullopt;
}

std::optional<QByteArray> IniFile::withValue(const QByteArray& content, const QByteArray& section,
                                             const QByteArray& key, const QByteArray& value) {
    const QByteArray sectionName = trimmed(section);
    const QByteArray keyName = trimmed(key);
    // A name or value that would split the line, or change what the line means when read back,
    // is refused so that nothing can be injected into the file.
    if (breaksLine(section) || breaksLine(key) || breaksLine(value) || sectionName.isEmpty() ||
        keyName.isEmpty() || sectionName.contains(']') || keyName.contains('=') ||
        keyName.startsWith('[') || keyName.startsWith(';'))
        return std::nullopt;

    const std::vector<Line> lines = splitLines(content);
    std::vector<Parsed> parsed;
    const SectionSpan span = findSection(content, lines, sectionName, parsed);
    const QByteArray crlf("\r\n");

    if (span.header < 0) {
        QByteArray out = content;
        if (!out.isEmpty() && !out.endsWith('\n'))
            out += crlf;
        out += '[' + sectionName + ']' + crlf + keyName + '=' + value + crlf;
        return out;
    }

    qsizetype lastKey = span.header;
    for (qsizetype i = span.header + 1; i < span.end; ++i) {
        if (parsed[i].kind != Kind::Key)
            continue;
        lastKey = i;
        if (sameName(parsed[i].name, keyName)) {
            // Replace in place: the key keeps its own spelling and the line its own line end.
            const Line& line = lines[i];
            QByteArray out = content.left(line.begin);
            out += parsed[i].name + '=' + value;
            out += content.mid(line.textEnd);
            return out;
        }
    }
    const Line& after = lines[lastKey];
    QByteArray out = content.left(after.end);
    if (after.end == after.textEnd) // the last line of the file had no line end
        out += crlf;
    out += keyName + '=' + value + crlf;
    out += content.mid(after.end);
    return out;
}

QString IniFile::read(const QString& section, const QString& key) const {
    const std::shared_ptr<const Index> index = parseCache().index(path_);
    if (!index)
        return {};
    const auto value = index->value(codepage::encode(section), codepage::encode(key));
    return value ? codepage::decode(*value) : QString();
}

bool IniFile::write(const QString& section, const QString& key, const QString& value) const {
    // A file that is there but could not be read would be replaced by the one line written
    // now: everything else it held would be lost.
    const settingsfile::Contents current = settingsfile::read(path_);
    if (current.state == settingsfile::State::Unreadable)
        return false;
    const QByteArray& content = current.bytes;
    const auto updated = withValue(content, codepage::encode(section), codepage::encode(key),
                                   codepage::encode(value));
    if (!updated)
        return false;
    QSaveFile out(path_);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (out.write(*updated) != updated->size()) {
        out.cancelWriting();
        return false;
    }
    const bool committed = out.commit();
    parseCache().forget(path_);
    return committed;
}

QString mfncGetFromIni(const QString& strSectionHeader, const QString& strVariableName,
                       const QString& strFileName) {
    return IniFile(strFileName).read(strSectionHeader, strVariableName);
}

std::int16_t mfncWriteIni(const QString& strSectionHeader, const QString& strVariableName,
                          const QString& strValue, const QString& strFileName) {
    return IniFile(strFileName).write(strSectionHeader, strVariableName, strValue) ? 1 : 0;
}
