#include "platform/FontconfigFontSystem.h"
#include "platform/DisabledFontsFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QXmlStreamReader>
#include <algorithm>
#include <cstring>
#include <fontconfig/fontconfig.h>
#include <functional>
#include <memory>
#include <optional>
#include <strings.h>
#include <unordered_map>
#include <utility>
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

// A new configuration with the rules of config (its main file included) and the given elements
// after them; null when it cannot be made.
FcConfig* configAfter(FcConfig* config, const QString& elements) {
    // Asked of config: without one, fontconfig would load its default configuration, fonts and
    // all, only to answer.
    FcChar8* mainFile = config ? FcConfigGetFilename(config, nullptr) : nullptr;
    if (!mainFile)
        return nullptr;
    const QString included =
        QString::fromUtf8(reinterpret_cast<const char*>(mainFile)).toHtmlEscaped();
    FcStrFree(mainFile);
    const QByteArray text =
        QStringLiteral("<?xml version=\"1.0\"?>\n<fontconfig>\n  <include>%1</include>\n  %2\n"
                       "</fontconfig>\n")
            .arg(included, elements)
            .toUtf8();
    FcConfig* made = FcConfigCreate();
    if (!FcConfigParseAndLoadFromMemory(made, reinterpret_cast<const FcChar8*>(text.constData()),
                                        FcTrue)) {
        FcConfigDestroy(made);
        return nullptr;
    }
    return made;
}

QByteArray parentFolder(QByteArrayView path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash > 0 ? path.first(slash).toByteArray() : QByteArray("/");
}

// Whether text matches a file name pattern of fontconfig's configuration (<glob>), as fontconfig
// matches one: "*" stands for any run of bytes, "?" for any one byte, nothing else is special.
bool globMatches(const char* glob, const char* text) {
    for (char c; (c = *glob++) != '\0';) {
        if (c == '*') {
            if (*glob == '\0')
                return true;
            // With no other "*", only the end of the text can match the rest.
            if (!std::strchr(glob, '*')) {
                const std::size_t length = std::strlen(text);
                const std::size_t rest = std::strlen(glob);
                if (length < rest)
                    return false;
                text += length - rest;
            }
            for (; *text != '\0'; ++text)
                if (globMatches(glob, text))
                    return true;
            return false;
        }
        if (*text == '\0' || (c != '?' && *text != c))
            return false;
        ++text;
    }
    return *text == '\0';
}

// The configuration's rules that accept or turn away files and folders by name, read from the
// files fontconfig read it from; nothing when a file cannot be read here as fontconfig read it.
struct NameRules {
    QList<QByteArray> accept;
    QList<QByteArray> reject;

    // Whether fontconfig reads a folder it finds in another.
    bool accepts(const char* path) const {
        const auto matches = [path](const QByteArray& glob) {
            return globMatches(glob.constData(), path);
        };
        return std::any_of(accept.begin(), accept.end(), matches) ||
               std::none_of(reject.begin(), reject.end(), matches);
    }
};

std::optional<NameRules> nameRules(FcConfig* config) {
    NameRules rules;
    FcStrList* files = FcConfigGetConfigFiles(config);
    bool read = files != nullptr;
    while (FcChar8* name = read ? FcStrListNext(files) : nullptr) {
        QFile file(QFile::decodeName(reinterpret_cast<const char*>(name)));
        if (!file.open(QIODevice::ReadOnly)) {
            read = false;
            break;
        }
        const QByteArray text = file.readAll();
        if (!text.contains("glob"))
            continue;
        QXmlStreamReader xml(text);
        QStringList open;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement()) {
                const QString parent = open.isEmpty() ? QString() : open.last();
                if (xml.name() == u"glob" && (parent == u"acceptfont" || parent == u"rejectfont")) {
                    (parent == u"acceptfont" ? rules.accept : rules.reject)
                        .append(xml.readElementText().toUtf8());
                    continue;
                }
                open.append(xml.name().toString());
            } else if (xml.isEndElement() && !open.isEmpty()) {
                open.removeLast();
            }
        }
        read = !xml.hasError();
    }
    if (files)
        FcStrListDone(files);
    if (!read)
        return std::nullopt;
    return rules;
}

