#include "platform/FontconfigFontSystem.h"
#include "platform/DisabledFontsFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <algorithm>
#include <cstring>
#include <fontconfig/fontconfig.h>
#include <optional>
#include <strings.h>
#include <unordered_map>
#include <vector>

namespace {

QString fcString(FcPattern* pattern, const char* object, int index = 0) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, index, &value) != FcResultMatch || !value)
        return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(value));
}

// fontconfig's full font table, this program's own: fontconfig's current configuration may be
// the small one the toolkit sees (showToolkitOnlyInterfaceFaces), so every call here names
// this one. It is held only while it is read: see FontTable.
FcConfig*& fullConfig() {
    static FcConfig* config = nullptr;
    return config;
}

FcConfig* config() {
    if (!fullConfig())
        fullConfig() = FcInitLoadConfigAndFonts();
    return fullConfig();
}

// Lets go of the full table; fontconfig unmaps a folder's cache when no table uses it.
void releaseConfig() {
    if (fullConfig())
        FcConfigDestroy(fullConfig());
    fullConfig() = nullptr;
}

// How well a family language of fontconfig ("zh-cn") fits Chinese readers: mainland
// Simplified Chinese first, then Chinese without a region, then Taiwan and Hong Kong. 0 for
// any other language.
int chineseFit(const char* language) {
    static const char* const preferred[] = {"zh-cn", "zh", "zh-tw", "zh-hk"};
    for (int i = 0; i < 4; ++i)
        if (strcasecmp(language, preferred[i]) == 0)
            return 4 - i;
    return 0;
}

bool isEnglish(const char* language) {
    return strcasecmp(language, "en") == 0 || strncasecmp(language, "en-", 3) == 0;
}

// The families this program disabled, as fontconfig compares family names.
QSet<QString> disabledKeys() {
    QSet<QString> keys;
    for (const QString& family :
         disabledfonts::read(disabledfonts::rulePath()).value_or(QStringList()))
        keys.insert(disabledfonts::familyKey(family));
    return keys;
}

// Whether a font carries a disabled family among its names, as fontconfig's own rule tests it.
// Fontconfig leaves such fonts out when the user's configuration reads the rule file (the
// usual ones do); this program leaves them out in any case.
bool isDisabled(FcPattern* font, const QSet<QString>& disabled) {
    if (disabled.isEmpty())
        return false;
    FcChar8* value = nullptr;
    for (int k = 0; FcPatternGetString(font, FC_FAMILY, k, &value) == FcResultMatch && value; ++k)
        if (disabled.contains(
                disabledfonts::familyKey(QString::fromUtf8(reinterpret_cast<const char*>(value)))))
            return true;
    return false;
}

// What this program knows of the installed fonts between rescans, read in one pass over
// fontconfig's full table. The table itself is let go afterwards: any look at it touches every
// font's entry in fontconfig's caches (more than a kilobyte a font), so keeping it would keep
// megabytes in memory for the whole run, where this holds the names and files only.
struct FontTable {
    QList<FontSystem::FamilyNames> names; // every family once, by its first name
    struct Face {
        int family;     // its place in names
        int folder;     // its folder's place in folders
        qsizetype name; // where its file name starts in fileNames
        int index;      // its place in a collection file
    };
    std::vector<Face> faces;   // every font, in fontconfig's order
    QList<QByteArray> folders; // the folders of the font files, each once, ending in "/"
    QByteArray fileNames;      // the file names within their folders, each ended by a 0

    QByteArray path(const Face& face) const {
        return folders[face.folder] + (fileNames.constData() + face.name);
    }
    // Whether a face lies in the file at path.
    bool isInFile(const Face& face, QByteArrayView path) const {
        const QByteArray& folder = folders[face.folder];
        return path.startsWith(folder) &&
               path.sliced(folder.size()) == QByteArrayView(fileNames.constData() + face.name);
    }
    // The place of a family in names, by its first name; -1 when there is none.
    int find(const QString& family) const {
        for (qsizetype i = 0; i < names.size(); ++i)
            if (names[i].family == family)
                return int(i);
        return -1;
    }

    void read(FcConfig* config) {
        Reading reading;
        reading.disabled = disabledKeys();
        const FcFontSet* system = FcConfigGetFonts(config, FcSetSystem);
        if (system) {
            names.reserve(system->nfont);
            faces.reserve(system->nfont);
            reading.position.reserve(system->nfont);
        }
        for (FcSetName set : {FcSetSystem, FcSetApplication}) {
            const FcFontSet* fonts = FcConfigGetFonts(config, set);
            for (int i = 0; fonts && i < fonts->nfont; ++i)
                add(fonts->fonts[i], reading);
        }
        names.squeeze();
        fileNames.squeeze();
        faces.shrink_to_fit();
    }

private:
    // What only the reading needs.
    struct Reading {
        QHash<QString, int> position; // a family's place in names
        std::vector<int> chineseFits; // how well each family's Chinese name fits
        QSet<QString> disabled;       // the keys of the disabled families
    };

