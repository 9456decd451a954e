#include "app/HandedFiles.h"
#include "app/InterfaceFonts.h"
#include "app/SingleInstance.h"
#include "app/frmfont.h"
#include "app/settings/ProgramFolder.h"
#include "i18n/QtTranslations.h"
#include "platform/DesktopPlatform.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    FontconfigFontSystem::showToolkitOnlyInterfaceFaces();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vlfonts"));
    // No display name: Qt would append it to every title the desktop shows, and the windows
    // carry their own captions.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/vlfonts.svg")));
    QApplication::setQuitOnLastWindowClosed(false);

    // "vlfonts FILE..." (Open with, in a file manager): an instance already running takes the
    // files and this one ends quietly; without a file, the designed refusal stays.
    const QStringList files = SingleInstance::fileArguments(QApplication::arguments());
    SingleInstance instance(programfolder::path());
    if (!files.isEmpty() && instance.anotherIsRunning() && instance.handOver(files))
        return 0;

    applyInterfaceFonts();
    // The interface is Chinese until the stored language says otherwise, the refusal of a
    // second instance included.
    lang::useQtTranslations(true);

    DesktopPlatform desktop;
    frmfont window(desktop.platform(), programfolder::path());
    // The files of the command line, then those handed over from the moment this instance
    // listens (its start-up message may still be open), each when the window can take them.
    HandedFiles handed([&window](const QStringList& paths) { window.installFromArguments(paths); });
    QObject::connect(&instance, &SingleInstance::filesHandedOver, &handed, &HandedFiles::add);
    if (!files.isEmpty())
        handed.add(files);
    window.anotherInstanceRunning = [&instance] { return instance.anotherIsRunning(); };
    if (!window.Form_Load())
        return 0;
    window.show();
    handed.open();
    return app.exec();
}
