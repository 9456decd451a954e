#include "app/InterfaceFonts.h"
#include "app/SingleInstance.h"
#include "app/frmfont.h"
#include "app/settings/ProgramFolder.h"
#include "platform/DesktopPlatform.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vlfonts"));
    // No display name: Qt would append it to every title the desktop shows, and the windows
    // carry their own captions.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/vlfonts.svg")));
    QApplication::setQuitOnLastWindowClosed(false);

    applyInterfaceFonts();

    DesktopPlatform desktop;
    SingleInstance instance(programfolder::path());
    frmfont window(desktop.platform(), programfolder::path());
    window.anotherInstanceRunning = [&instance] { return instance.anotherIsRunning(); };
    if (!window.Form_Load())
        return 0;
    window.show();
    return app.exec();
}