// Fontconfig's font table read one font folder at a time. A full table
// (FcInitLoadConfigAndFonts) keeps every folder's cache in memory from the first folder read
// to the moment it is let go, more than a kilobyte a font; here only one folder's cache is, while
// its fonts are read. The folders, their order, the order of the fonts in each and the rules that
// accept or turn away a font or a subfolder are those of a full table:
// - fontconfig reads each configured folder, then each subfolder a folder's cache names and its
//   rules accept, in turn, each once; this reads them in the same turns. Where the rules that
//   accept or turn away files by name cannot be read here, the folders are found first by a
//   table of the same configuration that turns every font away, so that fontconfig walks them
//   itself without keeping any;
// - each folder's fonts are added to a configuration of the same rules as application fonts,
//   and let go before the next folder is read. A folder with subfolders is read with a rule
//   turning its subfolders away, so that they are read in their own turn and not with it.
class FolderByFolder {
public:
    // The configuration of fontconfig's full table without its fonts: its rules and folders.
    FolderByFolder() : rules_(FcInitLoadConfig()) {
        if (!rules_)
            return;
        nameRules_ = nameRules(rules_);
        if (!nameRules_) {
            walk();
            return;
        }
        FcStrList* list = FcConfigGetFontDirs(rules_);
        while (FcChar8* folder = list ? FcStrListNext(list) : nullptr)
            addFolder(reinterpret_cast<const char*>(folder));
        if (list)
            FcStrListDone(list);
    }
    ~FolderByFolder() {
        if (rules_)
            FcConfigDestroy(rules_);
    }
    FolderByFolder(const FolderByFolder&) = delete;
    FolderByFolder& operator=(const FolderByFolder&) = delete;

    // The configuration the fonts are read with, for matching and substituting; null when
    // fontconfig's configuration could not be loaded, and nothing is read.
    FcConfig* rules() const { return rules_; }

    // visit(fonts of one folder) for each folder in turn, or for those in only when given. The
    // fonts stay valid during the call only.
    void read(const std::function<void(const FcFontSet*)>& visit,
              const QSet<QByteArray>* only = nullptr) {
        if (!rules_)
            return;
        Batch batch;
        // The list grows while it is read until every folder has been.
        for (qsizetype i = 0; i < folders_.size(); ++i) {
            const QByteArray folder = folders_[i].path;
            if (only && !only->contains(folder) && walked_)
                continue;
            // Held while the folder is read, so that fontconfig finds it mapped.
            FcCache* cache = FcDirCacheRead(reinterpret_cast<const FcChar8*>(folder.constData()),
                                            FcFalse, rules_);
            if (!cache)
                continue;
            if (!walked_)
                addSubfolders(i, cache);
            if (FcCacheNumFont(cache) > 0 && (!only || only->contains(folder))) {
                const QList<QByteArray>& subfolders = folders_[i].subfolders;
                if (FcConfig* own =
                        subfolders.isEmpty() ? nullptr : withoutSubfolders(subfolders)) {
                    // After the folders before it.
                    visitRead(rules_, batch, visit);
                    Batch alone;
                    readInto(own, folder, alone);
                    visitRead(own, alone, visit);
                    FcConfigDestroy(own);
                } else {
                    readInto(rules_, folder, batch);
                    if (applicationFonts(rules_) >= batchFonts)
                        visitRead(rules_, batch, visit);
                }
            }
            FcDirCacheUnload(cache);
        }
        visitRead(rules_, batch, visit);
        walked_ = true;
    }

private:
    struct Folder {
        QByteArray path;
        QList<QByteArray> subfolders; // those read in their own turn
    };

    void walk() {
        // An empty pattern matches every font. A font the configuration itself accepts
        // outright is kept by this table, and let go with it below.
        FcConfig* walking = configAfter(
            rules_, QStringLiteral("<selectfont><rejectfont><pattern/></rejectfont></selectfont>"));
        if (walking && FcConfigBuildFonts(walking)) {
            FcStrList* list = FcConfigGetFontDirs(walking);
            while (FcChar8* folder = list ? FcStrListNext(list) : nullptr)
                addFolder(reinterpret_cast<const char*>(folder));
            if (list)
                FcStrListDone(list);
        }
        if (walking)
            FcConfigDestroy(walking);
        QHash<QByteArray, qsizetype> place;
        for (qsizetype i = 0; i < folders_.size(); ++i)
            place.insert(folders_[i].path, i);
        for (const Folder& folder : std::as_const(folders_)) {
            const auto parent = place.constFind(parentFolder(folder.path));
            if (parent != place.constEnd())
                folders_[*parent].subfolders.append(folder.path);
        }
        walked_ = true;
    }

