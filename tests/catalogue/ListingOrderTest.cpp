#include "catalogue/FontListing.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

// The order the collation library gives, by shown name and then by family, in either language.
// Every family here carries the same Chinese and English name, the one it is shown by.
QStringList collated(QList<FontSystem::FamilyNames> names, bool chinese) {
    QCollator collator(chinese ? QLocale(QLocale::Chinese, QLocale::China)
                               : QLocale(QLocale::English, QLocale::UnitedStates));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(names.begin(), names.end(), [&](const auto& a, const auto& b) {
        const int byName = collator.compare(a.english, b.english);
        return byName != 0 ? byName < 0 : collator.compare(a.family, b.family) < 0;
    });
    QStringList families;
    for (const auto& n : names)
        families << n.family;
    return families;
}

QStringList families(const QList<listing::Entry>& entries) {
    QStringList result;
    for (const listing::Entry& entry : entries)
        result << entry.family;
    return result;
}

} // namespace

TEST(ListingOrder, NamesComeInTheCollationsOrderPlainAsciiOrNot) {
    // Every ASCII character against every other, in either case, as the first and the second
    // character of a name; ignored control characters inside names; names that begin others;
    // names shown alike, ordered by family.
    QStringList shown;
    for (int c = 1; c < 128; ++c) {
        const QString one(QChar{char16_t(c)});
        shown << one + QStringLiteral("b") << QStringLiteral("x") + one;
    }
    for (const char* name : {"Sans", "sans", "Sans Mono", "Sans-Mono", "Sans\x01Mono", "SansMono",
                             "Sans 10", "Sans 9", "San", "$ans", "Sans_", "Sans.Bold"})
        shown << QLatin1String(name);
    QList<FontSystem::FamilyNames> names;
    for (qsizetype i = 0; i < shown.size(); ++i)
        names.append({QStringLiteral("F%1%2").arg(i % 2 ? "a" : "A").arg(shown.size() - i),
                      shown[i], shown[i]});
    // The same with a Chinese name among them, which the collation library sorts.
    QList<FontSystem::FamilyNames> withChinese = names;
    withChinese.append({QStringLiteral("Hei"), QStringLiteral("黑体"), QStringLiteral("黑体")});
    withChinese.append({QStringLiteral("a Hei"), QStringLiteral("黑体"), QStringLiteral("黑体")});
    for (const auto& list : {names, withChinese})
        for (const bool chinese : {false, true})
            EXPECT_EQ(families(listing::entries(list, chinese)), collated(list, chinese))
                << (chinese ? "Chinese" : "English") << list.size();
}
