#include "platform/FontconfigFontSystem.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <fontconfig/fontconfig.h>

namespace {

QString fcString(FcPattern* pattern, const char* object, int index = 0) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, index, &value) != FcResultMatch || !value)
        return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(value));
}

} // namespace

QStringList FontconfigFontSystem::families() {
    FcInit();
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
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

QStringList FontconfigFontSystem::familyFiles(const QString& family) {
    FcInit();
    FcPattern* pattern = FcPatternCreate();
    const QByteArray name = family.toUtf8();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.constData()));
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FILE, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
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

void FontconfigFontSystem::rescan() {
    // FcInitBringUptoDate() does not rescan within fontconfig's rescan interval; a new
    // configuration does.
    FcInitReinitialize();
    registerUnknownFamiliesWithQt(families());
}

void FontconfigFontSystem::registerUnknownFamiliesWithQt(const QStringList& families) {
    const QStringList known = QFontDatabase::families();
    const QSet<QString> knownSet(known.begin(), known.end());
    for (const QString& family : families) {
        if (knownSet.contains(family))
            continue;
        for (const QString& file : familyFiles(family))
            QFontDatabase::addApplicationFont(file);
    }
}

QString FontconfigFontSystem::familyOfFile(const QString& path) {
    const QByteArray file = QFile::encodeName(path);
    int count = 0;
    FcPattern* pattern = FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(file.constData()), 0,
                                         nullptr, &count);
    if (!pattern)
        return {};
    const QString family = fcString(pattern, FC_FAMILY);
    FcPatternDestroy(pattern);
    return family;
}

FontSystem::Result FontconfigFontSystem::installFile(const QString& path) {
    Q_UNUSED(path);
    return Result::Failed;
}

FontSystem::Result FontconfigFontSystem::removeFamily(const QString& family) {
    Q_UNUSED(family);
    return Result::Failed;
}

QString FontconfigFontSystem::userFontsFolder() {
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty() || !QDir::isAbsolutePath(dataHome))
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(dataHome + QStringLiteral("/fonts"));
}

QString FontconfigFontSystem::matchFamily(const QString& patternText) {
    FcInit();
    const QByteArray text = patternText.toUtf8();
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(text.constData()));
    if (!pattern)
        return {};
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    QString family;
    if (match) {
        family = fcString(match, FC_FAMILY);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return family;
}