    // The place of a file's folder in folders; the fonts of one folder come together.
    int folderOf(QByteArrayView folder) {
        for (qsizetype i = folders.size() - 1; i >= 0; --i)
            if (folders[i] == folder)
                return int(i);
        folders.append(folder.toByteArray());
        return int(folders.size() - 1);
    }

    void add(FcPattern* font, Reading& reading) {
        FcChar8* first = nullptr;
        if (FcPatternGetString(font, FC_FAMILY, 0, &first) != FcResultMatch || !first || !*first)
            return;
        if (isDisabled(font, reading.disabled))
            return;
        const QString family = QString::fromUtf8(reinterpret_cast<const char*>(first));
        auto found = reading.position.constFind(family);
        if (found == reading.position.constEnd()) {
            found = reading.position.insert(family, int(names.size()));
            names.append({family, {}, {}});
            reading.chineseFits.push_back(0);
        }
        const int at = *found;
        FcChar8* file = nullptr;
        if (FcPatternGetString(font, FC_FILE, 0, &file) == FcResultMatch && file) {
            const QByteArrayView path(reinterpret_cast<const char*>(file));
            const qsizetype slash = path.lastIndexOf('/') + 1;
            int index = 0;
            FcPatternGetInteger(font, FC_INDEX, 0, &index);
            faces.push_back({at, folderOf(path.first(slash)), fileNames.size(), index});
            fileNames.append(path.sliced(slash));
            fileNames.append('\0');
        }
        // Any face of a family may carry its Chinese or English name; one that is the first
        // name is the same text, kept once.
        FontSystem::FamilyNames& named = names[at];
        const auto text = [&named, first](const FcChar8* value) {
            return std::strcmp(reinterpret_cast<const char*>(value),
                               reinterpret_cast<const char*>(first)) == 0
                       ? named.family
                       : QString::fromUtf8(reinterpret_cast<const char*>(value));
        };
        for (int k = 0;; ++k) {
            FcChar8* value = nullptr;
            if (FcPatternGetString(font, FC_FAMILY, k, &value) != FcResultMatch || !value)
                break;
            FcChar8* language = nullptr;
            if (FcPatternGetString(font, FC_FAMILYLANG, k, &language) != FcResultMatch || !language)
                continue;
            const char* lang = reinterpret_cast<const char*>(language);
            const int chinese = chineseFit(lang);
            if (chinese > reading.chineseFits[at]) {
                reading.chineseFits[at] = chinese;
                named.chinese = text(value);
            } else if (named.english.isEmpty() && isEnglish(lang)) {
                named.english = text(value);
            }
        }
    }
};

std::optional<FontTable>& loadedTable() {
    static std::optional<FontTable> table;
    return table;
}

// The characters the toolkit finds a face for among those it was shown at start and those
// handed to it since as fallbacks; null while it sees every installed font.
FcCharSet*& toolkitCharacters() {
    static FcCharSet* codes = nullptr;
    return codes;
}

// Whether the toolkit has been given the faces adding characters among the fonts installed
// when the table was last read.
bool& fallbacksCurrent() {
    static bool current = false;
    return current;
}

void handNewFallbacksToToolkit(FcConfig* full);

const FontTable& table() {
    if (!loadedTable()) {
        loadedTable().emplace();
        if (FcConfig* full = config()) {
            loadedTable()->read(full);
            if (!fallbacksCurrent())
                handNewFallbacksToToolkit(full);
        }
        releaseConfig();
    }
    return *loadedTable();
}

