#include "catalogue/FontListing.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace listing {

namespace {

// Where each ASCII character sorts in the collation of either interface language, letters in
// either case alike: for ASCII both follow the Unicode root order (white space, punctuation,
// symbols, digits, letters). 0 for the control characters the collation ignores.
constexpr std::array<std::uint8_t, 128> asciiRanks() {
    constexpr std::string_view order = "\t\n\v\f\r _-,;:!?.'\"()[]{}@*/\\&#%`^+<=>|~$"
                                       "0123456789abcdefghijklmnopqrstuvwxyz";
    std::array<std::uint8_t, 128> ranks{};
    for (std::size_t i = 0; i < order.size(); ++i) {
        const auto c = static_cast<unsigned char>(order[i]);
        ranks[c] = static_cast<std::uint8_t>(i + 1);
        if (c >= 'a' && c <= 'z')
            ranks[c - 'a' + 'A'] = ranks[c];
    }
    return ranks;
}
constexpr std::array<std::uint8_t, 128> asciiRank = asciiRanks();

bool isAscii(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; });
}

// Compares two ASCII texts as the collation does: by the ranks of their characters, ignored
// ones skipped, a text before any longer one it begins.
int compareAscii(const QString& a, const QString& b) {
    qsizetype i = 0;
    qsizetype j = 0;
    for (;;) {
        while (i < a.size() && asciiRank[a[i].unicode()] == 0)
            ++i;
        while (j < b.size() && asciiRank[b[j].unicode()] == 0)
            ++j;
        if (i == a.size() || j == b.size())
            return int(i < a.size()) - int(j < b.size());
        const int difference = asciiRank[a[i++].unicode()] - asciiRank[b[j++].unicode()];
        if (difference != 0)
            return difference;
    }
}

} // namespace

QList<Entry> entries(const QList<FontSystem::FamilyNames>& families, bool chinese) {
    QList<Entry> shown;
    shown.reserve(families.size());
    for (const FontSystem::FamilyNames& names : families) {
        const QString& localName = chinese ? names.chinese : names.english;
        shown.append({localName.isEmpty() ? names.family : localName, names.family});
    }

    // Plain ASCII names, the usual case, are sorted without the collation library: it would add
    // megabytes to the program for the run and take longer to sort them.
    const bool ascii = std::all_of(shown.cbegin(), shown.cend(), [](const Entry& entry) {
        return isAscii(entry.shown) && isAscii(entry.family);
    });
    if (ascii) {
        std::stable_sort(shown.begin(), shown.end(), [](const Entry& a, const Entry& b) {
            const int byShown = compareAscii(a.shown, b.shown);
            return byShown != 0 ? byShown < 0 : compareAscii(a.family, b.family) < 0;
        });
        return shown;
    }

    QCollator collator(chinese ? QLocale(QLocale::Chinese, QLocale::China)
                               : QLocale(QLocale::English, QLocale::UnitedStates));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // One key per shown name, so that ten thousand names sort without collating each pair
    // anew; families shown alike, which are few, are then put in order by collating them.
    struct Keyed {
        QCollatorSortKey shown;
        qsizetype index;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(shown.size());
    for (qsizetype i = 0; i < shown.size(); ++i)
        keyed.push_back({collator.sortKey(shown[i].shown), i});
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const Keyed& a, const Keyed& b) { return a.shown.compare(b.shown) < 0; });
    for (auto first = keyed.begin(); first != keyed.end();) {
        const auto last = std::find_if(first + 1, keyed.end(), [&first](const Keyed& k) {
            return k.shown.compare(first->shown) != 0;
        });
        if (last - first > 1)
            std::stable_sort(first, last, [&](const Keyed& a, const Keyed& b) {
                return collator.compare(shown[a.index].family, shown[b.index].family) < 0;
            });
        first = last;
    }

    QList<Entry> sorted;
    sorted.reserve(shown.size());
    for (const Keyed& k : keyed)
        sorted.append(std::move(shown[k.index]));
    return sorted;
}

} // namespace listing
