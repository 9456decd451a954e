#pragma once

#include "platform/FontCoverage.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

// The installed fonts, as the platform's font table (fontconfig) knows them.
class FontSystem {
public:
    enum class Result { Done, NotFound, NotAFont, Refused, Failed };

    virtual ~FontSystem() = default;

    // Family names, first family name of each font, deduplicated, in the platform's order.
    virtual QStringList families() = 0;
    // A family with the names it carries in the languages the interface offers.
    struct FamilyNames {
        QString family;  // the first name: the one the family is known by everywhere
        QString chinese; // its Chinese name, empty when it has none
        QString english; // its English name, empty when it has none
    };
    // Every family of families(), with its names; by default each has only its first name.
    virtual QList<FamilyNames> familyNames() {
        QList<FamilyNames> names;
        for (const QString& family : families())
            names.append({family, {}, {}});
        return names;
    }
    // The files that hold a family.
    virtual QStringList familyFiles(const QString& family) = 0;
    // What a font file says about itself; empty texts where it says nothing.
    struct FileDetails {
        QString path;
        QString format;     // "TrueType", "CFF", "Type 1", "PCF", ...
        QStringList styles; // the style of each font in the file
        QString version;    // its version text
        QString designer;
        QString licence;     // the licence description, or else the licence address
        QStringList scripts; // the writing systems it covers, by their English names
    };
    // The details of every file of a family; by default none are known.
    virtual QList<FileDetails> familyDetails(const QString& family) {
        Q_UNUSED(family);
        return {};
    }
    // Which characters and languages every family covers. Read when first asked, not at start,
    // and kept until rescan(); by default nothing is known of any family.
    virtual std::shared_ptr<const FontCoverage> coverage() {
        return std::make_shared<const FontCoverage>();
    }
    // Lets this program draw a family in its own faces, every style it has: called before
    // anything draws it. By default the toolkit knows every family already.
    virtual void prepareToDraw(const QString& family) { Q_UNUSED(family); }
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

    // Disabling: a family stays installed but every program that lists fonts through the
    // platform's font table leaves it out from its next start, this program's list at once.
    // The families disabled now, by the names they were disabled under.
    virtual QStringList disabledFamilies() { return {}; }
    // Refused for a family the interface is drawn in; Failed when the rule could not be
    // written (nothing changed then).
    virtual Result disableFamily(const QString& family) {
        Q_UNUSED(family);
        return Result::Failed;
    }
    virtual Result enableFamily(const QString& family) {
        Q_UNUSED(family);
        return Result::Failed;
    }
    // Where the rules live, for messages.
    virtual QString disabledFamiliesFile() { return {}; }

    // One font installed from more than one file: the same family and style.
    struct FontCopy {
        QString path;
        int index = 0;          // its place in a collection file
        QString version;        // "2.037", empty when unknown
        qint64 size = -1;       // bytes, -1 when unknown
        bool used = false;      // the copy the font table picks for this family and style
        int sameAs = -1;        // the place of an earlier copy with identical contents, or -1
        bool removable = false; // it lies in the user's fonts folder
        QStringList families;   // every family in its file, this one first
    };
    struct DuplicateGroup {
        QString family;
        QString style;
        QList<FontCopy> copies; // in the font table's order
    };
    // Every family and style installed from more than one file, in the font table's order.
    virtual QList<DuplicateGroup> duplicateFonts() { return {}; }
    // Moves one font file (or the link to it) from the user's fonts folder to the trash; any
    // other file is refused.
    virtual Result removeFile(const QString& path) {
        Q_UNUSED(path);
        return Result::Refused;
    }
};
