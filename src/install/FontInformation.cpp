#include "install/FontInformation.h"

#include <QFileInfo>

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

} // namespace fontinfo
