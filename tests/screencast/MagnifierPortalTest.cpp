// The magnifier on a Wayland desktop: the screen-cast portal on the test's bus grants a stream
// of the test's own PipeWire daemon, and the shown window is checked pixel by pixel.
#include "../app/MainWindowHarness.h"
#include "ScreenCastDesktop.h"
#include "platform/screencast/ScreenCastScreen.h"
#include "tools/fzfd.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const qint64 ours = QCoreApplication::applicationPid();
const QString refusal = QStringLiteral("此桌面不允许程序读取屏幕内容，放大镜无法使用。");

struct Magnifier {
    explicit Magnifier(QDBusConnection bus = QDBusConnection::sessionBus()) : screen(bus) {
        h.screen = &screen;
        w = &h.start();
        w->setLanguage(QStringLiteral("c"));
    }
    // Opens the magnifier and waits for the desktop's answer: the window or a message.
    fzfd* open() {
        h.p.dialogs.clear();
        w->fdj_Click();
        if (!QTest::qWaitFor([&] { return w->findChild<fzfd*>() || !w->magnifierOpen(); }, 10000))
            ADD_FAILURE() << "the desktop never answered";
        return w->findChild<fzfd*>();
    }

    ScreenCastScreen screen;
    MainWindowHarness h;
    frmfont* w = nullptr;
};

} // namespace

TEST(MagnifierThroughThePortal, ShowsTheKnownPictureAroundThePointerAndAsksOnce) {
    ScreenCastDesktop desktop;
    ASSERT_TRUE(desktop.daemon.running());
    ASSERT_TRUE(desktop.portal.registered());
    ASSERT_GT(desktop.node, 0);
    Magnifier m;

    QPointer<fzfd> win = m.open();
    ASSERT_FALSE(win.isNull()) << m.h.p.dialogs.messageTexts().join(QLatin1Char('|')).toStdString();
    const auto select = desktop.portal.callsOf(QStringLiteral("SelectSources")).value(0).options;
    EXPECT_EQ(select.value(QStringLiteral("types")).toUInt(), 1u);
    EXPECT_EQ(select.value(QStringLiteral("cursor_mode")).toUInt(), 4u);
    EXPECT_EQ(select.value(QStringLiteral("persist_mode")).toUInt(), 2u);
    EXPECT_FALSE(select.contains(QStringLiteral("restore_token")));

    while (m.w->Timerfdj.isActive())
        m.w->Timerfdj_Timer();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(win));
    // The timer's ticks draw the stream's newest frame.
    QTest::qWait(200);
    EXPECT_EQ(win->windowTitle(), QStringLiteral("    坐标450,280"));
    EXPECT_EQ(win->lastPointer(), QPoint(500, 300));
    EXPECT_EQ(desktop.daemon.connectionsOf(ours), 1);

    // What the X server shows of the window.
    const QImage shown = QGuiApplication::primaryScreen()->grabWindow(win->winId()).toImage();
    ASSERT_EQ(shown.size(), QSize(194, 194));
    const MagnifiedPicture seen = compareWithMagnifiedPicture(shown);
    EXPECT_GT(seen.inside, 9000);
    EXPECT_EQ(seen.wrong, 0);

    // Closing ends the stream and the session; the permission is kept for the next opening.
    win->exit_Click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return desktop.openSessions() == 0; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return desktop.daemon.connectionsOf(ours) == 0; }, 5000));
    QFile token(ScreenCastScreen::tokenFile(m.w->settingsFolder()));
    ASSERT_TRUE(token.open(QIODevice::ReadOnly));
    EXPECT_EQ(token.readAll(), QByteArray("granted-once"));
    QTest::qWait(0);
    QPointer<fzfd> again = m.open();
    ASSERT_FALSE(again.isNull());
    EXPECT_EQ(desktop.portal.callsOf(QStringLiteral("SelectSources"))
                  .value(1)
                  .options.value(QStringLiteral("restore_token")),
              QStringLiteral("granted-once"));

    // The user stops the sharing from the desktop: the magnifier says so and closes.
    m.h.p.dialogs.clear();
    desktop.portal.closeSession(desktop.portal.sessions.last());
    EXPECT_TRUE(QTest::qWaitFor([&] { return again.isNull(); }, 5000));
    EXPECT_FALSE(m.w->magnifierOpen());
    EXPECT_EQ(m.h.p.dialogs.messageTexts(),
              QStringList{QStringLiteral("无法读取屏幕内容，放大镜已关闭。")});
    EXPECT_EQ(desktop.daemon.connectionsOf(ours), 0);
}

TEST(MagnifierThroughThePortal, EveryRefusalIsTheMessageAndLeavesNothingRunning) {
    struct Case {
        const char* what;
        std::function<void(Offer&)> change;
    };
    const Case cases[] = {
        {"the user says no", [](Offer& o) { o.startResponse = 1; }},
        {"no cursor metadata offered", [](Offer& o) { o.cursorModes = 1 | 2; }},
        {"a stream without the pointer", [](Offer& o) { o.producer = {"--no-cursor"}; }},
        {"a stream of black frames", [](Offer& o) { o.producer = {"--black"}; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Offer offer;
        c.change(offer);
        ScreenCastDesktop desktop(offer);
        ASSERT_GT(desktop.node, 0);
        Magnifier m;
        EXPECT_EQ(m.open(), nullptr);
        EXPECT_FALSE(m.w->magnifierOpen());
        EXPECT_EQ(m.h.p.dialogs.messageTexts(), QStringList{refusal});
        EXPECT_EQ(m.h.p.dialogs.messages().value(0).title, QStringLiteral("系统提示"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return desktop.openSessions() == 0; }, 5000));
        EXPECT_TRUE(QTest::qWaitFor([&] { return desktop.daemon.connectionsOf(ours) == 0; }, 5000));
    }

    // No portal on the bus at all.
    Magnifier m;
    m.w->setLanguage(QStringLiteral("e"));
    EXPECT_EQ(m.open(), nullptr);
    ASSERT_EQ(m.h.p.dialogs.messages().size(), 1);
    EXPECT_EQ(m.h.p.dialogs.messages()[0].title, QStringLiteral("Tips"));
    EXPECT_TRUE(m.h.p.dialogs.messages()[0].text.contains(QStringLiteral("read the screen")));
}

TEST(MagnifierThroughThePortal, ClosingWhileThePortalAsksLeavesNothingRunning) {
    Offer unanswered;
    unanswered.answerStart = false;
    ScreenCastDesktop desktop(unanswered);
    ASSERT_GT(desktop.node, 0);
    auto m = std::make_unique<Magnifier>();
    m->w->fdj_Click();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !desktop.portal.callsOf(QStringLiteral("Start")).isEmpty(); }, 5000));
    // The question is open; asking again only says the magnifier is on its way.
    m->w->fdj_Click();
    EXPECT_EQ(m->h.p.dialogs.messageTexts().last(), QStringLiteral("放大镜已经启动。"));

    const QString question = desktop.portal.callsOf(QStringLiteral("Start"))[0].requestHandle;
    m.reset(); // the program ends
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return desktop.portal.closedRequests.contains(question); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return desktop.openSessions() == 0; }, 5000));
    EXPECT_EQ(desktop.daemon.connectionsOf(ours), 0);
}
