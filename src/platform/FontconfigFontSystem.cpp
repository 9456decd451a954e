#include "platform/FontconfigFontSystem.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHash>
#include <algorithm>
#include <fontconfig/fontconfig.h>
#include <optional>

namespace {

QString fcString(FcPattern* pattern, const char* object, int index = 0) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, index, &value) != FcResultMatch || !value)
        return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(value));
}

// The full font table, this program's own: fontconfig's current configuration may be the small
// one the toolkit sees (showToolkitOnlyInterfaceFaces), so every call here names this one.
FcConfig*& fullConfig() {
    static FcConfig* config = nullptr;
    return config;
}

FcConfig* config() {
    if (!fullConfig())
        fullConfig() = FcInitLoadConfigAndFonts();
    return fullConfig();
}

// Families the toolkit can draw in their own faces since this program handed their files to it;
// emptied whenever the installed fonts may have changed.
QSet<QString>& drawableFamilies() {
    static QSet<QString> families;
    return families;
}

// Reads the configuration and the font folders again, so that fonts added or removed since are
// seen; fontconfig's own up-to-date check waits for its rescan interval (30 s). A family may
// have gained or lost faces, so each is handed to the toolkit afresh when next drawn.
void reloadConfig() {
    if (FcConfig* fresh = FcInitLoadConfigAndFonts()) {
        if (fullConfig())
            FcConfigDestroy(fullConfig());
        fullConfig() = fresh;
    }
    drawableFamilies().clear();
}

// The families the toolkit was shown at start, when it was shown only the interface faces.
std::optional<QSet<QString>>& toolkitFamilies() {
    static std::optional<QSet<QString>> families;
    return families;
}

} // namespace

QStringList FontconfigFontSystem::families() {
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* set = FcFontList(config(), pattern, objects);
    QStringList result;
    if (set) {
        QSet<QString> seen;
        seen.reserve(set->nfont);
        result.reserve(set->nfont);
        for (int i = 0; i < set->nfont; ++i) {
            const QString family = fcString(set->fonts[i], FC_FAMILY);
            if (family.isEmpty() || seen.contains(family))
                continue;
            seen.insert(family);
            result.append(family);
        }
        FcFontSetDestroy(set);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return result;
}

namespace {

// How well a family language of fontconfig ("zh-cn") fits Chinese readers: mainland
// Simplified Chinese first, then Chinese without a region, then Taiwan and Hong Kong. 0 for
// any other language.
int chineseFit(const QString& language) {
    static const QStringList preferred{QStringLiteral("zh-cn"), QStringLiteral("zh"),
                                       QStringLiteral("zh-tw"), QStringLiteral("zh-hk")};
    const int index = preferred.indexOf(language.toLower());
    return index < 0 ? 0 : int(preferred.size()) - index;
}

bool isEnglish(const QString& language) {
    return language.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0 ||
           language.startsWith(QLatin1String("en-"), Qt::CaseInsensitive);
}

} // namespace

QList<FontSystem::FamilyNames> FontconfigFontSystem::familyNames() {
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FAMILYLANG, nullptr);
    FcFontSet* set = FcFontList(config(), pattern, objects);
    QList<FamilyNames> result;
    if (set) {
        // Styles of one family come as several fonts; the first gives the position, any of
        // them may carry the Chinese name.
        QHash<QString, qsizetype> position;
        QList<int> fit;
        position.reserve(set->nfont);
        result.reserve(set->nfont);
        for (int i = 0; i < set->nfont; ++i) {
            FcPattern* font = set->fonts[i];
            const QString family = fcString(font, FC_FAMILY);
            if (family.isEmpty())
                continue;
            auto found = position.constFind(family);
            if (found == position.constEnd()) {
                found = position.insert(family, result.size());
                result.append({family, {}, {}});
                fit.append(0);
            }
            FamilyNames& names = result[*found];
            for (int k = 0;; ++k) {
                FcChar8* value = nullptr;
                if (FcPatternGetString(font, FC_FAMILY, k, &value) != FcResultMatch || !value)
                    break;
                const QString language = fcString(font, FC_FAMILYLANG, k);
                const int chinese = chineseFit(language);
                if (chinese > fit[*found]) {
                    fit[*found] = chinese;
                    names.chinese = QString::fromUtf8(reinterpret_cast<const char*>(value));
                } else if (names.english.isEmpty() && isEnglish(language)) {
                    names.english = QString::fromUtf8(reinterpret_cast<const char*>(value));
                }
            }
        }
        FcFontSetDestroy(set);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return result;
}

QStringList FontconfigFontSystem::familyFiles(const QString& family) {
    FcPattern* pattern = FcPatternCreate();
    const QByteArray name = family.toUtf8();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.constData()));
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FILE, nullptr);
    FcFontSet* set = FcFontList(config(), pattern, objects);
    QStringList files;
    if (set) {
        // A family listed under its first name owns the file; others only mention it.
        for (int i = 0; i < set->nfont; ++i) {
            if (fcString(set->fonts[i], FC_FAMILY) != family)
                continue;
            const QString file = fcString(set->fonts[i], FC_FILE);
            if (!file.isEmpty() && !files.contains(file))
                files.append(file);
        }
        FcFontSetDestroy(set);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return files;
}

