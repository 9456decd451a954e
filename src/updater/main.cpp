// vlupdate: downloads the new build named by ../update.ini and starts it. It runs only when
// vlfonts has just handed over to it through ../config.ini [Update] start = 1.
#include "app/settings/ProgramFolder.h"
#include "platform/DesktopShell.h"
#include "platform/FontconfigFontSystem.h"
#include "platform/QtDialogs.h"
#include "updater/AutoAnswerDialogs.h"
#include "updater/frmupdate.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <memory>

int main(int argc, char* argv[]) {
    // A progress window needs the interface faces only, not a table of every installed font.
    FontconfigFontSystem::showToolkitOnlyInterfaceFaces(FontconfigFontSystem::Start::InterfaceOnly);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    // VLUPDATE_AUTO_ANSWER=1: unattended mode for scripts and tests. Messages are printed
    // as "title|text" and answered at once, "完成" is pressed as soon as it is enabled, and
    // the final label and bar are printed when the program ends.
    const bool unattended = qEnvironmentVariable("VLUPDATE_AUTO_ANSWER") == QLatin1String("1");
    std::unique_ptr<Dialogs> dialogs;
    if (unattended)
        dialogs = std::make_unique<AutoAnswerDialogs>();
    else
        dialogs = std::make_unique<QtDialogs>();
    DesktopShell shell;

    frmupdate w(*dialogs, shell, programfolder::path());
    // VLUPDATE_TIMEOUT_MS: how long a transfer may move no data before it counts as failed.
    bool timeoutSet = false;
    const int timeoutMs = qEnvironmentVariableIntValue("VLUPDATE_TIMEOUT_MS", &timeoutSet);
    if (timeoutSet && timeoutMs > 0)
        w.Inet1->setTransferTimeout(timeoutMs);

    w.endProgram = [&w, unattended] {
        if (unattended) {
            AutoAnswerDialogs::print(QStringLiteral("lblProgressInfo|") +
                                     w.lblProgressInfo->text());
            AutoAnswerDialogs::print(
                QStringLiteral("ProgressBar1|%1").arg(w.ProgressBar1->value()));
        }
        // Queued, so that it also works before the event loop runs.
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    };
    if (unattended)
        QObject::connect(&w, &frmupdate::downloadFinished, w.Command1, &QPushButton::click,
                         Qt::QueuedConnection);

    w.Form_Load();
    if (w.hasEnded())
        return 0;
    w.show();
    return app.exec();
}