// Which characters and languages each family covers, read from the character and language sets
// fontconfig keeps in its caches: no font file is opened. Each family's faces are gathered first,
// so that its pages are merged once and fontconfig's table is let go as soon as it is read.
FontCoverage readCoverage(FcConfig* config) {
    QStringList languages;
    QHash<QByteArray, int> languageIndex;
    FcStrSet* known = FcGetLangs();
    FcStrList* list = FcStrListCreate(known);
    while (FcChar8* code = FcStrListNext(list)) {
        languageIndex.insert(QByteArray(reinterpret_cast<const char*>(code)),
                             int(languages.size()));
        languages.append(QString::fromUtf8(reinterpret_cast<const char*>(code)));
    }
    FcStrListDone(list);
    FcStrSetDestroy(known);

    QList<QString> names;
    std::vector<std::vector<FcPattern*>> faces;
    QHash<QString, int> position;
    for (FcSetName set : {FcSetSystem, FcSetApplication}) {
        const FcFontSet* fonts = config ? FcConfigGetFonts(config, set) : nullptr;
        for (int i = 0; fonts && i < fonts->nfont; ++i) {
            const QString family = fcString(fonts->fonts[i], FC_FAMILY);
            if (family.isEmpty())
                continue;
            auto found = position.constFind(family);
            if (found == position.constEnd()) {
                found = position.insert(family, int(names.size()));
                names.append(family);
                faces.emplace_back();
            }
            faces[*found].push_back(fonts->fonts[i]);
        }
    }

    // Most faces share their language set with many others: each distinct one is read once.
    struct KnownSet {
        FcLangSet* set;
        std::vector<int> languages;
    };
    std::unordered_multimap<FcChar32, KnownSet> languageSets;
    const auto languagesOf = [&](const FcLangSet* set) -> const std::vector<int>& {
        const FcChar32 hash = FcLangSetHash(set);
        for (auto [it, end] = languageSets.equal_range(hash); it != end; ++it)
            if (FcLangSetEqual(it->second.set, set))
                return it->second.languages;
        KnownSet read{FcLangSetCopy(set), {}};
        FcStrSet* codes = FcLangSetGetLangs(set);
        FcStrList* each = FcStrListCreate(codes);
        while (FcChar8* code = FcStrListNext(each)) {
            const int index =
                languageIndex.value(QByteArray(reinterpret_cast<const char*>(code)), -1);
            if (index >= 0)
                read.languages.push_back(index);
        }
        FcStrListDone(each);
        FcStrSetDestroy(codes);
        return languageSets.emplace(hash, std::move(read))->second.languages;
    };

    FontCoverage::Builder builder(languages);
    for (qsizetype f = 0; f < names.size(); ++f) {
        builder.startFamily(names[f]);
        for (FcPattern* face : faces[f]) {
            FcCharSet* charset = nullptr;
            if (FcPatternGetCharSet(face, FC_CHARSET, 0, &charset) == FcResultMatch && charset) {
                FcChar32 map[FC_CHARSET_MAP_SIZE];
                FcChar32 next = 0;
                for (FcChar32 base = FcCharSetFirstPage(charset, map, &next);
                     base != FC_CHARSET_DONE; base = FcCharSetNextPage(charset, map, &next))
                    builder.addPage(base, map);
            }
            FcLangSet* langs = nullptr;
            if (FcPatternGetLangSet(face, FC_LANG, 0, &langs) == FcResultMatch && langs)
                for (int language : languagesOf(langs))
                    builder.addLanguage(language);
        }
    }
    for (auto& [hash, set] : languageSets)
        FcLangSetDestroy(set.set);
    return builder.build();
}

std::shared_ptr<const FontCoverage>& loadedCoverage() {
    static std::shared_ptr<const FontCoverage> coverage;
    return coverage;
}

// Families the toolkit can draw in their own faces since this program handed their files to it;
// emptied whenever the installed fonts may have changed.
QSet<QString>& drawableFamilies() {
    static QSet<QString> families;
    return families;
}

// Forgets the font table, so that the next look reads the configuration and the font folders
// again and sees fonts added or removed since; fontconfig's own up-to-date check waits for its
// rescan interval (30 s). A family may have gained or lost faces, so each is handed to the
// toolkit afresh when next drawn.
void forgetTable() {
    releaseConfig();
    loadedTable().reset();
    loadedCoverage().reset();
    drawableFamilies().clear();
    fallbacksCurrent() = false;
}

// The families the toolkit was shown at start, when it was shown only the interface faces.
std::optional<QSet<QString>>& toolkitFamilies() {
    static std::optional<QSet<QString>> families;
    return families;
}

} // namespace

QStringList FontconfigFontSystem::families() {
    QStringList result;
    result.reserve(table().names.size());
    for (const FamilyNames& names : table().names)
        result.append(names.family);
    return result;
}

QList<FontSystem::FamilyNames> FontconfigFontSystem::familyNames() {
    return table().names;
}

QStringList FontconfigFontSystem::familyFiles(const QString& family) {
    const FontTable& fonts = table();
    const int found = fonts.find(family);
    QStringList files;
    // A family listed under its first name owns the file; others only mention it.
    for (const FontTable::Face& face : fonts.faces) {
        if (face.family != found)
            continue;
        const QString file = QFile::decodeName(fonts.path(face));
        if (!files.contains(file))
            files.append(file);
    }
    return files;
}

QStringList FontconfigFontSystem::familiesRemovedWith(const QString& family) {
    const FontTable& fonts = table();
    QStringList result{family};
    for (const QString& file : familyFiles(family)) {
        const QByteArray name = QFile::encodeName(file);
        // By their first family name, as the font list shows them, in the file's order.
        QList<std::pair<int, int>> faces;
        for (const FontTable::Face& face : fonts.faces)
            if (fonts.isInFile(face, name))
                faces.append({face.index, face.family});
        std::sort(faces.begin(), faces.end());
        for (const auto& [index, other] : faces)
            if (!result.contains(fonts.names[other].family))
                result.append(fonts.names[other].family);
    }
    return result;
}
std::shared_ptr<const FontCoverage> FontconfigFontSystem::coverage() {
    if (!loadedCoverage()) {
        loadedCoverage() = std::make_shared<const FontCoverage>(readCoverage(config()));
        releaseConfig();
    }
    return loadedCoverage();
}

