#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// This program's own fontconfig rule file, which hides families from every fontconfig
// program: a <selectfont><rejectfont> rule per family in the user's fontconfig conf.d folder.
// No other file of the user's fontconfig configuration is ever written.
namespace disabledfonts {

// $XDG_CONFIG_HOME/fontconfig/conf.d/80-vlfonts-disabled.conf (~/.config when unset).
QString rulePath();

// The families the file at path hides, in the order they were disabled: empty when there is no
// file; nothing when the file is not one this program can read and write back whole (a link,
// not a regular file, too large, not its rules), so that nothing in it is lost.
std::optional<QStringList> read(const QString& path);

enum class Written { Done, NotWritable, Link, NotAFile, Unrepresentable };
// Makes the file at path hide exactly families (removes it when there are none). The text goes
// to a temporary file in the same folder that is renamed over the old one, so that a full disk
// or a crash leaves the old rules whole; a link or anything but a regular file under that name
// is left alone.
Written write(const QString& path, const QStringList& families);

// The rule file's text for families, every name escaped for XML.
QByteArray ruleText(const QStringList& families);

// The form under which fontconfig takes two family names for the same family: case and
// blanks do not count.
QString familyKey(const QString& family);

} // namespace disabledfonts
