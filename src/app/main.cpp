#include "app/SingleInstance.h"
#include "app/frmfont.h"
#include "app/settings/ProgramFolder.h"
#include "catalogue/PreviewText.h"
#include "platform/DesktopPlatform.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vlfonts"));
    QApplication::setApplicationDisplayName(QStringLiteral("VLFonts"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/vlfonts.svg")));
    QApplication::setQuitOnLastWindowClosed(false);

    // Without a desktop theme the interface font is an alias whose resolution walks every
    // installed font; a real family found once avoids that.
    const QString interfaceFamily = FontconfigFontSystem::matchFamily(QStringLiteral("sans-serif"));
    if (!interfaceFamily.isEmpty())
        QApplication::setFont(QFont(interfaceFamily, 9));
    PreviewText::setFallbackFamilies(
        FontconfigFontSystem::matchFamily(QStringLiteral("sans-serif:lang=zh-cn")),
        interfaceFamily);

    DesktopPlatform desktop;
    SingleInstance instance(programfolder::path());
    frmfont window(desktop.platform(), programfolder::path());
    window.anotherInstanceRunning = [&instance] { return instance.anotherIsRunning(); };
    if (!window.Form_Load())
        return 0;
    window.show();
    return app.exec();
}