void FontconfigFontSystem::rescan() {
    forgetTable();
}

namespace {

// A copy of an interface face for the toolkit's table that owns all it holds: a copied
// pattern still points into fontconfig's cache for its character set, which would keep the
// whole cache of the face's folder in memory.
FcPattern* detachedCopy(FcPattern* font) {
    FcPattern* copy = FcPatternDuplicate(font);
    FcCharSet* shared = nullptr;
    if (copy && FcPatternGetCharSet(copy, FC_CHARSET, 0, &shared) == FcResultMatch) {
        FcCharSet* own = FcCharSetCreate();
        FcCharSetMerge(own, shared, nullptr);
        FcPatternDel(copy, FC_CHARSET);
        FcPatternAddCharSet(copy, FC_CHARSET, own);
        FcCharSetDestroy(own);
    }
    return copy;
}

// Whether a face is upright, of ordinary weight and scalable: the kind of face that should draw
// a script the interface faces lack, rather than a bold, italic or bitmap one.
bool isPlainFace(FcPattern* font) {
    int weight = FC_WEIGHT_REGULAR;
    int slant = FC_SLANT_ROMAN;
    FcBool scalable = FcTrue;
    FcPatternGetInteger(font, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(font, FC_SLANT, 0, &slant);
    FcPatternGetBool(font, FC_SCALABLE, 0, &scalable);
    return weight >= FC_WEIGHT_BOOK && weight <= FC_WEIGHT_MEDIUM && slant == FC_SLANT_ROMAN &&
           scalable;
}

// The characters no face needs to be found for: the private use area, where each font gives a
// code its own meaning (symbol fonts, icons), so that a font adding only those is not shown.
FcCharSet* privateUseArea() {
    FcCharSet* codes = FcCharSetCreate();
    for (FcChar32 code = 0xE000; code <= 0xF8FF; ++code)
        FcCharSetAddChar(codes, code);
    return codes;
}

// The faces that, added to those whose characters are in covered, hold every character some
// installed font holds: each face in turn that holds a character none before it holds, plain
// faces before the others. This is the set fontconfig's trimmed fallback sort gives, without
// scoring every installed font against a pattern; the toolkit orders the few faces itself when
// it looks for a fallback. Adds their characters to covered.
std::vector<FcPattern*> facesAddingCharacters(const FcFontSet* all, FcCharSet* covered) {
    std::vector<FcPattern*> adding;
    std::vector<FcPattern*> notPlain;
    // Fonts that hold the same characters share one set in fontconfig's cache: a set found to
    // add nothing is not compared again.
    QSet<const FcCharSet*> addingNothing;
    for (int i = 0; all && i < all->nfont; ++i) {
        FcPattern* font = all->fonts[i];
        FcCharSet* codes = nullptr;
        if (FcPatternGetCharSet(font, FC_CHARSET, 0, &codes) != FcResultMatch ||
            addingNothing.contains(codes))
            continue;
        if (FcCharSetIsSubset(codes, covered)) {
            addingNothing.insert(codes);
        } else if (isPlainFace(font)) {
            FcCharSetMerge(covered, codes, nullptr);
            adding.push_back(font);
        } else {
            notPlain.push_back(font);
        }
    }
    for (FcPattern* font : notPlain) {
        FcCharSet* codes = nullptr;
        FcPatternGetCharSet(font, FC_CHARSET, 0, &codes);
        if (!FcCharSetIsSubset(codes, covered)) {
            FcCharSetMerge(covered, codes, nullptr);
            adding.push_back(font);
        }
    }
    return adding;
}

// Makes current a configuration with the same rules as the full one (aliases, rendering
// settings, cache folders) and no font folders, holding, as fontconfig has already read them
// instead of reading their files again, the given families' faces and the faces the toolkit
// needs besides to draw every character some installed font holds: text in a script the
// interface faces lack (file names, family names, notices) then still finds its face.
bool showToolkitOnly(FcConfig* full, const QSet<QString>& families) {
    // Asked of the full configuration: without one, fontconfig would load its default
    // configuration, fonts and all, only to answer.
    FcChar8* mainFile = FcConfigGetFilename(full, nullptr);
    if (!mainFile)
        return false;
    const QString included =
        QString::fromUtf8(reinterpret_cast<const char*>(mainFile)).toHtmlEscaped();
    FcStrFree(mainFile);
    const QByteArray text =
        QStringLiteral("<?xml version=\"1.0\"?>\n<fontconfig>\n  <include>%1</include>\n"
                       "  <reset-dirs/>\n</fontconfig>\n")
            .arg(included)
            .toUtf8();
    FcConfig* small = FcConfigCreate();
    if (!FcConfigParseAndLoadFromMemory(small, reinterpret_cast<const FcChar8*>(text.constData()),
                                        FcTrue) ||
        !FcConfigBuildFonts(small)) {
        FcConfigDestroy(small);
        return false;
    }
    FcFontSet* shown = FcConfigGetFonts(small, FcSetSystem);
    const FcFontSet* all = FcConfigGetFonts(full, FcSetSystem);
    QList<QByteArray> names;
    for (const QString& family : families)
        names.append(family.toUtf8());
    FcCharSet* covered = privateUseArea();
    for (int i = 0; shown && all && i < all->nfont; ++i) {
        FcChar8* family = nullptr;
        if (FcPatternGetString(all->fonts[i], FC_FAMILY, 0, &family) != FcResultMatch ||
            !names.contains(QByteArrayView(reinterpret_cast<const char*>(family))))
            continue;
        FcFontSetAdd(shown, detachedCopy(all->fonts[i]));
        FcCharSet* codes = nullptr;
        if (FcPatternGetCharSet(all->fonts[i], FC_CHARSET, 0, &codes) == FcResultMatch)
            FcCharSetMerge(covered, codes, nullptr);
    }
    if (shown)
        for (FcPattern* font : facesAddingCharacters(all, covered))
            FcFontSetAdd(shown, detachedCopy(font));
    // The current configuration keeps its own reference.
    const bool shownOnly = FcConfigSetCurrent(small);
    FcConfigDestroy(small);
    if (shownOnly) {
        toolkitCharacters() = covered;
        fallbacksCurrent() = true;
    } else {
        FcCharSetDestroy(covered);
    }
    return shownOnly;
}

} // namespace

FontconfigFontSystem::InterfaceFaces FontconfigFontSystem::interfaceFaces() {
    static std::optional<InterfaceFaces> faces;
    if (!faces) {
        const QString latin = matchFamily(QStringLiteral("sans-serif"));
        const QString chinese = matchFamily(QStringLiteral("sans-serif:lang=zh-cn"));
        faces = InterfaceFaces{latin, chinese,
                               !chinese.isEmpty() &&
                                   familyHasLanguage(chinese, QStringLiteral("zh-cn"))};
    }
    return *faces;
}

void FontconfigFontSystem::showToolkitOnlyInterfaceFaces(Start start) {
    if (FcConfig* full = config()) {
        // The faces the interface and the preview's fallbacks draw with (see
        // applyInterfaceFonts).
        const InterfaceFaces faces = interfaceFaces();
        const QSet<QString> families{faces.latin, faces.chinese};
        if (showToolkitOnly(full, families))
            toolkitFamilies() = families;
    }
    // Read now, while the process is small, so that fontconfig's caches are gone before the
    // windows grow.
    if (start == Start::ListingFonts)
        table();
    releaseConfig();
}

QString FontconfigFontSystem::familyOfFile(const QString& path) {
    const QByteArray file = QFile::encodeName(path);
    int count = 0;
    FcPattern* pattern =
        FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(file.constData()), 0, nullptr, &count);
    if (!pattern)
        return {};
    const QString family = fcString(pattern, FC_FAMILY);
    FcPatternDestroy(pattern);
    return family;
}

