#include "app/InterfaceFonts.h"

#include "catalogue/PreviewText.h"
#include "platform/FontconfigFontSystem.h"

#include <QApplication>
#include <QFont>

void applyInterfaceFonts() {
    const FontconfigFontSystem::InterfaceFaces faces = FontconfigFontSystem::interfaceFaces();
    const QString interface = faces.chineseCovered ? faces.chinese : faces.latin;
    if (!interface.isEmpty())
        QApplication::setFont(QFont(interface, 9));
    PreviewText::setFallbackFamilies(faces.chineseCovered ? faces.chinese : QString(), faces.latin);
}