    // Adds a folder to the end of the list, as fontconfig adds it to its own: under its
    // cleaned name, unless it is there already.
    void addFolder(const char* path) {
        FcChar8* name = FcStrCopyFilename(reinterpret_cast<const FcChar8*>(path));
        if (!name)
            return;
        QByteArray folder(reinterpret_cast<const char*>(name));
        FcStrFree(name);
        if (!known_.contains(folder)) {
            known_.insert(folder);
            folders_.append({folder, {}});
        }
    }

    // The subfolders a folder's cache names, as fontconfig names them: in the folder, even
    // when the cache was made for the same folder under another path.
    void addSubfolders(qsizetype i, FcCache* cache) {
        const QByteArray folder = folders_[i].path;
        const bool moved =
            std::strcmp(reinterpret_cast<const char*>(FcCacheDir(cache)), folder.constData()) != 0;
        QList<QByteArray> subfolders;
        for (int k = 0; k < FcCacheNumSubdir(cache); ++k) {
            QByteArray path(reinterpret_cast<const char*>(FcCacheSubdir(cache, k)));
            if (moved)
                path = folder + '/' + path.sliced(path.lastIndexOf('/') + 1);
            if (!nameRules_->accepts(path.constData()))
                continue;
            addFolder(path.constData());
            subfolders.append(path);
        }
        folders_[i].subfolders = subfolders;
    }

    // Folders whose fonts were added to a configuration's application fonts and not visited
    // yet, each with the place of its first font: the fonts of a few small folders are visited
    // together, as fontconfig's matching and this program's reading cost a little for each set.
    using Batch = std::vector<std::pair<QByteArray, int>>;
    static constexpr int batchFonts = 1000;

    static int applicationFonts(FcConfig* config) {
        const FcFontSet* fonts = FcConfigGetFonts(config, FcSetApplication);
        return fonts ? fonts->nfont : 0;
    }

    static void readInto(FcConfig* config, const QByteArray& folder, Batch& batch) {
        batch.emplace_back(folder, applicationFonts(config));
        FcConfigAppFontAddDir(config, reinterpret_cast<const FcChar8*>(folder.constData()));
    }

    // The rules plus one turning the given subfolders away by name; null when a name cannot be
    // given exactly (a glob's wildcard in it, or not UTF-8): the folder is then read with its
    // subfolders, whose fonts are left out below.
    FcConfig* withoutSubfolders(const QList<QByteArray>& subfolders) const {
        QString globs;
        for (const QByteArray& folder : subfolders) {
            const QString name = QString::fromUtf8(folder);
            if (folder.contains('*') || folder.contains('?') || name.toUtf8() != folder)
                return nullptr;
            globs += QStringLiteral("<glob>%1</glob>").arg(name.toHtmlEscaped());
        }
        return configAfter(rules_, QStringLiteral("<selectfont><rejectfont>%1</rejectfont>"
                                                  "</selectfont>")
                                       .arg(globs));
    }

