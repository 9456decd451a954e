#include "WaylandDesktop.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

namespace {
const QString portalBackEnd = QStringLiteral("xdg-desktop-portal-kde");

QString findPortalBackEnd() {
    for (const QString& base : QDir(QStringLiteral("/usr/lib")).entryList(QDir::Dirs)) {
        const QString path =
            QStringLiteral("/usr/lib/") + base + QStringLiteral("/libexec/") + portalBackEnd;
        if (QFileInfo(path).isExecutable())
            return path;
    }
    return {};
}

QString output(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

bool busNameAppears(const QString& name, int milliseconds) {
    return QTest::qWaitFor(
        [&] {
            return QDBusConnection::sessionBus().interface()->isServiceRegistered(name).value();
        },
        milliseconds);
}

// Reports each window KWin activates, and the one active when it starts, on KWin's output.
const char watchScript[] = R"(
function report(client) { print("VLACTIVE[" + (client ? client.caption : "") + "]"); }
workspace.clientActivated.connect(report);
report(workspace.activeClient);
)";
} // namespace

WaylandDesktop::WaylandDesktop(bool withXWayland, bool withPortals)
    : withXWayland_(withXWayland), withPortals_(withPortals) {}

WaylandDesktop::~WaylandDesktop() {
    // Clients first, the compositor last, each asked to end before it is made to.
    for (auto it = processes_.rbegin(); it != processes_.rend(); ++it) {
        QProcess& process = **it;
        if (process.state() == QProcess::NotRunning)
            continue;
        process.terminate();
        if (!process.waitForFinished(3000)) {
            process.kill();
            process.waitForFinished(3000);
        }
    }
}

QProcess& WaylandDesktop::run(const QString& program, const QStringList& arguments,
                              const QProcessEnvironment& environment) {
    processes_.push_back(std::make_unique<QProcess>());
    QProcess& process = *processes_.back();
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    return process;
}

QProcess& WaylandDesktop::launch(const QString& program, const QStringList& arguments,
                                 const QProcessEnvironment& environment) {
    return run(program, arguments, environment);
}

QProcessEnvironment WaylandDesktop::clientEnvironment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_);
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), socket_);
    environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    environment.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("KDE"));
    if (xwaylandDisplay_.isEmpty())
        environment.remove(QStringLiteral("DISPLAY"));
    else
        environment.insert(QStringLiteral("DISPLAY"), xwaylandDisplay_);
    return environment;
}

QString WaylandDesktop::start() {
    const QString outerDisplay = qEnvironmentVariable("DISPLAY");
    if (outerDisplay.isEmpty())
        return QStringLiteral("no X server to nest KWin in");
    const QString backEnd = findPortalBackEnd();
    QStringList programs{QStringLiteral("/usr/bin/kwin_wayland"),
                         QStandardPaths::findExecutable(QStringLiteral("xdotool"))};
    if (withPortals_)
        programs << QStringLiteral("/usr/libexec/xdg-desktop-portal")
                 << QStringLiteral("/usr/libexec/xdg-permission-store") << backEnd;
    for (const QString& program : programs)
        if (program.isEmpty() || !QFileInfo(program).isExecutable())
            return QStringLiteral("missing: ") + (program.isEmpty() ? portalBackEnd : program);
    if (!QDBusConnection::sessionBus().isConnected())
        return QStringLiteral("no session bus");
    if (!folder_.isValid())
        return QStringLiteral("no temporary folder");

    runtime_ = folder_.filePath(QStringLiteral("run"));
    QDir().mkpath(runtime_);
    QFile::setPermissions(runtime_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // The installed binary carries a file capability that an unprivileged or nested start
    // refuses; a plain copy has none.
    const QString kwinCopy = folder_.filePath(QStringLiteral("kwin_wayland"));
    if (!QFile::copy(QStringLiteral("/usr/bin/kwin_wayland"), kwinCopy))
        return QStringLiteral("cannot copy kwin_wayland");

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_);
    // Nested in Xvfb, KWin draws with QPainter; a lock screen would take the keyboard.
    environment.insert(QStringLiteral("KWIN_COMPOSE"), QStringLiteral("Q"));
    QStringList arguments{QStringLiteral("--x11-display"),
                          outerDisplay,
                          QStringLiteral("--socket"),
                          socket_,
                          QStringLiteral("--no-lockscreen"),
                          QStringLiteral("--width"),
                          QStringLiteral("1024"),
                          QStringLiteral("--height"),
                          QStringLiteral("768")};
    const QString displayFile = folder_.filePath(QStringLiteral("xwayland-display"));
    if (withXWayland_)
        // KWin starts its programs once XWayland runs, with its display in DISPLAY.
        arguments
            << QStringLiteral("--xwayland")
            << QStringLiteral("sh -c 'echo \"$DISPLAY\" > %1; exec sleep 100000'").arg(displayFile);
    kwin_ = &run(kwinCopy, arguments, environment);
    QObject::connect(kwin_, &QProcess::readyRead,
                     [this] { kwinOutput_ += QString::fromUtf8(kwin_->readAll()); });
    if (!QTest::qWaitFor([&] { return QFileInfo::exists(runtime_ + '/' + socket_); }, 20000))
        return QStringLiteral("KWin did not start: ") + compositorLog();
    // KWin's window on the outer X server, where the keyboard's keys go.
    const QRegularExpression kwinWindow(QStringLiteral("(0x[0-9a-f]+) \"KDE Wayland Compositor"));
    if (!QTest::qWaitFor(
            [&] {
                outerWindow_ =
                    kwinWindow
                        .match(output(QStringLiteral("xwininfo"),
                                      {QStringLiteral("-root"), QStringLiteral("-tree")}))
                        .captured(1);
                return !outerWindow_.isEmpty();
            },
            20000))
        return QStringLiteral("KWin showed no window on the outer X server");
    if (withXWayland_) {
        if (!QTest::qWaitFor(
                [&] {
                    QFile file(displayFile);
                    if (file.open(QIODevice::ReadOnly))
                        xwaylandDisplay_ = QString::fromUtf8(file.readAll()).trimmed();
                    return !xwaylandDisplay_.isEmpty();
                },
                20000))
            return QStringLiteral("XWayland did not start: ") + compositorLog();
    }

    if (withPortals_) {
        QProcessEnvironment portals = clientEnvironment();
        portals.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        run(QStringLiteral("/usr/libexec/xdg-permission-store"), {}, portals);
        run(backEnd, {}, portals);
        if (!busNameAppears(QStringLiteral("org.freedesktop.impl.portal.desktop.kde"), 20000))
            return QStringLiteral("the KDE portal back end did not start");
        run(QStringLiteral("/usr/libexec/xdg-desktop-portal"), {QStringLiteral("-r")}, portals);
        if (!busNameAppears(QStringLiteral("org.freedesktop.portal.Desktop"), 20000))
            return QStringLiteral("the desktop portal did not start");
    }

    if (!runScript(QString::fromUtf8(watchScript)) ||
        !QTest::qWaitFor([&] { return kwinOutput_.contains(QLatin1String("VLACTIVE[")); }, 10000))
        return QStringLiteral("KWin runs no script: ") + compositorLog();
    return {};
}

