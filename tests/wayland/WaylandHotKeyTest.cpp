// Ctrl+Alt+F on a real Wayland desktop: KWin nested in the test's X server, the desktop portal
// with its KDE back end, vlfonts as a Wayland client (and as an XWayland client), another
// program's window holding the focus, and the key pressed on the keyboard of the outer X server.
#include "TestEnvironment.h"
#include "WaylandDesktop.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <gtest/gtest.h>

namespace {
const QString mainCaption = QStringLiteral("Vorlan字体管理");
const QString witnessCaption = QStringLiteral("vl-key-witness");

QString programCopy() {
    const QString folder = testenv::newProgramFolder();
    QFile::copy(testenv::binFolder() + QStringLiteral("/vlfonts"),
                folder + QStringLiteral("/vlfonts"));
    return folder;
}

void runDesktop(bool xwaylandClient) {
    WaylandDesktop desktop(xwaylandClient);
    const QString why = desktop.start();
    if (why.startsWith(QLatin1String("missing")))
        GTEST_SKIP() << why.toStdString();
    ASSERT_TRUE(why.isEmpty()) << why.toStdString();

    const QString folder = programCopy();
    QProcessEnvironment environment = desktop.clientEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"),
                       xwaylandClient ? QStringLiteral("xcb") : QStringLiteral("wayland"));
    QProcess& vlfonts = desktop.launch(folder + QStringLiteral("/vlfonts"), {}, environment);
    ASSERT_TRUE(desktop.waitForActive(mainCaption, 30000))
        << "the main window never became active: " << desktop.compositorLog().toStdString();
    ASSERT_TRUE(desktop.waitForShortcutComponent(QStringLiteral("vlfonts_hotkey"), 20000))
        << "the portal bound no shortcut";

    // Another program's window takes the focus and gets ordinary keys.
    QProcessEnvironment waylandClient = desktop.clientEnvironment();
    waylandClient.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    QProcess& witness =
        desktop.launch(QStringLiteral(VL_BUILD_DIR "/tests/vl_keywitness"), {}, waylandClient);
    ASSERT_TRUE(desktop.waitForActive(witnessCaption, 30000));
    QString witnessed;
    desktop.press(QStringLiteral("x"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return (witnessed += QString::fromUtf8(witness.readAll())).contains("key x"); },
        10000))
        << "the other window gets no keys at all";

    desktop.press(QStringLiteral("ctrl+alt+f"));
    EXPECT_TRUE(desktop.waitForActive(mainCaption, 5000))
        << "active: " << desktop.activeCaption().toStdString();
    QTest::qWait(200);
    witnessed += QString::fromUtf8(witness.readAll());
    EXPECT_FALSE(witnessed.contains(QLatin1String("key f"))) << witnessed.toStdString();
    // The global key was had: nobody was told it works only inside.
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/hotkey-notice")));
    EXPECT_EQ(vlfonts.state(), QProcess::Running);
}
} // namespace

TEST(WaylandDesktop, CtrlAltFBringsTheNativeMainWindowFromAnotherProgram) {
    runDesktop(false);
}

TEST(WaylandDesktop, CtrlAltFBringsTheXWaylandMainWindowFromANativeProgram) {
    runDesktop(true);
}
