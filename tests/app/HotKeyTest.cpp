// Ctrl+Alt+F brings the main window to the front from anywhere on the desktop: by the X11 grab
// on a real X server, through the desktop portal on a Wayland session (here a portal on the
// test's own bus), and, where neither can be had, inside the program after telling the user.
#include "FakePortal.h"
#include "MainWindowHarness.h"
#include "platform/X11GrabHotKey.h"
#include "platform/portal/GlobalShortcutsHotKey.h"

#include <QApplication>
#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>

namespace {
const QString shortcutsInterface = GlobalShortcutsHotKey::interface;

bool haveXTools() {
    return !QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("xev")).isEmpty();
}

QString run(const QStringList& command) {
    QProcess process;
    process.start(command.first(), command.mid(1));
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// Another program's window, holding the keyboard focus while it lives.
struct OtherProgram {
    QProcess xev;
    bool focused = false;
    OtherProgram() {
        xev.start(QStringLiteral("xev"), {QStringLiteral("-name"), QStringLiteral("vl-other")});
        QString id;
        for (int i = 0; i < 100 && id.isEmpty() && xev.waitForStarted(); ++i) {
            id = run({QStringLiteral("xdotool"), QStringLiteral("search"), QStringLiteral("--name"),
                      QStringLiteral("^vl-other$")})
                     .section(QLatin1Char('\n'), 0, 0);
            if (id.isEmpty())
                QTest::qWait(50);
        }
        if (id.isEmpty())
            return;
        run({QStringLiteral("xdotool"), QStringLiteral("windowfocus"), QStringLiteral("--sync"),
             id});
        focused = QTest::qWaitFor([] { return QApplication::activeWindow() == nullptr; }, 5000);
    }
    ~OtherProgram() {
        xev.kill();
        xev.waitForFinished();
    }
};

void pressCtrlAltF() {
    run({QStringLiteral("xdotool"), QStringLiteral("key"), QStringLiteral("ctrl+alt+f")});
}

bool becomesActive(QWidget& w) {
    return QTest::qWaitFor([&] { return QApplication::activeWindow() == &w; }, 5000);
}

// One element of an a(sa{sv}) shortcut list, as the portal reads and writes it.
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}
} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

namespace {
// The shortcuts an a(sa{sv}) argument holds, as id -> properties.
QMap<QString, QVariantMap> shortcutsIn(const QVariant& value) {
    QMap<QString, QVariantMap> found;
    for (const PortalShortcut& shortcut :
         qdbus_cast<QList<PortalShortcut>>(value.value<QDBusArgument>()))
        found.insert(shortcut.id, shortcut.properties);
    return found;
}

// A portal answer holding the one shortcut the program offers.
QVariantMap boundShortcut() {
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
    const QList<PortalShortcut> list{{GlobalShortcutsHotKey::shortcutId, {}}};
    return {{QStringLiteral("shortcuts"), QVariant::fromValue(list)}};
}
} // namespace