namespace {

// Files this program registered with Qt, by the path Qt was given, so that a removal can take
// them back. Qt's application fonts belong to the process, so the table does too.
QHash<QString, int>& qtFontIds() {
    static QHash<QString, int> ids;
    return ids;
}

// The folder that holds a file, with links in the folder's own path resolved but not a link
// that is the file itself: a font linked into the fonts folder lies in the fonts folder.
QString canonicalFolderOf(const QString& file) {
    return QFileInfo(QFileInfo(file).absolutePath()).canonicalFilePath();
}

bool liesInside(const QString& file, const QString& canonicalFolder) {
    if (canonicalFolder.isEmpty())
        return false;
    const QString folder = canonicalFolderOf(file);
    return folder == canonicalFolder || folder.startsWith(canonicalFolder + QLatin1Char('/'));
}

// A name in the fonts folder for a link to target: the file's own name, or, when another file
// already has it, the name with "-2", "-3", ... before the extension. When a link to the same
// file is already there, its name, with linked set.
QString linkNameFor(const QDir& folder, const QFileInfo& target, bool* linked) {
    const QString wanted = target.canonicalFilePath();
    const QString base = target.completeBaseName();
    const QString suffix =
        target.suffix().isEmpty() ? QString() : QLatin1Char('.') + target.suffix();
    *linked = false;
    for (int n = 1;; ++n) {
        const QString name =
            n == 1 ? target.fileName() : base + QLatin1Char('-') + QString::number(n) + suffix;
        const QFileInfo present(folder.filePath(name));
        if (!present.exists() && !present.isSymLink())
            return name;
        if (present.canonicalFilePath() == wanted) {
            *linked = true;
            return name;
        }
    }
}

// Into the trash, not erased, so a mistaken delete can be undone from the file manager; a link
// goes there itself and leaves the file it points to alone. The toolkit lets go of the file.
bool moveToTrash(const QString& file) {
    const bool moved =
        QFile::moveToTrash(file) || (!QFileInfo(file).exists() && !QFileInfo(file).isSymLink());
    const auto id = qtFontIds().constFind(file);
    if (id != qtFontIds().constEnd()) {
        QFontDatabase::removeApplicationFont(*id);
        qtFontIds().erase(id);
    }
    return moved;
}

} // namespace

