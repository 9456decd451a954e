#pragma once

#include <QString>
#include <QStringList>

// The installed fonts, as the platform's font table (fontconfig) knows them.
class FontSystem {
public:
    enum class Result { Done, NotFound, NotAFont, Refused, Failed };

    virtual ~FontSystem() = default;

    // Family names, first family name of each font, deduplicated, in the platform's order.
    virtual QStringList families() = 0;
    // The files that hold a family.
    virtual QStringList familyFiles(const QString& family) = 0;
    // Rereads the font table, so that fonts added or removed by anyone since start are seen,
    // and lets this program draw families it did not know yet.
    virtual void rescan() = 0;
    // Makes a font file usable by the running desktop without copying or moving it.
    virtual Result installFile(const QString& path) = 0;
    // The families that go when family is removed, family first: every family with a font in
    // one of its files (a collection file, .ttc or .otc, holds several).
    virtual QStringList familiesRemovedWith(const QString& family) = 0;
    // Moves a family's files (or the links to them) from the user's fonts folder to the
    // desktop's trash, from where the user can bring them back; system fonts are refused.
    virtual Result removeFamily(const QString& family) = 0;
    // The user's fonts folder, $XDG_DATA_HOME/fonts.
    virtual QString userFontsFolder() = 0;
};
