#include "platform/DisabledFontsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QXmlStreamReader>

namespace disabledfonts {
namespace {

// Far beyond any real list of disabled families; a larger file is not this program's.
constexpr qint64 largestRuleFile = 4 * 1024 * 1024;

QString escaped(const QString& name) {
    QString text = name.toHtmlEscaped(); // & < > "
    text.replace(QLatin1Char('\''), QStringLiteral("&apos;"));
    return text;
}

// XML 1.0 has no way to write most control characters, so fontconfig could not read a rule
// naming them.
bool representable(const QString& name) {
    for (const QChar c : name)
        if (c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n') &&
            c != QLatin1Char('\r'))
            return false;
    return !name.trimmed().isEmpty();
}

} // namespace

QString rulePath() {
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty() || !QDir::isAbsolutePath(configHome))
        configHome = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(configHome +
                           QStringLiteral("/fontconfig/conf.d/80-vlfonts-disabled.conf"));
}

std::optional<QStringList> read(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink())
        return std::nullopt;
    if (!info.exists())
        return QStringList();
    if (!info.isFile() || info.size() > largestRuleFile)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QXmlStreamReader xml(&file);
    QStringList families;
    // The names are the <string>s of family <patelt>s inside <rejectfont>, as ruleText writes them.
    int rejectDepth = 0;
    bool inFamily = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("rejectfont"))
                ++rejectDepth;
            else if (xml.name() == QLatin1String("patelt"))
                inFamily = rejectDepth > 0 &&
                           xml.attributes().value(QLatin1String("name")) == QLatin1String("family");
            else if (xml.name() == QLatin1String("string") && inFamily) {
                const QString name = xml.readElementText();
                if (!name.isEmpty() && !families.contains(name))
                    families.append(name);
            }
        } else if (xml.isEndElement()) {
            if (xml.name() == QLatin1String("rejectfont"))
                --rejectDepth;
            else if (xml.name() == QLatin1String("patelt"))
                inFamily = false;
        }
    }
    if (xml.hasError())
        return std::nullopt;
    return families;
}

QByteArray ruleText(const QStringList& families) {
    QString text = QStringLiteral(
        "<?xml version=\"1.0\"?>\n"
        "<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
        "<!-- Written by VLFonts: the families disabled in its font list. Enable them again in\n"
        "     VLFonts (\"Disabled Fonts...\"), or delete this file, and restart the programs. -->\n"
        "<fontconfig>\n  <selectfont>\n    <rejectfont>\n");
    for (const QString& family : families)
        text += QStringLiteral("      <pattern><patelt name=\"family\"><string>") +
                escaped(family) + QStringLiteral("</string></patelt></pattern>\n");
    text += QStringLiteral("    </rejectfont>\n  </selectfont>\n</fontconfig>\n");
    return text.toUtf8();
}

Written write(const QString& path, const QStringList& families) {
    for (const QString& family : families)
        if (!representable(family))
            return Written::Unrepresentable;
    const QFileInfo info(path);
    if (info.isSymLink())
        return Written::Link;
    if (info.exists() && !info.isFile())
        return Written::NotAFile;
    if (families.isEmpty())
        return !info.exists() || QFile::remove(path) ? Written::Done : Written::NotWritable;
    if (!QDir().mkpath(info.absolutePath()))
        return Written::NotWritable;
    QSaveFile file(path);
    // Never written in place, even where no temporary file can be made beside it.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return Written::NotWritable;
    const QByteArray text = ruleText(families);
    if (file.write(text) != text.size()) {
        file.cancelWriting();
        return Written::NotWritable;
    }
    return file.commit() ? Written::Done : Written::NotWritable;
}

QString familyKey(const QString& family) {
    QString key = family.toCaseFolded();
    key.remove(QLatin1Char(' '));
    return key;
}

} // namespace disabledfonts