namespace {

// Hands the toolkit, by their files, the fonts installed since it was shown its faces (by this
// program or by anyone, seen at a refresh) that hold characters no face it has holds, so that
// text in their script is drawn, not shown as boxes, without a restart.
void handNewFallbacksToToolkit(FcConfig* full) {
    if (!toolkitCharacters() || !QGuiApplication::instance())
        return;
    for (FcPattern* font :
         facesAddingCharacters(FcConfigGetFonts(full, FcSetSystem), toolkitCharacters())) {
        const QString file = fcString(font, FC_FILE);
        if (file.isEmpty() || qtFontIds().contains(file))
            continue;
        const int id = QFontDatabase::addApplicationFont(file);
        if (id >= 0)
            qtFontIds().insert(file, id);
    }
    fallbacksCurrent() = true;
}

} // namespace

void FontconfigFontSystem::prepareToDraw(const QString& family) {
    if (family.isEmpty() || drawableFamilies().contains(family))
        return;
    if (toolkitFamilies().has_value() ? toolkitFamilies()->contains(family)
                                      : QFontDatabase::families().contains(family)) {
        drawableFamilies().insert(family);
        return;
    }
    // Every file of the family, so that bold and italic come from its own faces where it has
    // them. A file handed over before is handed over again when the toolkit lost it (it reloads
    // its table after any removal and drops files that were gone at that moment). A family not
    // (or no longer) installed is tried again the next time.
    bool registered = false;
    for (const QString& file : familyFiles(family)) {
        const auto known = qtFontIds().constFind(file);
        if (known != qtFontIds().constEnd()) {
            if (!QFontDatabase::applicationFontFamilies(*known).isEmpty()) {
                registered = true;
                continue;
            }
            QFontDatabase::removeApplicationFont(*known);
            qtFontIds().erase(known);
        }
        const int id = QFontDatabase::addApplicationFont(file);
        if (id >= 0) {
            qtFontIds().insert(file, id);
            registered = true;
        }
    }
    if (registered)
        drawableFamilies().insert(family);
}

FontSystem::Result FontconfigFontSystem::installFile(const QString& path) {
    // The path is taken as typed: no trimming, relative to the current folder when relative.
    const QFileInfo file(path);
    if (path.isEmpty() || !file.exists())
        return Result::NotFound;
    if (!file.isFile() || familyOfFile(file.absoluteFilePath()).isEmpty())
        return Result::NotAFont;

    const QString fontsFolder = userFontsFolder();
    if (!QDir().mkpath(fontsFolder))
        return Result::Failed;
    const QDir folder(fontsFolder);
    QString registered = file.absoluteFilePath();
    if (!liesInside(registered, folder.canonicalPath())) {
        bool linked = false;
        const QString name = linkNameFor(folder, file, &linked);
        // A link, not a copy: the font stays where the user keeps it. Installed again, the
        // font is registered by its link as before, so that removing the link removes it.
        if (!linked && !QFile::link(file.absoluteFilePath(), folder.filePath(name)))
            return Result::Failed;
        registered = folder.filePath(name);
    }

    forgetTable();
    if (!qtFontIds().contains(registered)) {
        const int id = QFontDatabase::addApplicationFont(registered);
        if (id >= 0)
            qtFontIds().insert(registered, id);
    }
    return Result::Done;
}

FontSystem::Result FontconfigFontSystem::removeFamily(const QString& family) {
    const QStringList files = familyFiles(family);
    if (files.isEmpty())
        return Result::NotFound;
    // Only what lies in the user's own fonts folder may go; a family with any file elsewhere
    // belongs (at least partly) to the system and is left whole.
    const QString fontsFolder = QDir(userFontsFolder()).canonicalPath();
    for (const QString& file : files)
        if (!liesInside(file, fontsFolder))
            return Result::Refused;

    bool allRemoved = true;
    for (const QString& file : files)
        allRemoved = moveToTrash(file) && allRemoved;
    forgetTable();
    return allRemoved ? Result::Done : Result::Failed;
}

