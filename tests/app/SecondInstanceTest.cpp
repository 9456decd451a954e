// Two real vlfonts processes in one program folder.
#include "TestEnvironment.h"
#include "app/SingleInstance.h"
#include "app/settings/IniFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

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

// The ids of the windows whose title matches the regular expression title, through xdotool.
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

// The fonts installed for this user: the files their links in the user's fonts folder name.
QStringList installedFiles() {
    QStringList files;
    for (const QFileInfo& link : QDir(testenv::userFontsFolder()).entryInfoList(QDir::Files))
        files.append(link.symLinkTarget());
    files.sort();
    return files;
}

void removeInstalledFonts() {
    QDir(testenv::userFontsFolder()).removeRecursively();
    QDir().mkpath(testenv::userFontsFolder());
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

TEST(SecondInstance, SeveralFilesAreInstalledTogetherEvenWhenHandedOverDuringTheStartupMessage) {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    removeInstalledFonts();
    const QString folder = installCopy();
    mfncWriteIni(QStringLiteral("Main"), QStringLiteral("ifopenmsg"), QStringLiteral("1"),
                 folder + QStringLiteral("/config.ini"));
    mfncWriteIni(QStringLiteral("Main"), QStringLiteral("openmsg"), QStringLiteral("Welcome"),
                 folder + QStringLiteral("/config.ini"));
    // Two font files, one with a line break in its name.
    const QString downloads = testenv::newFolder(QStringLiteral("downloads"));
    const QStringList fonts{downloads + QStringLiteral("/Brook\nSerif.ttf"),
                            downloads + QStringLiteral("/Quill.ttf")};
    QFile::copy(testenv::testFont(QStringLiteral("BrookSerif.ttf")), fonts[0]);
    QFile::copy(testenv::testFont(QStringLiteral("QuillSans.ttf")), fonts[1]);

    // The running instance still shows its start-up message when the files arrive: the second
    // process is answered at once, and the files are installed when the message is closed.
    QProcess first;
    first.start(folder + QStringLiteral("/vlfonts"), {});
    QStringList message;
    ASSERT_TRUE(waitFor(
        [&] { return !(message = windowsTitled(QStringLiteral("\\^_\\^"))).isEmpty(); }, 15000));
    QProcess second;
    second.start(folder + QStringLiteral("/vlfonts"), fonts);
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitCode(), 0);
    QTest::qWait(300);
    EXPECT_TRUE(installedFiles().isEmpty()) << "acted on under the start-up message";
    pressReturnIn(message.first());
    EXPECT_TRUE(waitFor([&] { return installedFiles() == fonts; }, 15000))
        << installedFiles().join(QLatin1Char('|')).toStdString();
    // One message for both, and no install window.
    EXPECT_TRUE(
        waitFor([&] { return windowsTitled(QStringLiteral("系统提示")).size() == 1; }, 5000));
    EXPECT_TRUE(windowsTitled(QStringLiteral("从字体文件安装")).isEmpty());
    first.kill();
    first.waitForFinished();

    // "vlfonts A B" with no instance running: the same, once its window is up.
    removeInstalledFonts();
    QProcess alone;
    alone.start(installCopy() + QStringLiteral("/vlfonts"), fonts);
    EXPECT_TRUE(waitFor([&] { return installedFiles() == fonts; }, 15000));
    EXPECT_TRUE(
        waitFor([&] { return windowsTitled(QStringLiteral("系统提示")).size() == 1; }, 5000));
    EXPECT_TRUE(windowsTitled(QStringLiteral("从字体文件安装")).isEmpty());
    alone.kill();
    alone.waitForFinished();
    removeInstalledFonts();
}

TEST(SecondInstance, ConnectionsThatSayNothingNeitherEndNorDeafenTheRunningInstance) {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    const QString folder = installCopy();
    const QString name = SingleInstance(folder).serverName();
    // With the 1,024 open files a desktop session usually allows.
    QProcess first;
    first.start(QStringLiteral("prlimit"),
                {QStringLiteral("--nofile=1024"), folder + QStringLiteral("/vlfonts")});
    ASSERT_TRUE(waitFor([&] { return serverAnswers(name); }, 15000));

    QList<int> idle;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, QFile::encodeName(name).constData(), sizeof address.sun_path);
    for (int i = 0; i < 1100; ++i) {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_GE(fd, 0);
        idle.append(fd);
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
            break;
    }
    EXPECT_EQ(idle.size(), 1100);

    // After the wait, with every idle connection still open, a file is handed over.
    QTest::qWait(SingleInstance::kWaitMs + 500);
    EXPECT_EQ(first.state(), QProcess::Running);
    QProcess second;
    second.start(folder + QStringLiteral("/vlfonts"), {testenv::spareFont()});
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(
        waitFor([&] { return !windowsTitled(QStringLiteral("从字体文件安装")).isEmpty(); }, 15000));
    EXPECT_TRUE(windowsTitled(QStringLiteral("系统提示")).isEmpty());
    for (int fd : idle)
        close(fd);
    first.kill();
    first.waitForFinished();
}
