#pragma once

#include <QString>

// The names of the languages fontconfig knows ("zh-cn"), in either interface language, from the
// table language-names.tsv built into the program.
namespace lang {

// The language's name in the reader's language; the code itself when the table lacks it.
QString languageName(const QString& code, bool chinese);
// The name followed by the code, as a list of languages shows it: "中文（简体） zh-cn".
QString languageEntry(const QString& code, bool chinese);

} // namespace lang