FontSystem::Result FontconfigFontSystem::removeFile(const QString& path) {
    const QFileInfo file(path);
    if (!file.exists() && !file.isSymLink())
        return Result::NotFound;
    if (!liesInside(path, QDir(userFontsFolder()).canonicalPath()))
        return Result::Refused;
    const bool removed = moveToTrash(path);
    forgetTable();
    return removed ? Result::Done : Result::Failed;
}

QString FontconfigFontSystem::userFontsFolder() {
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty() || !QDir::isAbsolutePath(dataHome))
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(dataHome + QStringLiteral("/fonts"));
}

QString FontconfigFontSystem::matchFamily(const QString& patternText) {
    const QByteArray text = patternText.toUtf8();
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(text.constData()));
    if (!pattern)
        return {};
    FcConfigSubstitute(config(), pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config(), pattern, &result);
    QString family;
    if (match) {
        family = fcString(match, FC_FAMILY);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return family;
}

bool FontconfigFontSystem::familyHasLanguage(const QString& family, const QString& language) {
    FcPattern* pattern = FcPatternCreate();
    const QByteArray name = family.toUtf8();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.constData()));
    FcLangSet* langs = FcLangSetCreate();
    const QByteArray lang = language.toUtf8();
    FcLangSetAdd(langs, reinterpret_cast<const FcChar8*>(lang.constData()));
    FcPatternAddLangSet(pattern, FC_LANG, langs);
    FcLangSetDestroy(langs);
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* set = FcFontList(config(), pattern, objects);
    const bool covered = set && set->nfont > 0;
    if (set)
        FcFontSetDestroy(set);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return covered;
}

QString FontconfigFontSystem::disabledFamiliesFile() {
    return disabledfonts::rulePath();
}

QStringList FontconfigFontSystem::disabledFamilies() {
    return disabledfonts::read(disabledfonts::rulePath()).value_or(QStringList());
}

FontSystem::Result FontconfigFontSystem::disableFamily(const QString& family) {
    if (family.isEmpty())
        return Result::NotFound;
    // Without its interface faces this program, and every other one, would draw its texts in
    // whatever fontconfig falls back to.
    const InterfaceFaces faces = interfaceFaces();
    const QString key = disabledfonts::familyKey(family);
    if (key == disabledfonts::familyKey(faces.latin) ||
        key == disabledfonts::familyKey(faces.chinese))
        return Result::Refused;
    const QString path = disabledfonts::rulePath();
    std::optional<QStringList> disabled = disabledfonts::read(path);
    if (!disabled)
        return Result::Failed;
    bool already = false;
    for (const QString& name : std::as_const(*disabled))
        already = already || disabledfonts::familyKey(name) == key;
    if (!already) {
        disabled->append(family);
        if (disabledfonts::write(path, *disabled) != disabledfonts::Written::Done)
            return Result::Failed;
    }
    forgetTable();
    return Result::Done;
}

FontSystem::Result FontconfigFontSystem::enableFamily(const QString& family) {
    const QString path = disabledfonts::rulePath();
    std::optional<QStringList> disabled = disabledfonts::read(path);
    if (!disabled)
        return Result::Failed;
    const QString key = disabledfonts::familyKey(family);
    const qsizetype removed = disabled->removeIf(
        [&key](const QString& name) { return disabledfonts::familyKey(name) == key; });
    if (removed == 0)
        return Result::NotFound;
    if (disabledfonts::write(path, *disabled) != disabledfonts::Written::Done)
        return Result::Failed;
    forgetTable();
    return Result::Done;
}

namespace {

// The copy fontconfig hands a program that asks for this family and style: its file and index.
// Fontconfig's own choice among the copies, by its own scores (version, then its order of the
// fonts); any other font scores worse on the family or the style, so only the copies are
// weighed, not every installed font once per group.
std::pair<QByteArray, int> pickedCopy(FcConfig* config, const FcFontSet* all,
                                      const QList<int>& copies, const FcChar8* family,
                                      const FcChar8* style) {
    FcFontSet* candidates = FcFontSetCreate();
    for (int i : copies) {
        FcPatternReference(all->fonts[i]);
        FcFontSetAdd(candidates, all->fonts[i]);
    }
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, family);
    FcPatternAddString(pattern, FC_STYLE, style);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    std::pair<QByteArray, int> picked{{}, 0};
    if (FcPattern* match = FcFontSetMatch(config, &candidates, 1, pattern, &result)) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
            picked.first = QByteArray(reinterpret_cast<const char*>(file));
        FcPatternGetInteger(match, FC_INDEX, 0, &picked.second);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    FcFontSetDestroy(candidates);
    return picked;
}

QByteArray contentHash(const QString& path) {
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return {};
    return hash.result();
}

} // namespace

