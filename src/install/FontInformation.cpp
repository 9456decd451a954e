#include "install/FontInformation.h"

#include "i18n/LanguageNames.h"

#include <QCollator>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <algorithm>

namespace fontinfo {

QString text(bool chinese, const QString& fontName, const QString& folder) {
    const QStringList lines = chinese ? QStringList{QStringLiteral("字体名称：") + fontName,
                                                    QStringLiteral("字体路径：") + folder,
                                                    QStringLiteral("扩展名：未知的扩展名"),
                                                    QStringLiteral("字体文件大小：未知的大小")}
                                      : QStringList{QStringLiteral("Font Name：") + fontName,
                                                    QStringLiteral("Font URL：") + folder,
                                                    QStringLiteral("Extend Name：Unknown"),
                                                    QStringLiteral("Font Files Size：Unknown")};
    return lines.join(QStringLiteral("\r\n"));
}

QString title(bool chinese) {
    return chinese ? QStringLiteral("字体信息") : QStringLiteral("Font Information");
}

QString folderOf(const QStringList& familyFiles, const QString& fallback) {
    if (familyFiles.isEmpty())
        return fallback;
    return QFileInfo(familyFiles.first()).absolutePath();
}

namespace {

QString scriptName(bool chinese, const QString& english) {
    if (!chinese)
        return english;
    static const QHash<QString, QString> names{
        {QStringLiteral("Latin"), QStringLiteral("拉丁文")},
        {QStringLiteral("Greek"), QStringLiteral("希腊文")},
        {QStringLiteral("Cyrillic"), QStringLiteral("西里尔文")},
        {QStringLiteral("Armenian"), QStringLiteral("亚美尼亚文")},
        {QStringLiteral("Hebrew"), QStringLiteral("希伯来文")},
        {QStringLiteral("Arabic"), QStringLiteral("阿拉伯文")},
        {QStringLiteral("Devanagari"), QStringLiteral("天城文")},
        {QStringLiteral("Bengali"), QStringLiteral("孟加拉文")},
        {QStringLiteral("Tamil"), QStringLiteral("泰米尔文")},
        {QStringLiteral("Thai"), QStringLiteral("泰文")},
        {QStringLiteral("Georgian"), QStringLiteral("格鲁吉亚文")},
        {QStringLiteral("Ethiopic"), QStringLiteral("埃塞俄比亚文")},
        {QStringLiteral("Hiragana"), QStringLiteral("平假名")},
        {QStringLiteral("Katakana"), QStringLiteral("片假名")},
        {QStringLiteral("Han"), QStringLiteral("汉字")},
        {QStringLiteral("Hangul"), QStringLiteral("韩文")}};
    return names.value(english, english);
}

} // namespace

QString details(bool chinese, const QList<FontSystem::FileDetails>& files) {
    const QString unknown = chinese ? QStringLiteral("未知") : QStringLiteral("Unknown");
    const QString listSeparator = chinese ? QStringLiteral("、") : QStringLiteral(", ");
    const auto orUnknown = [&](const QString& value) { return value.isEmpty() ? unknown : value; };
    QStringList blocks;
    for (const FontSystem::FileDetails& file : files) {
        QStringList scripts;
        for (const QString& script : file.scripts)
            scripts.append(scriptName(chinese, script));
        const QStringList values{
            file.path, orUnknown(file.format), orUnknown(file.styles.join(QStringLiteral(", "))),
            orUnknown(file.version), orUnknown(file.designer),
            // One line, however many paragraphs the file gives it.
            orUnknown(file.licence.simplified()), orUnknown(scripts.join(listSeparator))};
        const QStringList labels =
            chinese ? QStringList{QStringLiteral("文件："),   QStringLiteral("格式："),
                                  QStringLiteral("样式："),   QStringLiteral("版本："),
                                  QStringLiteral("设计者："), QStringLiteral("许可："),
                                  QStringLiteral("文字：")}
                    : QStringList{QStringLiteral("File: "),     QStringLiteral("Format: "),
                                  QStringLiteral("Styles: "),   QStringLiteral("Version: "),
                                  QStringLiteral("Designer: "), QStringLiteral("Licence: "),
                                  QStringLiteral("Scripts: ")};
        QStringList lines;
        for (int i = 0; i < labels.size(); ++i)
            lines.append(labels[i] + values[i]);
        blocks.append(lines.join(QLatin1Char('\n')));
    }
    return blocks.join(QStringLiteral("\n\n"));
}

QString coverageDetails(bool chinese, const FontCoverage& coverage, const QString& family,
                        const QString& previewText) {
    const int at = coverage.familyIndex(family);
    if (at < 0)
        return {};
    QStringList names;
    for (const QString& code : coverage.languagesOf(at))
        names.append(lang::languageName(code, chinese));
    QCollator collator(chinese ? QLocale(QLocale::Chinese, QLocale::China)
                               : QLocale(QLocale::English, QLocale::UnitedStates));
    std::sort(names.begin(), names.end(),
              [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    QStringList lines;
    if (chinese)
        lines.append(QStringLiteral("支持的语言：") +
                     (names.isEmpty() ? QStringLiteral("无") : names.join(QStringLiteral("、"))));
    else
        lines.append(QStringLiteral("Languages: ") +
                     (names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", "))));

    QStringList missing;
    for (char32_t c : FontCoverage::charactersOf(previewText))
        if (!coverage.hasCharacter(at, c))
            missing.append(QString::fromUcs4(&c, 1));
    if (missing.isEmpty())
        return lines.join(QLatin1Char('\n'));
    const qsizetype count = missing.size();
    QString shown = missing.mid(0, 20).join(QLatin1Char(' '));
    if (count > 20)
        shown += QStringLiteral(" …");
    if (chinese)
        lines.append(QStringLiteral("缺少预览文字中的 %1 个字符：").arg(count) + shown);
    else
        lines.append(
            (count == 1 ? QStringLiteral("Lacks 1 character of the preview text: ")
                        : QStringLiteral("Lacks %1 characters of the preview text: ").arg(count)) +
            shown);
    return lines.join(QLatin1Char('\n'));
}

} // namespace fontinfo
