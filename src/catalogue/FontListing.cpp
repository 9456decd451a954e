#include "catalogue/FontListing.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <vector>

namespace listing {

QList<Entry> entries(const QList<FontSystem::FamilyNames>& families, bool chinese) {
    QList<Entry> shown;
    shown.reserve(families.size());
    for (const FontSystem::FamilyNames& names : families) {
        const QString& localName = chinese ? names.chinese : names.english;
        shown.append({localName.isEmpty() ? names.family : localName, names.family});
    }

    QCollator collator(chinese ? QLocale(QLocale::Chinese, QLocale::China)
                               : QLocale(QLocale::English, QLocale::UnitedStates));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // One key per name, so that ten thousand names sort without collating each pair anew.
    struct Keyed {
        QCollatorSortKey shown;
        QCollatorSortKey family;
        qsizetype index;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(shown.size());
    for (qsizetype i = 0; i < shown.size(); ++i)
        keyed.push_back({collator.sortKey(shown[i].shown), collator.sortKey(shown[i].family), i});
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        const int byShown = a.shown.compare(b.shown);
        return byShown != 0 ? byShown < 0 : a.family.compare(b.family) < 0;
    });

    QList<Entry> sorted;
    sorted.reserve(shown.size());
    for (const Keyed& k : keyed)
        sorted.append(std::move(shown[k.index]));
    return sorted;
}

} // namespace listing
