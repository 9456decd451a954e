#include "app/InterfaceFonts.h"

#include "catalogue/PreviewText.h"
#include "platform/FontconfigFontSystem.h"

#include <QApplication>
#include <QFont>

void applyInterfaceFonts() {
    const QString latin = FontconfigFontSystem::matchFamily(QStringLiteral("sans-serif"));
    const QString chinese =
        FontconfigFontSystem::matchFamily(QStringLiteral("sans-serif:lang=zh-cn"));
    const bool chineseCovered = !chinese.isEmpty() && FontconfigFontSystem::familyHasLanguage(
                                                          chinese, QStringLiteral("zh-cn"));
    const QString interface = chineseCovered ? chinese : latin;
    if (!interface.isEmpty())
        QApplication::setFont(QFont(interface, 9));
    PreviewText::setFallbackFamilies(chineseCovered ? chinese : QString(), latin);
}