    // Visits the fonts read into config's application fonts whose files lie in the folder they
    // were read with (those of its subfolders, when they were read with it, come in their own
    // turn), and lets them go.
    static void visitRead(FcConfig* config, Batch& batch,
                          const std::function<void(const FcFontSet*)>& visit) {
        const FcFontSet* fonts = FcConfigGetFonts(config, FcSetApplication);
        const int count = fonts ? fonts->nfont : 0;
        std::vector<bool> own(count, true);
        bool allOwn = true;
        for (std::size_t k = 0; k < batch.size(); ++k) {
            const QByteArray& folder = batch[k].first;
            const int end = k + 1 < batch.size() ? batch[k + 1].second : count;
            for (int i = batch[k].second; i < end; ++i) {
                FcChar8* file = nullptr;
                if (FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) != FcResultMatch ||
                    !file)
                    continue;
                const QByteArrayView path(reinterpret_cast<const char*>(file));
                own[i] = path.startsWith(folder) && path.size() > folder.size() &&
                         path[folder.size()] == '/' &&
                         !path.sliced(folder.size() + 1).contains('/');
                allOwn = allOwn && own[i];
            }
        }
        if (count > 0 && allOwn) {
            visit(fonts);
        } else if (count > 0) {
            FcFontSet* mine = FcFontSetCreate();
            for (int i = 0; i < count; ++i) {
                if (own[i]) {
                    FcPatternReference(fonts->fonts[i]);
                    FcFontSetAdd(mine, fonts->fonts[i]);
                }
            }
            visit(mine);
            FcFontSetDestroy(mine);
        }
        FcConfigAppFontClear(config);
        batch.clear();
    }

    FcConfig* rules_ = nullptr;
    QList<Folder> folders_;
    QSet<QByteArray> known_;
    std::optional<NameRules> nameRules_;
    bool walked_ = false; // whether every folder is in the list
};

// Finds, in fontconfig's order, the faces that hold characters no face before them holds and no
// character in covered, which grows by theirs: plain faces first, then the others (see
// isPlainFace). Fed one set of fonts after another; keeps copies of the faces it may pick that
// own what they hold, so that no folder's cache is kept.
class AddingFaces {
public:
    explicit AddingFaces(FcCharSet* covered) : covered_(covered) {}
    ~AddingFaces() {
        for (const Candidate& face : faces_)
            FcPatternDestroy(face.font);
    }
    AddingFaces(const AddingFaces&) = delete;
    AddingFaces& operator=(const AddingFaces&) = delete;

    void feed(const FcFontSet* fonts) {
        // Fonts that hold the same characters share one set in fontconfig's cache: a set found
        // to add nothing is not compared again.
        QSet<const FcCharSet*> addingNothing;
        for (int i = 0; fonts && i < fonts->nfont; ++i) {
            FcPattern* font = fonts->fonts[i];
            FcCharSet* codes = nullptr;
            if (FcPatternGetCharSet(font, FC_CHARSET, 0, &codes) != FcResultMatch ||
                addingNothing.contains(codes))
                continue;
            if (FcCharSetIsSubset(codes, covered_)) {
                addingNothing.insert(codes);
            } else if (isPlainFace(font)) {
                FcCharSetMerge(covered_, codes, nullptr);
                faces_.push_back({detachedCopy(font), true});
            } else {
                faces_.push_back({detachedCopy(font), false});
            }
        }
    }

    // The faces fed so far that may add characters to a covered set that holds at least this
    // one's, in their order: the plain ones this one picked and every other face that held
    // characters this one did not when it came. Fed to another AddingFaces, whose covered set
    // holds more, they give the same faces as all the fonts fed to this one would: a face left
    // out here held only characters of this covered set and of the faces before it here, all of
    // which the other's covered set holds by the time that face comes.
    FcFontSet* candidates() const {
        FcFontSet* set = FcFontSetCreate();
        for (const Candidate& face : faces_) {
            FcPatternReference(face.font);
            FcFontSetAdd(set, face.font);
        }
        return set;
    }

    // The faces picked: the plain faces fed, then the others that still add characters. The
    // caller owns the patterns.
    std::vector<FcPattern*> take() {
        std::vector<FcPattern*> picked;
        for (Candidate& face : faces_) {
            if (face.plain)
                picked.push_back(std::exchange(face.font, nullptr));
        }
        for (Candidate& face : faces_) {
            if (!face.font)
                continue;
            FcCharSet* codes = nullptr;
            FcPatternGetCharSet(face.font, FC_CHARSET, 0, &codes);
            if (codes && !FcCharSetIsSubset(codes, covered_)) {
                FcCharSetMerge(covered_, codes, nullptr);
                picked.push_back(std::exchange(face.font, nullptr));
            } else {
                FcPatternDestroy(std::exchange(face.font, nullptr));
            }
        }
        faces_.clear();
        return picked;
    }

private:
    struct Candidate {
        FcPattern* font;
        bool plain;
    };
    FcCharSet* covered_;
    std::vector<Candidate> faces_;
};

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

    // Read in three steps: begin(), add() with each set of fonts in fontconfig's order, finish().
    void begin() {
        reading_ = std::make_unique<Reading>();
        reading_->disabled = disabledKeys();
    }
    void add(const FcFontSet* fonts) {
        for (int i = 0; fonts && i < fonts->nfont; ++i)
            add(fonts->fonts[i], *reading_);
    }
    void finish() {
        names.squeeze();
        fileNames.squeeze();
        faces.shrink_to_fit();
        reading_.reset();
    }

