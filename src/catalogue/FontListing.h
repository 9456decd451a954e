#pragma once

#include "platform/FontSystem.h"

#include <QList>
#include <QString>

// The entries of the font list in an interface language: which name each family is shown by,
// and in which order the families come.
namespace listing {

struct Entry {
    QString shown;  // the name the list shows
    QString family; // the family it stands for, as the font table knows it
};

// In the Chinese interface a family is shown by its Chinese name when it has one, in English
// by its English name; otherwise by its first name. The entries are sorted by the shown name
// with the language's collation (pinyin for Chinese, letters in either case alike), families
// shown by the same name in the order of their first names.
QList<Entry> entries(const QList<FontSystem::FamilyNames>& families, bool chinese);

} // namespace listing