QList<FontSystem::DuplicateGroup> FontconfigFontSystem::duplicateFonts() {
    QList<DuplicateGroup> groups;
    FcConfig* full = config();
    const FcFontSet* fonts = full ? FcConfigGetFonts(full, FcSetSystem) : nullptr;
    if (!fonts) {
        releaseConfig();
        return groups;
    }
    const QSet<QString> disabled = disabledKeys();
    const auto text = [](FcPattern* font, const char* object) {
        FcChar8* value = nullptr;
        return FcPatternGetString(font, object, 0, &value) == FcResultMatch && value
                   ? QByteArray(reinterpret_cast<const char*>(value))
                   : QByteArray();
    };
    // Faces by family and style, compared as fontconfig compares them; only a group with more
    // than one file is looked at any further.
    QHash<QString, QList<int>> byName;
    QList<QString> order;
    for (int i = 0; i < fonts->nfont; ++i) {
        FcPattern* font = fonts->fonts[i];
        const QByteArray family = text(font, FC_FAMILY);
        if (family.isEmpty() || isDisabled(font, disabled))
            continue;
        const QString key = disabledfonts::familyKey(QString::fromUtf8(family)) +
                            QLatin1Char('\n') +
                            QString::fromUtf8(text(font, FC_STYLE)).toCaseFolded();
        auto found = byName.find(key);
        if (found == byName.end()) {
            found = byName.insert(key, {});
            order.append(key);
        }
        found->append(i);
    }
    const QString fontsFolder = QDir(userFontsFolder()).canonicalPath();
    QHash<QByteArray, QList<std::pair<int, QString>>> familiesOfFile; // for the files shown
    for (const QString& key : std::as_const(order)) {
        const QList<int>& faces = byName[key];
        if (faces.size() < 2)
            continue;
        QSet<QByteArray> files;
        for (int i : faces)
            files.insert(text(fonts->fonts[i], FC_FILE));
        if (files.size() < 2)
            continue;
        FcPattern* first = fonts->fonts[faces.first()];
        DuplicateGroup group{QString::fromUtf8(text(first, FC_FAMILY)),
                             QString::fromUtf8(text(first, FC_STYLE)),
                             {}};
        const QByteArray style = text(first, FC_STYLE);
        const auto picked =
            pickedCopy(full, fonts, faces,
                       reinterpret_cast<const FcChar8*>(text(first, FC_FAMILY).constData()),
                       reinterpret_cast<const FcChar8*>(style.constData()));
        QList<QByteArray> hashes;
        for (int i : faces) {
            FcPattern* font = fonts->fonts[i];
            FontCopy copy;
            const QByteArray file = text(font, FC_FILE);
            copy.path = QFile::decodeName(file);
            FcPatternGetInteger(font, FC_INDEX, 0, &copy.index);
            int version = 0;
            if (FcPatternGetInteger(font, FC_FONTVERSION, 0, &version) == FcResultMatch &&
                version > 0)
                copy.version = QString::number(version / 65536.0, 'f', 3);
            const QFileInfo info(copy.path);
            copy.size = info.exists() ? info.size() : -1;
            copy.used = file == picked.first && copy.index == picked.second;
            copy.removable = liesInside(copy.path, fontsFolder);
            familiesOfFile.insert(file, {});
            hashes.append(QByteArray());
            // Contents are compared only with copies of the same size in this group.
            for (qsizetype earlier = 0; earlier < group.copies.size(); ++earlier) {
                const FontCopy& other = group.copies[earlier];
                if (other.size != copy.size || copy.size <= 0)
                    continue;
                if (hashes[earlier].isEmpty())
                    hashes[earlier] = contentHash(other.path);
                if (hashes.last().isEmpty())
                    hashes.last() = contentHash(copy.path);
                if (!hashes.last().isEmpty() && hashes.last() == hashes[earlier]) {
                    copy.sameAs = int(earlier);
                    break;
                }
            }
            group.copies.append(copy);
        }
        groups.append(group);
    }
    // Every family in each file shown, in the file's order: a collection goes whole.
    if (!familiesOfFile.isEmpty()) {
        for (int i = 0; i < fonts->nfont; ++i) {
            auto found = familiesOfFile.find(text(fonts->fonts[i], FC_FILE));
            if (found == familiesOfFile.end())
                continue;
            int index = 0;
            FcPatternGetInteger(fonts->fonts[i], FC_INDEX, 0, &index);
            found->append({index, QString::fromUtf8(text(fonts->fonts[i], FC_FAMILY))});
        }
        for (DuplicateGroup& group : groups) {
            for (FontCopy& copy : group.copies) {
                auto faces = familiesOfFile.value(QFile::encodeName(copy.path));
                std::sort(faces.begin(), faces.end());
                copy.families = {group.family};
                for (const auto& [index, family] : faces)
                    if (!copy.families.contains(family))
                        copy.families.append(family);
            }
        }
    }
    releaseConfig();
    return groups;
}