bool WaylandDesktop::runScript(const QString& text) {
    const QString name = QStringLiteral("vltest%1").arg(++scripts_);
    const QString script = folder_.filePath(name + QStringLiteral(".js"));
    QFile file(script);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
        return false;
    file.close();
    QDBusInterface scripting(QStringLiteral("org.kde.KWin"), QStringLiteral("/Scripting"),
                             QStringLiteral("org.kde.kwin.Scripting"));
    const QDBusReply<int> loaded = scripting.call(QStringLiteral("loadScript"), script, name);
    scripting.call(QStringLiteral("start"));
    return loaded.isValid() && loaded.value() >= 0;
}

void WaylandDesktop::activate(const QString& caption) {
    runScript(QStringLiteral("for (const c of workspace.clientList()) if (c.caption == \"%1\") "
                             "workspace.activeClient = c;")
                  .arg(caption));
}

QString WaylandDesktop::activeCaption() {
    const qsizetype at = kwinOutput_.lastIndexOf(QLatin1String("VLACTIVE["));
    if (at < 0)
        return {};
    const qsizetype from = at + 9;
    const qsizetype end = kwinOutput_.indexOf(QLatin1String("]\n"), from);
    return end < 0 ? QString() : kwinOutput_.mid(from, end - from);
}

bool WaylandDesktop::waitForActive(const QString& caption, int milliseconds) {
    return QTest::qWaitFor([&] { return activeCaption() == caption; }, milliseconds);
}

bool WaylandDesktop::waitForShortcutComponent(const QString& component, int milliseconds) {
    QDBusInterface daemon(QStringLiteral("org.kde.kglobalaccel"), QStringLiteral("/kglobalaccel"),
                          QStringLiteral("org.kde.KGlobalAccel"));
    return QTest::qWaitFor(
        [&] {
            QDBusMessage reply = daemon.call(QStringLiteral("allComponents"));
            for (const QVariant& value : reply.arguments()) {
                const auto paths = qdbus_cast<QList<QDBusObjectPath>>(value);
                for (const QDBusObjectPath& path : paths)
                    if (path.path().endsWith(QLatin1Char('/') + component))
                        return true;
            }
            return false;
        },
        milliseconds);
}

void WaylandDesktop::press(const QString& keys) {
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("windowfocus"), QStringLiteral("--sync"), outerWindow_});
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), keys});
}

QString WaylandDesktop::compositorLog() {
    if (kwin_)
        kwinOutput_ += QString::fromUtf8(kwin_->readAll());
    return kwinOutput_.right(3000);
}
