// Two real vlfonts processes in one program folder.
#include "TestEnvironment.h"
#include "app/SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QString installCopy() {
    const QString folder = testenv::newProgramFolder();
    QFile::copy(testenv::binFolder() + QStringLiteral("/vlfonts"),
                folder + QStringLiteral("/vlfonts"));
    // No automatic update check against the maker's server from a test.
    QFile config(folder + QStringLiteral("/config.ini"));
    config.open(QIODevice::ReadOnly);
    QByteArray bytes = config.readAll();
    config.close();
    bytes.replace("auto=1", "auto=0");
    testenv::writeFile(folder + QStringLiteral("/config.ini"), bytes);
    return folder;
}

bool serverAnswers(const QString& name) {
    QLocalSocket socket;
    socket.connectToServer(name);
    return socket.waitForConnected(200);
}

bool waitFor(const std::function<bool()>& condition, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        if (condition())
            return true;
        QTest::qWait(50);
    }
    return condition();
}

// The ids of the windows titled title, through xdotool.
QStringList windowsTitled(const QString& title) {
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"),
                  {QStringLiteral("search"), QStringLiteral("--name"), title});
    xdotool.waitForFinished(5000);
    return QString::fromUtf8(xdotool.readAllStandardOutput())
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void pressReturnIn(const QString& windowId) {
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("windowfocus"), QStringLiteral("--sync"), windowId});
    // Typed into the focused window: aimed at a window with --window, the release goes to a
    // window that the press has already closed and is lost, and the X server then repeats
    // Return into whatever window comes next.
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Return")});
}

} // namespace

TEST(SecondInstance, TheSecondIsRefusedTheFirstRunsOnAndACrashLeavesNoBlock) {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    const QString folder = installCopy();
    const QString name = SingleInstance(folder).serverName();

    QProcess first;
    first.setProgram(folder + QStringLiteral("/vlfonts"));
    first.start();
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(waitFor([&] { return serverAnswers(name); }, 15000))
        << "the first instance never listened";

    QProcess second;
    second.setProgram(folder + QStringLiteral("/vlfonts"));
    second.start();
    ASSERT_TRUE(second.waitForStarted());
    QStringList boxes;
    ASSERT_TRUE(waitFor(
        [&] { return !(boxes = windowsTitled(QStringLiteral("系统提示"))).isEmpty(); }, 15000))
        << "the second instance showed no message";
    pressReturnIn(boxes.first());
    ASSERT_TRUE(second.waitForFinished(10000)) << "the second instance did not end";
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_TRUE(serverAnswers(name));

    // A crash leaves the name behind; the next start takes it over.
    first.kill();
    first.waitForFinished();
    QProcess third;
    third.setProgram(folder + QStringLiteral("/vlfonts"));
    third.start();
    ASSERT_TRUE(third.waitForStarted());
    EXPECT_TRUE(waitFor([&] { return serverAnswers(name); }, 15000));
    QTest::qWait(500);
    EXPECT_EQ(third.state(), QProcess::Running);
    EXPECT_TRUE(windowsTitled(QStringLiteral("系统提示")).isEmpty());
    third.kill();
    third.waitForFinished();
}

TEST(SecondInstance, AFontFileOpensTheInstallWindowOrGoesToTheRunningInstance) {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    const QString folder = installCopy();
    const QString downloads = testenv::newFolder(QStringLiteral("downloads"));
    const QString installTitle = QStringLiteral("从字体文件安装");
    const auto start = [&](QProcess& process, const QStringList& arguments) {
        process.setProgram(folder + QStringLiteral("/vlfonts"));
        process.setArguments(arguments);
        process.setWorkingDirectory(downloads);
        process.start();
        return process.waitForStarted();
    };

    // A running instance takes the file from a second process, which ends without the refusal.
    QProcess first;
    ASSERT_TRUE(start(first, {}));
    ASSERT_TRUE(waitFor([&] { return serverAnswers(SingleInstance(folder).serverName()); }, 15000));
    QProcess second;
    ASSERT_TRUE(start(second, {testenv::spareFont()}));
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(waitFor([&] { return !windowsTitled(installTitle).isEmpty(); }, 15000));
    EXPECT_TRUE(windowsTitled(QStringLiteral("系统提示")).isEmpty());
    first.kill();
    first.waitForFinished();

    // Alone, "vlfonts FILE" starts with the install window in place of the main window.
    ASSERT_TRUE(waitFor([&] { return windowsTitled(installTitle).isEmpty(); }, 5000));
    QProcess alone;
    ASSERT_TRUE(start(alone, {testenv::spareFont()}));
    EXPECT_TRUE(waitFor([&] { return !windowsTitled(installTitle).isEmpty(); }, 15000));
    alone.kill();
    alone.waitForFinished();

    // What is handed over: the file named from the second process's own folder.
    SingleInstance running(folder);
    ASSERT_FALSE(running.anotherIsRunning());
    QStringList handed;
    QObject::connect(&running, &SingleInstance::filesHandedOver,
                     [&handed](const QStringList& files) { handed = files; });
    QProcess third;
    ASSERT_TRUE(start(third, {QStringLiteral("new font.otf")}));
    EXPECT_TRUE(waitFor([&] { return third.state() == QProcess::NotRunning; }, 15000));
    EXPECT_EQ(third.exitCode(), 0);
    EXPECT_EQ(handed, QStringList{downloads + QStringLiteral("/new font.otf")});
}
