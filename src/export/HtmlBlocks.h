#pragma once

#include <QIODevice>
#include <QString>

// The HTML sample page: one block per font, appended to a buffer, and the buffer written in
// one go as GB18030 text ending in CR LF. The page has no document wrapper: browsers render the
// fragments as one page, as the program has always written it.
namespace htmlexport {

// The tag texts of the four effect boxes; each is empty until its box is found ticked.
struct Tags {
    QString centre;
    QString boldOpen, boldClose;
    QString italicOpen, italicClose;
    QString underlineOpen, underlineClose;

    static Tags fromBoxes(bool centred, bool bold, bool italic, bool underline);
};

// &, <, > and " as entities, so that a family name cannot break the markup.
QString escaped(const QString& text);

// One entry: the font's name in the default face, then the sample drawn in that font. The
// sample text stays exactly as typed (a user may type markup on purpose). face is the family
// as the font table knows it, when the name shown is one in the reader's language.
QString entryBlock(const QString& fontName, const QString& sample, const Tags& tags,
                   const QString& size, const QString& colorHex, const QString& face = {});

// Any encoding but UTF-8 must be declared in the first 1,024 bytes, or readers that do not guess
// (mail clients, text tools, validators) take the page for UTF-8 or Latin-1. It comes first,
// before the blocks, which keep every byte they always had.
inline constexpr char charsetDeclaration[] = "<meta charset=\"gb18030\">";

// Writes the charset declaration, then buffer + CR LF in GB18030; false with error set when the
// device does not take it all.
bool writePage(QIODevice& device, const QString& buffer, QString* error = nullptr);

} // namespace htmlexport