private:
    // What only the reading needs.
    struct Reading {
        // A family's place in names, by the hash of its first name: the table grows without
        // hashing a name again, as the number of fonts is not known before they are read.
        std::unordered_multimap<std::size_t, int> position;
        std::vector<int> chineseFits; // how well each family's Chinese name fits
        QSet<QString> disabled;       // the keys of the disabled families
    };
    std::unique_ptr<Reading> reading_;

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
        const std::size_t hash = qHash(family);
        int at = -1;
        for (auto [it, end] = reading.position.equal_range(hash); at < 0 && it != end; ++it)
            if (names[it->second].family == family)
                at = it->second;
        if (at < 0) {
            at = int(names.size());
            reading.position.emplace(hash, at);
            names.append({family, {}, {}});
            reading.chineseFits.push_back(0);
        }
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

void handNewFallbacksToToolkit(std::vector<FcPattern*> faces);

const FontTable& table() {
    if (!loadedTable()) {
        FontTable& fonts = loadedTable().emplace();
        std::optional<AddingFaces> adding;
        if (!fallbacksCurrent() && toolkitCharacters() && QGuiApplication::instance())
            adding.emplace(toolkitCharacters());
        fonts.begin();
        FolderByFolder().read([&](const FcFontSet* folder) {
            fonts.add(folder);
            if (adding)
                adding->feed(folder);
        });
        fonts.finish();
        if (adding)
            handNewFallbacksToToolkit(adding->take());
    }
    return *loadedTable();
}

