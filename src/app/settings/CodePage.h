#pragma once

#include <QByteArray>
#include <QString>

// The 8-bit code page in which every file of the programs is stored. GB18030 is byte-for-byte
// GBK for every GBK character, so the files stay readable by the GBK tools the program has
// always lived beside, and no character is ever lost on the way out.
namespace codepage {

QByteArray encode(const QString& text);
// Bytes that do not decode become U+FFFD; decoding never fails.
QString decode(const QByteArray& bytes);
// True when every byte of bytes belongs to a whole GB18030 character, so decode() replaces
// nothing.
bool decodes(const QByteArray& bytes);
// Length in bytes of the character that starts at data[0] (1, 2 or 4), never more than size.
int charLength(const char* data, qsizetype size);
// The longest prefix of at most maxBytes bytes that ends on a character boundary.
QByteArray cutOnCharBoundary(const QByteArray& bytes, qsizetype maxBytes);

} // namespace codepage
