// Ctrl+Alt+F brings the main window to the front from anywhere on the desktop.
#include "MainWindowHarness.h"

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>

TEST(HotKey, CtrlAltFActivatesTheMainWindowFromAnotherWindow) {
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("xev")).isEmpty() ||
        QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs X11 and xdotool";
    MainWindowHarness h;
    frmfont& w = h.start();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

    // Another program's window has the keyboard focus.
    QProcess other;
    other.start(QStringLiteral("xev"),
                {QStringLiteral("-name"), QStringLiteral("vl-other-window")});
    ASSERT_TRUE(other.waitForStarted());
    QString id;
    for (int i = 0; i < 100 && id.isEmpty(); ++i) {
        QProcess search;
        search.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--name"),
                                                 QStringLiteral("^vl-other-window$")});
        search.waitForFinished();
        id = QString::fromUtf8(search.readAllStandardOutput())
                 .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                 .value(0);
        if (id.isEmpty())
            QTest::qWait(50);
    }
    ASSERT_FALSE(id.isEmpty()) << "xev showed no window";
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("windowfocus"), QStringLiteral("--sync"), id});
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == nullptr; }, 5000));

    // A real key press through the X server, as a user's keyboard gives it.
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("key"), QStringLiteral("ctrl+alt+f")});
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return QApplication::activeWindow() == static_cast<QWidget*>(&w); }, 5000));
    other.kill();
    other.waitForFinished();
    w.hide();
}