// Which characters and languages each family covers, read from the character and language sets
// fontconfig keeps in its caches: no font file is opened. Read one font folder at a time, so that
// only that folder's cache is in memory.
FontCoverage readCoverage(FolderByFolder& folders) {
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
    folders.read([&](const FcFontSet* folder) {
        // The folder's faces family by family, so that a family's pages are merged once; a
        // family with faces in an earlier folder goes on from what those cover.
        QList<QString> names;
        std::vector<std::vector<FcPattern*>> faces;
        QHash<QString, int> position;
        for (int i = 0; i < folder->nfont; ++i) {
            const QString family = fcString(folder->fonts[i], FC_FAMILY);
            if (family.isEmpty())
                continue;
            auto found = position.constFind(family);
            if (found == position.constEnd()) {
                found = position.insert(family, int(names.size()));
                names.append(family);
                faces.emplace_back();
            }
            faces[*found].push_back(folder->fonts[i]);
        }
        for (qsizetype f = 0; f < names.size(); ++f) {
            builder.startFamily(names[f]);
            for (FcPattern* face : faces[f]) {
                FcCharSet* charset = nullptr;
                if (FcPatternGetCharSet(face, FC_CHARSET, 0, &charset) == FcResultMatch &&
                    charset) {
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
    });
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
        FolderByFolder folders;
        loadedCoverage() = std::make_shared<const FontCoverage>(readCoverage(folders));
    }
    return loadedCoverage();
}

void FontconfigFontSystem::rescan() {
    forgetTable();
}

namespace {

// A pattern as fontconfig completes it before matching, from its text form.
FcPattern* substituted(FcConfig* config, const char* text) {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(text));
    if (pattern) {
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
    }
    return pattern;
}

// The font of fonts fontconfig matches pattern to, copied; null when there is none.
FcPattern* bestOf(FcConfig* config, const FcFontSet* fonts, FcPattern* pattern) {
    FcResult result = FcResultNoMatch;
    FcFontSet* sets[] = {const_cast<FcFontSet*>(fonts)};
    FcPattern* match = FcFontSetMatch(config, sets, 1, pattern, &result);
    if (!match)
        return nullptr;
    FcChar8* file = nullptr;
    int index = 0;
    FcPatternGetString(match, FC_FILE, 0, &file);
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcPattern* best = nullptr;
    for (int i = 0; !best && file && i < fonts->nfont; ++i) {
        FcChar8* other = nullptr;
        int otherIndex = 0;
        FcPatternGetInteger(fonts->fonts[i], FC_INDEX, 0, &otherIndex);
        if (otherIndex == index &&
            FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &other) == FcResultMatch &&
            std::strcmp(reinterpret_cast<const char*>(file),
                        reinterpret_cast<const char*>(other)) == 0)
            best = detachedCopy(fonts->fonts[i]);
    }
    FcPatternDestroy(match);
    return best;
}

// What the start reads in one pass over the fonts, folder by folder: the font table, the faces
// fontconfig picks for the interface (as FcFontMatch over every font would: the best of each
// folder's best) and the faces the toolkit is shown.
struct StartReading {
    FontconfigFontSystem::InterfaceFaces faces;
    std::vector<FcPattern*> shown; // the toolkit's faces, owned
    FcCharSet* covered = nullptr;  // their characters

    StartReading(FolderByFolder& folders, FontTable& table) {
        FcConfig* rules = folders.rules();
        if (!rules)
            return;
        FcPattern* wanted[] = {substituted(rules, "sans-serif"),
                               substituted(rules, "sans-serif:lang=zh-cn")};
        FcFontSet* best[] = {FcFontSetCreate(), FcFontSetCreate()};
        // The faces adding characters to the private use area alone, kept so that those adding
        // characters to the interface faces' can be picked among them once these are known.
        FcCharSet* anyCovered = privateUseArea();
        std::optional<AddingFaces> adding(std::in_place, anyCovered);
        table.begin();
        folders.read([&](const FcFontSet* folder) {
            table.add(folder);
            for (int k = 0; k < 2; ++k)
                if (FcPattern* found = wanted[k] ? bestOf(rules, folder, wanted[k]) : nullptr)
                    FcFontSetAdd(best[k], found);
            adding->feed(folder);
        });
        table.finish();

        QString families[2];
        QSet<QByteArray> folderSet;
        for (int k = 0; k < 2; ++k) {
            if (FcPattern* found = wanted[k] ? bestOf(rules, best[k], wanted[k]) : nullptr) {
                // The name as fontconfig reports the match, in the pattern's language.
                if (FcPattern* match = FcFontRenderPrepare(rules, wanted[k], found)) {
                    families[k] = fcString(match, FC_FAMILY);
                    FcPatternDestroy(match);
                }
                FcChar8* file = nullptr;
                if (FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch && file)
                    folderSet.insert(parentFolder(reinterpret_cast<const char*>(file)));
                FcPatternDestroy(found);
            }
            FcFontSetDestroy(best[k]);
        }
        faces.latin = families[0];
        faces.chinese = families[1];

        // The interface families' faces, by their first names, from the folders that hold them.
        QList<QByteArray> names;
        for (const QString& family : families) {
            names.append(family.toUtf8());
            const int at = table.find(family);
            for (const FontTable::Face& face : table.faces)
                if (at >= 0 && face.family == at)
                    folderSet.insert(table.folders[face.folder].chopped(1));
        }
        covered = privateUseArea();
        FcPattern* chineseCovered = FcPatternCreate();
        FcPatternAddString(chineseCovered, FC_FAMILY,
                           reinterpret_cast<const FcChar8*>(names[1].constData()));
        FcLangSet* zh = FcLangSetCreate();
        FcLangSetAdd(zh, reinterpret_cast<const FcChar8*>("zh-cn"));
        FcPatternAddLangSet(chineseCovered, FC_LANG, zh);
        FcLangSetDestroy(zh);
        FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
        folders.read(
            [&](const FcFontSet* folder) {
                for (int i = 0; i < folder->nfont; ++i) {
                    FcChar8* family = nullptr;
                    if (FcPatternGetString(folder->fonts[i], FC_FAMILY, 0, &family) !=
                            FcResultMatch ||
                        !names.contains(QByteArrayView(reinterpret_cast<const char*>(family))))
                        continue;
                    shown.push_back(detachedCopy(folder->fonts[i]));
                    FcCharSet* codes = nullptr;
                    if (FcPatternGetCharSet(folder->fonts[i], FC_CHARSET, 0, &codes) ==
                        FcResultMatch)
                        FcCharSetMerge(covered, codes, nullptr);
                }
                if (!faces.chinese.isEmpty() && !faces.chineseCovered) {
                    FcFontSet* sets[] = {const_cast<FcFontSet*>(folder)};
                    FcFontSet* listed = FcFontSetList(rules, sets, 1, chineseCovered, objects);
                    faces.chineseCovered = listed && listed->nfont > 0;
                    if (listed)
                        FcFontSetDestroy(listed);
                }
            },
            &folderSet);
        FcObjectSetDestroy(objects);
        FcPatternDestroy(chineseCovered);
        for (FcPattern* pattern : wanted)
            if (pattern)
                FcPatternDestroy(pattern);

        // Among the faces adding characters to the private use area, those adding characters
        // to the interface faces' too, in the order the same search over every font gives.
        FcFontSet* candidates = adding->candidates();
        adding.reset();
        FcCharSetDestroy(anyCovered);
        AddingFaces toInterface(covered);
        toInterface.feed(candidates);
        FcFontSetDestroy(candidates);
        for (FcPattern* font : toInterface.take())
            shown.push_back(font);
    }
    ~StartReading() {
        for (FcPattern* font : shown)
            FcPatternDestroy(font);
        if (covered)
            FcCharSetDestroy(covered);
    }
    StartReading(const StartReading&) = delete;
    StartReading& operator=(const StartReading&) = delete;
};

std::optional<FontconfigFontSystem::InterfaceFaces>& knownInterfaceFaces() {
    static std::optional<FontconfigFontSystem::InterfaceFaces> faces;
    return faces;
}

// Makes current a configuration with the same rules as the full one (aliases, rendering
// settings, cache folders) and no font folders, holding, as fontconfig has already read them
// instead of reading their files again, the faces the start picked: the interface faces and the
// faces the toolkit needs besides to draw every character some installed font holds, so that
// text in a script the interface faces lack (file names, family names, notices) still finds its
// face.
bool showToolkitOnly(FcConfig* rules, StartReading& reading) {
    FcConfig* small = configAfter(rules, QStringLiteral("<reset-dirs/>"));
    if (small && !FcConfigBuildFonts(small)) {
        FcConfigDestroy(small);
        small = nullptr;
    }
    if (!small)
        return false;
    FcFontSet* shown = FcConfigGetFonts(small, FcSetSystem);
    for (FcPattern*& font : reading.shown)
        if (shown && FcFontSetAdd(shown, font))
            font = nullptr;
    std::erase(reading.shown, nullptr);
    // The current configuration keeps its own reference.
    const bool shownOnly = FcConfigSetCurrent(small);
    FcConfigDestroy(small);
    if (shownOnly) {
        toolkitCharacters() = std::exchange(reading.covered, nullptr);
        fallbacksCurrent() = true;
    }
    return shownOnly;
}

} // namespace

FontconfigFontSystem::InterfaceFaces FontconfigFontSystem::interfaceFaces() {
    if (!knownInterfaceFaces()) {
        FolderByFolder folders;
        FontTable table;
        knownInterfaceFaces() = StartReading(folders, table).faces;
    }
    return *knownInterfaceFaces();
}

void FontconfigFontSystem::showToolkitOnlyInterfaceFaces(Start start) {
    FolderByFolder folders;
    // The table is read in the same pass, and kept when listing fonts: read now, while the
    // process is small, no folder's cache is in memory when the windows grow.
    FontTable table;
    StartReading reading(folders, table);
    knownInterfaceFaces() = reading.faces;
    // The faces the interface and the preview's fallbacks draw with (see applyInterfaceFonts).
    const QSet<QString> families{reading.faces.latin, reading.faces.chinese};
    if (showToolkitOnly(folders.rules(), reading))
        toolkitFamilies() = families;
    if (start == Start::ListingFonts)
        loadedTable() = std::move(table);
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
void handNewFallbacksToToolkit(std::vector<FcPattern*> faces) {
    for (FcPattern* font : faces) {
        const QString file = fcString(font, FC_FILE);
        FcPatternDestroy(font);
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
