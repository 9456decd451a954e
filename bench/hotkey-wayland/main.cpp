// Ctrl+Alt+F to the main window shown and active, through the real Wayland stack: the key
// pressed on the outer X server, KWin's shortcut daemon, the desktop portal and its KDE back
// end, vlfonts as a Wayland client, and KWin reporting the activation. Goal: within 100 ms.
// Prints, per press, the time to the portal's Activated signal and to the activation.
#include "../common/BenchSetup.h"
#include "TestEnvironment.h"
#include "WaylandDesktop.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {
const QString mainCaption = QStringLiteral("Vorlan字体管理");
const QString witnessCaption = QStringLiteral("vl-key-witness");

class ActivatedClock final : public QObject {
    Q_OBJECT
public:
    qint64 at = -1;
    QElapsedTimer* clock = nullptr;
public slots:
    void onActivated(const QDBusMessage&) { at = clock->nsecsElapsed(); }
};

// Waits by blocking for events rather than polling, so a time is taken as an event arrives.
template <typename Done> bool waitUntil(Done done, int milliseconds) {
    QTimer tick; // bounds each wait
    tick.start(2);
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

} // namespace

int main(int argc, char** argv) {
    testenv::setUp();
    QApplication app(argc, argv);
    const int presses = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    WaylandDesktop desktop;
    const QString why = desktop.start();
    if (!why.isEmpty()) {
        std::fprintf(stderr, "no Wayland desktop: %s\n", qPrintable(why));
        return 1;
    }
    const QString folder = testenv::newProgramFolder();
    QFile::copy(testenv::binFolder() + QStringLiteral("/vlfonts"),
                folder + QStringLiteral("/vlfonts"));
    QProcessEnvironment environment = desktop.clientEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    desktop.launch(folder + QStringLiteral("/vlfonts"), {}, environment);
    if (!desktop.waitForActive(mainCaption, 30000) ||
        !desktop.waitForShortcutComponent(QStringLiteral("vlfonts_hotkey"), 20000)) {
        std::fprintf(stderr, "vlfonts did not start or bind its key\n");
        return 1;
    }
    desktop.launch(QStringLiteral(VL_BUILD_DIR "/tests/vl_keywitness"), {}, environment);
    if (!desktop.waitForActive(witnessCaption, 30000)) {
        std::fprintf(stderr, "the other window did not start\n");
        return 1;
    }

    QElapsedTimer clock;
    ActivatedClock signal;
    signal.clock = &clock;
    QDBusConnection::sessionBus().connect(
        QString(), QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.GlobalShortcuts"), QStringLiteral("Activated"),
        &signal, SLOT(onActivated(QDBusMessage)));
    desktop.press(QStringLiteral("shift")); // focuses KWin's window on the outer server
    std::vector<double> toSignal, toShown;
    for (int i = 0; i < presses; ++i) {
        desktop.activate(witnessCaption);
        if (!desktop.waitForActive(witnessCaption, 5000))
            continue;
        QTest::qWait(200);
        signal.at = -1;
        clock.start();
        QProcess::execute(QStringLiteral("xdotool"),
                          {QStringLiteral("key"), QStringLiteral("ctrl+alt+f")});
        if (!waitUntil([&] { return desktop.activeCaption() == mainCaption; }, 5000)) {
            std::printf("press %d: the main window was not activated\n", i + 1);
            continue;
        }
        const double shown = clock.nsecsElapsed() / 1e6;
        QTest::qWait(50);
        const double portal = signal.at < 0 ? -1 : signal.at / 1e6;
        std::printf("press %d: portal signal %.1f ms, main window active %.1f ms\n", i + 1, portal,
                    shown);
        toSignal.push_back(portal);
        toShown.push_back(shown);
    }
    QFile load(QStringLiteral("/proc/loadavg"));
    load.open(QIODevice::ReadOnly);
    std::printf("median of %zu: portal signal %.1f ms, main window active %.1f ms (goal 100 ms); "
                "load %s\n",
                toShown.size(), bench::median(toSignal), bench::median(toShown),
                load.readAll().trimmed().constData());
    return toShown.empty() ? 1 : 0;
}

#include "main.moc"
