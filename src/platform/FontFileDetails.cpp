// What a font file says about itself, read through fontconfig (format, styles, characters) and
// FreeType (the name table's version, designer and licence).
#include "platform/FontconfigFontSystem.h"

#include <QFile>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H
#include FT_TYPE1_TABLES_H

namespace {

QString fcText(FcPattern* pattern, const char* object) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch || !value)
        return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(value));
}

// A writing system counts as covered when the font has at least nine in ten of the letters
// sampled from it.
struct Script {
    const char* name;
    char32_t first, last;
};
constexpr Script scripts[] = {
    {"Latin", U'A', U'Z'},          {"Greek", 0x0391, 0x03A9},    {"Cyrillic", 0x0410, 0x044F},
    {"Armenian", 0x0531, 0x0556},   {"Hebrew", 0x05D0, 0x05EA},   {"Arabic", 0x0627, 0x064A},
    {"Devanagari", 0x0905, 0x0939}, {"Bengali", 0x0985, 0x09B9},  {"Tamil", 0x0B85, 0x0BB9},
    {"Thai", 0x0E01, 0x0E2E},       {"Georgian", 0x10D0, 0x10F0}, {"Ethiopic", 0x1200, 0x1248},
    {"Hiragana", 0x3041, 0x3093},   {"Katakana", 0x30A1, 0x30F3}, {"Han", 0x4E00, 0x4FFF},
    {"Hangul", 0xAC00, 0xAD00},
};

QStringList coveredScripts(FcCharSet* charset) {
    QStringList covered;
    if (!charset)
        return covered;
    for (const Script& script : scripts) {
        int have = 0;
        const int all = int(script.last - script.first + 1);
        for (char32_t c = script.first; c <= script.last; ++c)
            have += FcCharSetHasChar(charset, c) ? 1 : 0;
        if (have * 10 >= all * 9)
            covered.append(QString::fromLatin1(script.name));
    }
    return covered;
}

QString sfntText(const FT_SfntName& name) {
    const QByteArray bytes(reinterpret_cast<const char*>(name.string), int(name.string_len));
    if (name.platform_id == TT_PLATFORM_MICROSOFT ||
        name.platform_id == TT_PLATFORM_APPLE_UNICODE) {
        QString text;
        for (int i = 0; i + 1 < bytes.size(); i += 2)
            text.append(QChar(char16_t((uchar(bytes[i]) << 8) | uchar(bytes[i + 1]))));
        return text;
    }
    return QString::fromLatin1(bytes); // Macintosh Roman, near enough for these texts
}

// A name of the name table: the US English one when there is one, else the first.
QString sfntName(FT_Face face, FT_UShort id) {
    QString found;
    const FT_UInt count = FT_Get_Sfnt_Name_Count(face);
    for (FT_UInt i = 0; i < count; ++i) {
        FT_SfntName name;
        if (FT_Get_Sfnt_Name(face, i, &name) != 0 || name.name_id != id)
            continue;
        if (name.platform_id == TT_PLATFORM_MICROSOFT &&
            name.language_id == TT_MS_LANGID_ENGLISH_UNITED_STATES)
            return sfntText(name).trimmed();
        if (found.isEmpty())
            found = sfntText(name).trimmed();
    }
    return found;
}

} // namespace

FontSystem::FileDetails FontconfigFontSystem::fileDetails(const QString& path) {
    FileDetails details;
    details.path = path;
    const QByteArray file = QFile::encodeName(path);
    const auto* name = reinterpret_cast<const FcChar8*>(file.constData());
    int faces = 1;
    for (int index = 0; index < faces; ++index) {
        FcPattern* pattern = FcFreeTypeQuery(name, index, nullptr, &faces);
        if (!pattern)
            break;
        if (index == 0) {
            details.format = fcText(pattern, FC_FONTFORMAT);
            FcCharSet* charset = nullptr;
            FcPatternGetCharSet(pattern, FC_CHARSET, 0, &charset);
            details.scripts = coveredScripts(charset);
            int version = 0;
            if (FcPatternGetInteger(pattern, FC_FONTVERSION, 0, &version) == FcResultMatch &&
                version > 0)
                details.version = QString::number(version / 65536.0, 'f', 3);
        }
        const QString style = fcText(pattern, FC_STYLE);
        if (!style.isEmpty() && !details.styles.contains(style))
            details.styles.append(style);
        FcPatternDestroy(pattern);
    }

    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return details;
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.constData(), 0, &face) == 0) {
        if (FT_IS_SFNT(face)) {
            const QString version = sfntName(face, TT_NAME_ID_VERSION_STRING);
            if (!version.isEmpty())
                details.version = version;
            details.designer = sfntName(face, TT_NAME_ID_DESIGNER);
            details.licence = sfntName(face, TT_NAME_ID_LICENSE);
            if (details.licence.isEmpty())
                details.licence = sfntName(face, TT_NAME_ID_LICENSE_URL);
            // Many families name only the maker who designed them.
            if (details.designer.isEmpty())
                details.designer = sfntName(face, TT_NAME_ID_MANUFACTURER);
        } else {
            PS_FontInfoRec info;
            if (FT_Get_PS_Font_Info(face, &info) == 0) {
                if (info.version)
                    details.version = QString::fromLatin1(info.version);
                if (info.notice)
                    details.licence = QString::fromLatin1(info.notice);
            }
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return details;
}

QList<FontSystem::FileDetails> FontconfigFontSystem::familyDetails(const QString& family) {
    QList<FileDetails> all;
    for (const QString& file : familyFiles(family))
        all.append(fileDetails(file));
    return all;
}
