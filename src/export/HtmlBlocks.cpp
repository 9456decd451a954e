#include "export/HtmlBlocks.h"

#include "app/settings/CodePage.h"

namespace htmlexport {

Tags Tags::fromBoxes(bool centred, bool bold, bool italic, bool underline) {
    Tags tags;
    if (centred)
        tags.centre = QStringLiteral("<center>");
    if (bold) {
        tags.boldOpen = QStringLiteral("<b>");
        tags.boldClose = QStringLiteral("</b>");
    }
    if (italic) {
        tags.italicOpen = QStringLiteral("<i>");
        tags.italicClose = QStringLiteral("</i>");
    }
    if (underline) {
        tags.underlineOpen = QStringLiteral("<u>");
        tags.underlineClose = QStringLiteral("</u>");
    }
    return tags;
}

QString escaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString entryBlock(const QString& fontName, const QString& sample, const Tags& tags,
                   const QString& size, const QString& colorHex, const QString& face) {
    const QString name = escaped(fontName);
    const QString faceName = face.isEmpty() ? name : escaped(face);
    QString block;
    block.reserve(96 + 2 * name.size() + sample.size());
    block += QLatin1String("\r\n");                              // 1
    block += QLatin1String("<br>");                              // 2
    block += tags.centre;                                        // 3
    block += QLatin1String("<font>");                            // 4
    block += name + QLatin1Char(' ');                            // 5
    block += QLatin1String("</font>");                           // 6
    block += tags.boldOpen;                                      // 7
    block += tags.italicOpen;                                    // 8
    block += tags.underlineOpen;                                 // 9
    block += QLatin1String("<font face=");                       // 10
    block += QLatin1Char('"') + faceName + QLatin1String("\" "); // 11
    block += QLatin1String(" color=") + colorHex + QLatin1String(" size=") + size +
             QLatin1Char('>');         // 12
    block += sample;                   // 13
    block += QLatin1String("</font>"); // 14
    block += tags.boldClose;           // 15
    block += tags.italicClose;         // 16
    block += tags.underlineClose;      // 17
    block += QLatin1String("</br>");   // 18
    return block;
}

bool writePage(QIODevice& device, const QString& buffer, QString* error) {
    const QByteArray bytes =
        QByteArray(charsetDeclaration) + codepage::encode(buffer + QLatin1String("\r\n"));
    if (device.write(bytes) != bytes.size()) {
        if (error)
            *error = device.errorString();
        return false;
    }
    return true;
}

} // namespace htmlexport