TEST(HotKey, X11GrabActivatesTheMainWindowFromAnotherProgram) {
    if (!haveXTools() || QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs X11 and xdotool";
    X11GrabHotKey grab;
    MainWindowHarness h;
    h.hotKey = &grab;
    frmfont& w = h.start();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_TRUE(QTest::qWaitFor([&] { return grab.reach() != HotKey::Reach::Asking; }, 5000));
    EXPECT_EQ(grab.reach(), HotKey::Reach::Desktop);

    OtherProgram other;
    ASSERT_TRUE(other.focused);
    // A real key press through the X server, as a user's keyboard gives it.
    pressCtrlAltF();
    EXPECT_TRUE(becomesActive(w));
    EXPECT_TRUE(h.p.dialogs.shown.isEmpty());
    w.hide();
}

TEST(HotKey, PortalGetsTheShortcutInBothFormsAndItsActivationRaisesTheMainWindow) {
    if (!haveXTools())
        GTEST_SKIP() << "needs xdotool and xev";
    // The standard portal binds through BindShortcuts; KDE Plasma 5.27 binds what CreateSession
    // carried and lists it in its answer (its BindShortcuts would open the system settings).
    for (const bool plasmaForm : {false, true}) {
        SCOPED_TRACE(plasmaForm ? "Plasma 5.27" : "standard");
        FakePortal portal;
        ASSERT_TRUE(portal.registered());
        portal.acceptSessions(shortcutsInterface, plasmaForm ? boundShortcut() : QVariantMap{});
        portal.onRequest(shortcutsInterface, QStringLiteral("BindShortcuts"), [](const auto&) {
            return FakePortal::Answer{0, boundShortcut()};
        });
        GlobalShortcutsHotKey key(QDBusConnection::sessionBus());
        MainWindowHarness h;
        h.hotKey = &key;
        frmfont& w = h.start();
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        ASSERT_TRUE(QTest::qWaitFor([&] { return key.reach() != HotKey::Reach::Asking; }, 5000));
        EXPECT_EQ(key.reach(), HotKey::Reach::Desktop);
        EXPECT_TRUE(h.p.dialogs.shown.isEmpty());

        // The same session token on every start, and the shortcut in both places.
        const FakePortal::Call create = portal.callsOf(QStringLiteral("CreateSession")).value(0);
        EXPECT_EQ(create.options.value(QStringLiteral("session_handle_token")).toString(),
                  QStringLiteral("vlfonts_hotkey"));
        QList<QVariant> offered{create.options.value(QStringLiteral("shortcuts"))};
        if (plasmaForm) {
            EXPECT_TRUE(portal.callsOf(QStringLiteral("BindShortcuts")).isEmpty());
        } else {
            const FakePortal::Call bind = portal.callsOf(QStringLiteral("BindShortcuts")).value(0);
            ASSERT_EQ(bind.arguments.size(), 4);
            EXPECT_EQ(bind.arguments.at(0).value<QDBusObjectPath>().path(),
                      portal.sessions.value(0));
            offered.append(bind.arguments.at(1));
        }
        for (const QVariant& shortcuts : offered) {
            const QVariantMap shortcut =
                shortcutsIn(shortcuts).value(GlobalShortcutsHotKey::shortcutId);
            EXPECT_EQ(shortcut.value(QStringLiteral("preferred_trigger")).toString(),
                      QStringLiteral("CTRL+ALT+f"));
            EXPECT_EQ(shortcut.value(QStringLiteral("description")).toString(),
                      QStringLiteral("显示 VLFonts 主窗口"));
        }

        OtherProgram other;
        ASSERT_TRUE(other.focused);
        // Another session's or another shortcut's activation is not ours.
        const QString session = portal.sessions.value(0);
        const auto activate = [&](const QString& handle, const QString& id) {
            portal.emitSignal(shortcutsInterface, QStringLiteral("Activated"),
                              {QVariant::fromValue(QDBusObjectPath(handle)), id,
                               QVariant::fromValue(qulonglong(1)), QVariantMap{}});
        };
        activate(session + QStringLiteral("x"), GlobalShortcutsHotKey::shortcutId);
        activate(session, QStringLiteral("other"));
        QTest::qWait(300);
        EXPECT_EQ(QApplication::activeWindow(), nullptr);
        activate(session, GlobalShortcutsHotKey::shortcutId);
        EXPECT_TRUE(becomesActive(w));
        w.hide();
    }
}

TEST(HotKey, WithoutAGlobalKeyTheUserIsToldOnceAndTheKeyStillWorksInside) {
    if (!haveXTools())
        GTEST_SKIP() << "needs xdotool";
    enum class Portal { None, NoInterface, SessionRefused, BindingRefused };
    for (const Portal kind :
         {Portal::None, Portal::NoInterface, Portal::SessionRefused, Portal::BindingRefused}) {
        SCOPED_TRACE(static_cast<int>(kind));
        std::optional<FakePortal> portal;
        if (kind != Portal::None) {
            portal.emplace();
            ASSERT_TRUE(portal->registered());
        }
        if (kind == Portal::SessionRefused)
            portal->onRequest(shortcutsInterface, QStringLiteral("CreateSession"), [](const auto&) {
                return FakePortal::Answer{1, {}};
            });
        if (kind == Portal::BindingRefused) {
            portal->acceptSessions(shortcutsInterface);
            for (const char* method : {"BindShortcuts", "ListShortcuts"})
                portal->onRequest(shortcutsInterface, QString::fromLatin1(method), [](const auto&) {
                    return FakePortal::Answer{1, {}};
                });
        }

        QString folder;
        for (const bool secondStart : {false, true}) {
            GlobalShortcutsHotKey key(QDBusConnection::sessionBus());
            MainWindowHarness h;
            if (secondStart)
                h.folder = folder;
            folder = h.folder;
            h.hotKey = &key;
            frmfont& w = h.start();
            w.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
            ASSERT_TRUE(
                QTest::qWaitFor([&] { return key.reach() != HotKey::Reach::Asking; }, 5000));
            EXPECT_EQ(key.reach(), HotKey::Reach::ApplicationOnly);
            if (secondStart) {
                EXPECT_TRUE(h.p.dialogs.shown.isEmpty());
            } else {
                ASSERT_EQ(h.p.dialogs.shown.size(), 1);
                EXPECT_EQ(h.p.dialogs.shown[0].title, QStringLiteral("系统提示"));
                EXPECT_TRUE(h.p.dialogs.shown[0].text.contains(QStringLiteral("Ctrl+Alt+F")));
                EXPECT_TRUE(h.p.dialogs.shown[0].text.contains(QStringLiteral("焦点")));
            }
            // Inside the program the key still works: from another of its windows.
            QWidget mine;
            mine.setWindowTitle(QStringLiteral("vl-mine"));
            mine.resize(200, 100);
            mine.show();
            mine.activateWindow();
            ASSERT_TRUE(becomesActive(mine));
            pressCtrlAltF();
            EXPECT_TRUE(becomesActive(w));
            w.hide();
        }
    }

    // In English the message is English, and a fresh settings folder is told again.
    GlobalShortcutsHotKey key(QDBusConnection::sessionBus());
    MainWindowHarness h;
    h.hotKey = &key;
    h.set("Main", "language", QStringLiteral("e"));
    h.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !h.p.dialogs.shown.isEmpty(); }, 5000));
    EXPECT_EQ(h.p.dialogs.shown[0].title, QStringLiteral("Tips"));
    EXPECT_TRUE(
        h.p.dialogs.shown[0].text.contains(QStringLiteral("only while VLFonts has the focus")));
}
