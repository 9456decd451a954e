// The magnifier of vlfonts running as an X11 client of a real compositor's XWayland, where the
// root window has no picture: the screen comes through the screen-cast portal on the test's bus
// and the test's PipeWire daemon, and the shown window is read back from XWayland's X server.
#include "ScreenCastDesktop.h"
#include "TestEnvironment.h"
#include "WaylandDesktop.h"

#include <QFile>
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <xcb/xcb.h>

namespace {
const QString mainCaption = QStringLiteral("Vorlan字体管理");
const QString tipsCaption = QStringLiteral("系统提示");

// "设置" › "辅助工具" › "放大镜" from the keyboard, as a user without a mouse opens it.
void openMagnifier(WaylandDesktop& desktop) {
    for (const char* key : {"alt", "Right", "Down", "Up", "Up", "Right", "Return"}) {
        desktop.press(QString::fromLatin1(key));
        QTest::qWait(150);
    }
}

QString onXWayland(WaylandDesktop& desktop, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), desktop.xwaylandDisplay());
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("xdotool"), arguments);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// The magnifier's window on XWayland's X server (its caption shows the pointer's coordinates).
xcb_window_t magnifierWindow(WaylandDesktop& desktop) {
    const QStringList found =
        onXWayland(desktop, {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                             QStringLiteral("--name"), QStringLiteral("坐标")})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return found.isEmpty() ? 0 : found.first().toUInt();
}

// The window's pixels as XWayland's X server holds them.
QImage windowPixels(const QString& display, xcb_window_t window) {
    xcb_connection_t* connection = xcb_connect(display.toLocal8Bit().constData(), nullptr);
    QImage image;
    std::unique_ptr<xcb_get_geometry_reply_t, decltype(&free)> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr), &free);
    if (geometry) {
        std::unique_ptr<xcb_get_image_reply_t, decltype(&free)> reply(
            xcb_get_image_reply(connection,
                                xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                              geometry->width, geometry->height, ~0u),
                                nullptr),
            &free);
        if (reply && reply->depth >= 24)
            image = QImage(xcb_get_image_data(reply.get()), geometry->width, geometry->height,
                           geometry->width * 4, QImage::Format_RGB32)
                        .copy();
    }
    xcb_disconnect(connection);
    return image;
}
} // namespace

TEST(MagnifierUnderXWayland, ShowsTheScreenThroughThePortalOrRefusesNeverBlack) {
    WaylandDesktop desktop(true, false);
    const QString why = desktop.start();
    if (why.startsWith(QLatin1String("missing")))
        GTEST_SKIP() << why.toStdString();
    ASSERT_TRUE(why.isEmpty()) << why.toStdString();

    const QString folder = testenv::newProgramFolder();
    QFile::copy(testenv::binFolder() + QStringLiteral("/vlfonts"),
                folder + QStringLiteral("/vlfonts"));
    // The user was told about the hot key at an earlier start: no message stands in the way.
    QFile told(folder + QStringLiteral("/hotkey-notice"));
    ASSERT_TRUE(told.open(QIODevice::WriteOnly));
    told.close();
    // Started where the session's variables were lost (su, a service, a remote shell): only the
    // X server itself tells that it is XWayland.
    QProcessEnvironment environment = desktop.clientEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("XDG_SESSION_TYPE"));
    desktop.launch(folder + QStringLiteral("/vlfonts"), {}, environment);
    ASSERT_TRUE(desktop.waitForActive(mainCaption, 30000)) << desktop.compositorLog().toStdString();

    // No portal yet: a message, and no window even though XWayland's root could be "grabbed".
    openMagnifier(desktop);
    ASSERT_TRUE(desktop.waitForActive(tipsCaption, 10000))
        << "active: " << desktop.activeCaption().toStdString();
    desktop.press(QStringLiteral("Return"));
    ASSERT_TRUE(desktop.waitForActive(mainCaption, 5000))
        << "active: " << desktop.activeCaption().toStdString();
    QTest::qWait(1000);
    EXPECT_EQ(magnifierWindow(desktop), 0u);

    ScreenCastDesktop screen;
    ASSERT_TRUE(screen.daemon.running());
    ASSERT_TRUE(screen.portal.registered());
    ASSERT_GT(screen.node, 0);
    openMagnifier(desktop);
    // The magnifier's notice comes once the stream shows the screen.
    ASSERT_TRUE(desktop.waitForActive(tipsCaption, 20000))
        << "active: " << desktop.activeCaption().toStdString();
    desktop.press(QStringLiteral("Return"));
    xcb_window_t window = 0;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (window = magnifierWindow(desktop)) != 0; }, 5000))
        << "no magnifier window";
    EXPECT_EQ(screen.portal.callsOf(QStringLiteral("Start")).size(), 1);

    // Grown, the window shows the stream's picture magnified around the stream's pointer.
    QImage shown;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            shown = windowPixels(desktop.xwaylandDisplay(), window);
            return shown.size() == QSize(194, 194) && shown.pixel(97, 80) == patternPixel(498, 320);
        },
        5000))
        << "shown " << shown.width() << "x" << shown.height();
    EXPECT_EQ(onXWayland(desktop, {QStringLiteral("getwindowname"), QString::number(window)}),
              QStringLiteral("坐标450,280"));
    const MagnifiedPicture seen = compareWithMagnifiedPicture(shown);
    EXPECT_GT(seen.inside, 9000);
    EXPECT_EQ(seen.wrong, 0);
}