QStringList FontconfigFontSystem::familiesRemovedWith(const QString& family) {
    QStringList result{family};
    for (const QString& file : familyFiles(family)) {
        FcPattern* pattern = FcPatternCreate();
        const QByteArray name = QFile::encodeName(file);
        FcPatternAddString(pattern, FC_FILE, reinterpret_cast<const FcChar8*>(name.constData()));
        FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_INDEX, nullptr);
        if (FcFontSet* set = FcFontList(config(), pattern, objects)) {
            // By their first family name, as the font list shows them, in the file's order.
            QList<std::pair<int, QString>> faces;
            for (int i = 0; i < set->nfont; ++i) {
                int index = 0;
                FcPatternGetInteger(set->fonts[i], FC_INDEX, 0, &index);
                faces.append({index, fcString(set->fonts[i], FC_FAMILY)});
            }
            std::sort(faces.begin(), faces.end());
            for (const auto& [index, other] : faces)
                if (!other.isEmpty() && !result.contains(other))
                    result.append(other);
            FcFontSetDestroy(set);
        }
        FcObjectSetDestroy(objects);
        FcPatternDestroy(pattern);
    }
    return result;
}

void FontconfigFontSystem::rescan() {
    reloadConfig();
}

void FontconfigFontSystem::showToolkitOnlyInterfaceFaces() {
    FcConfig* full = config();
    if (!full)
        return;
    // The same rules as the full configuration (aliases, rendering settings, cache folders),
    // without its font folders; the interface faces are then taken from the full table as
    // fontconfig has already read them, instead of reading their files again.
    // Asked of the full configuration: without one, fontconfig would load its default
    // configuration, fonts and all, only to answer.
    FcChar8* mainFile = FcConfigGetFilename(full, nullptr);
    if (!mainFile)
        return;
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
        return;
    }
    // The faces the interface and the preview's fallbacks draw with (see applyInterfaceFonts).
    const QSet<QString> interfaceFamilies{matchFamily(QStringLiteral("sans-serif")),
                                          matchFamily(QStringLiteral("sans-serif:lang=zh-cn"))};
    FcFontSet* shown = FcConfigGetFonts(small, FcSetSystem);
    const FcFontSet* all = FcConfigGetFonts(full, FcSetSystem);
    for (int i = 0; shown && all && i < all->nfont; ++i) {
        const QString family = fcString(all->fonts[i], FC_FAMILY);
        if (!family.isEmpty() && interfaceFamilies.contains(family))
            FcFontSetAdd(shown, FcPatternDuplicate(all->fonts[i]));
    }
    // The current configuration keeps its own reference.
    if (FcConfigSetCurrent(small))
        toolkitFamilies() = interfaceFamilies;
    FcConfigDestroy(small);
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

    reloadConfig();
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
    for (const QString& file : files) {
        // Into the trash, not erased, so a mistaken delete can be undone from the file manager;
        // a link goes there itself and leaves the file it points to alone.
        if (!QFile::moveToTrash(file) && (QFileInfo(file).exists() || QFileInfo(file).isSymLink()))
            allRemoved = false;
        const auto id = qtFontIds().constFind(file);
        if (id != qtFontIds().constEnd()) {
            QFontDatabase::removeApplicationFont(*id);
            qtFontIds().erase(id);
        }
    }
    reloadConfig();
    return allRemoved ? Result::Done : Result::Failed;
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
