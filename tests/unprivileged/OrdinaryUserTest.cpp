// The installed package used by an ordinary user. Root may write anywhere, so the checks run
// again as "nobody" (setpriv) against the package unpacked into a folder that belongs to root.
#include "FakePlatform.h"
#include "LoopbackHttpServer.h"
#include "ShownWindows.h"
#include "TestEnvironment.h"
#include "app/SingleInstance.h"
#include "app/controls/FontListView.h"
#include "app/controls/PictureButton.h"
#include "app/frmfont.h"
#include "app/settings/IniFile.h"
#include "app/settings/ProgramFolder.h"
#include "online/OnlineServices.h"
#include "online/frminfor.h"
#include "platform/DisabledFontsFile.h"
#include "updater/frmupdate.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;
const char* const kProgramVariable = "VL_INSTALLED_PROGRAM_FOLDER";
// A socket of root's, listening, in a folder the user may move it out of.
const char* const kForeignSocketVariable = "VL_FOREIGN_SOCKET";
// The same program folder after an upgrade: its config.ini names a newer build.
const char* const kUpgradedVariable = "VL_UPGRADED_PROGRAM_FOLDER";
const QString kUpgradedVersion = QStringLiteral("Build0999");
const QString kUpgradedNumber = QStringLiteral("999");

// The package as dpkg would lay it out, in a folder of root's. Without a package as new as the
// programs (ctest run without scripts/package.sh after a build), cmake installs them instead.
QString unpackPackage(const QString& root) {
    const QFileInfoList debs = QDir(QStringLiteral(VL_BUILD_DIR))
                                   .entryInfoList({QStringLiteral("vlfonts_*.deb")}, QDir::Files);
    const QDateTime built =
        std::max(QFileInfo(QStringLiteral(VL_BIN_DIR "/vlfonts")).lastModified(),
                 QFileInfo(QStringLiteral(VL_BIN_DIR "/update/vlupdate")).lastModified());
    if (!debs.isEmpty() && debs.first().lastModified() >= built)
        QProcess::execute(QStringLiteral("dpkg-deb"),
                          {QStringLiteral("-x"), debs.first().filePath(), root});
    else
        QProcess::execute(QStringLiteral("cmake"),
                          {QStringLiteral("--install"), QStringLiteral(VL_BUILD_DIR),
                           QStringLiteral("--prefix"), root + QStringLiteral("/usr")});
    return root + QStringLiteral("/usr/lib/vlfonts");
}

QString installedFolder() {
    return qEnvironmentVariable(kProgramVariable);
}

// The checks below run only in the process that OrdinaryUser.RunsEveryCheckAsNobody starts.
bool startedAsNobody() {
    return geteuid() != 0 && !installedFolder().isEmpty();
}

QString settingsFile(const char* name) {
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/vlfonts/") +
           QString::fromLatin1(name);
}

std::unique_ptr<frmfont> startMainWindow(FakePlatform& p, int& ends,
                                         const QString& folder = installedFolder()) {
    auto window = std::make_unique<frmfont>(p.platform(), folder);
    window->endProgram = [&ends] { ++ends; };
    window->anotherInstanceRunning = [] { return false; };
    window->Form_Load();
    window->Timerload_Timer();
    return window;
}

} // namespace

TEST(OrdinaryUser, RunsEveryCheckAsNobody) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to start the checks as another user";
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs an X display (run under xvfb-run)";

    const QString base = testenv::newFolder(QStringLiteral("ordinary"));
    QFile::setPermissions(base, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                    QFile::ReadOther | QFile::ExeOther);
    // The test root above is root's own (0700): the user needs a way through it.
    for (QString up = QFileInfo(base).path(); up != QDir::tempPath(); up = QFileInfo(up).path())
        QFile::setPermissions(up, QFile::permissions(up) | QFile::ExeOther);
    const QString folder = unpackPackage(base + QStringLiteral("/root"));
    ASSERT_TRUE(QFileInfo(folder + QStringLiteral("/vlfonts")).isExecutable());
    ASSERT_TRUE(QFileInfo(folder + QStringLiteral("/update/vlupdate")).isExecutable());

    // The X server's cookie, readable by the user.
    QStringList environment = QProcess::systemEnvironment();
    const QString cookie = qEnvironmentVariable("XAUTHORITY");
    if (!cookie.isEmpty()) {
        const QString copy = base + QStringLiteral("/Xauthority");
        QFile::copy(cookie, copy);
        ASSERT_EQ(chown(QFile::encodeName(copy).constData(), kNobody, kNobody), 0);
        environment.append(QStringLiteral("XAUTHORITY=") + copy);
    }
    environment.append(QStringLiteral("%1=%2").arg(QLatin1String(kProgramVariable), folder));
    // The package manager's upgrade, as root does it: a program folder whose config.ini names a
    // newer build and is otherwise the same.
    const QString upgraded = base + QStringLiteral("/upgraded");
    ASSERT_TRUE(QDir().mkpath(upgraded));
    ASSERT_TRUE(QFile::copy(folder + QStringLiteral("/config.ini"),
                            upgraded + QStringLiteral("/config.ini")));
    const IniFile upgradedConfig(upgraded + QStringLiteral("/config.ini"));
    ASSERT_TRUE(
        upgradedConfig.write(QStringLiteral("Main"), QStringLiteral("version"), kUpgradedVersion));
    ASSERT_TRUE(upgradedConfig.write(QStringLiteral("Main"), QStringLiteral("versionnum"),
                                     kUpgradedNumber));
    environment.append(QStringLiteral("%1=%2").arg(QLatin1String(kUpgradedVariable), upgraded));
    // The test's D-Bus session is root's; the user gets none rather than an autolaunched one.
    environment.append(QStringLiteral("DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent"));
    // Another user's socket, for the user to put where the channel between instances lies.
    const QString foreign = base + QStringLiteral("/foreign");
    QDir().mkpath(foreign);
    ASSERT_EQ(chown(QFile::encodeName(foreign).constData(), kNobody, kNobody), 0);
    QLocalServer squatter;
    ASSERT_TRUE(squatter.listen(foreign + QStringLiteral("/socket")));
    environment.append(
        QStringLiteral("%1=%2/socket").arg(QLatin1String(kForeignSocketVariable), foreign));

    QProcess child;
    child.setEnvironment(environment);
    child.setWorkingDirectory(QDir::tempPath());
    child.setProcessChannelMode(QProcess::MergedChannels);
    // The build may lie in a folder the user cannot enter (CI's clone under /root): the user
    // runs a copy of this program.
    const QString self = base + QStringLiteral("/test_unprivileged");
    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationFilePath(), self));
    child.start(QStringLiteral("setpriv"),
                {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                 QStringLiteral("--clear-groups"), self,
                 QStringLiteral("--gtest_filter=OrdinaryUserAsNobody.*")});
    ASSERT_TRUE(child.waitForFinished(240000));
    const QString output = QString::fromUtf8(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_FALSE(output.contains(QLatin1String("[  SKIPPED ]"))) << output.toStdString();
    EXPECT_TRUE(output.contains(QLatin1String("[  PASSED  ] 6 tests"))) << output.toStdString();
    // Root's socket was never handed anything.
    QByteArray told;
    while (squatter.waitForNewConnection(100)) {
        QLocalSocket* connection = squatter.nextPendingConnection();
        connection->waitForReadyRead(100);
        told += connection->readAll();
    }
    EXPECT_TRUE(told.isEmpty()) << told.toStdString();
}

TEST(OrdinaryUserAsNobody, PreviewSettingsAndLanguageAreKeptInTheUsersConfigFolder) {
    if (!startedAsNobody())
        GTEST_SKIP() << "runs as the ordinary user";
    const QString folder = installedFolder();
    ASSERT_FALSE(programfolder::userMayWrite(folder, {"config.ini"}));
    const QByteArray installed = testenv::readFile(folder + QStringLiteral("/config.ini"));

    FakePlatform p;
    int ends = 0;
    auto window = startMainWindow(p, ends);
    ASSERT_EQ(window->settingsFolder(), QFileInfo(settingsFile("config.ini")).path());
    // The first start begins from the installed file, byte for byte.
    EXPECT_EQ(testenv::readFile(settingsFile("config.ini")), installed);

    window->sbig->trigger();
    const QString size =
        mfncGetFromIni(QStringLiteral("Preview"), QStringLiteral("size"), window->configPath());
    EXPECT_NE(size.trimmed(), QStringLiteral("12"));
    window->engls->trigger();
    window->exitSequence();
    EXPECT_EQ(ends, 1);
    window.reset();

    auto again = startMainWindow(p, ends);
    EXPECT_EQ(again->language(), QStringLiteral("e"));
    EXPECT_EQ(mfncGetFromIni(QStringLiteral("Preview"), QStringLiteral("size"),
                             settingsFile("config.ini")),
              size);
    EXPECT_EQ(testenv::readFile(folder + QStringLiteral("/config.ini")), installed);

    // A copy in the user's own folders is portable: its files stay beside it.
    const QString portable = testenv::newFolder(QStringLiteral("portable"));
    QFile::copy(folder + QStringLiteral("/config.ini"), portable + QStringLiteral("/config.ini"));
    EXPECT_EQ(programfolder::settingsFolder(portable), portable);
}

TEST(OrdinaryUserAsNobody, AnUpgradedProgramShowsItsBuildAndKeepsTheUsersSettings) {
    if (!startedAsNobody())
        GTEST_SKIP() << "runs as the ordinary user";
    const QString main = QStringLiteral("Main");
    const QString installedVersion = mfncGetFromIni(
        main, QStringLiteral("version"), installedFolder() + QStringLiteral("/config.ini"));
    const QString installedNumber = mfncGetFromIni(
        main, QStringLiteral("versionnum"), installedFolder() + QStringLiteral("/config.ini"));
    ASSERT_NE(installedNumber, kUpgradedNumber);

    FakePlatform p;
    int ends = 0;
    auto window = startMainWindow(p, ends);
    // A check has fetched a descriptor that offers the upgraded build.
    const QByteArray offer = "[Version]\r\nnewversion=" + kUpgradedVersion.toUtf8() +
                             "\r\nnewversionnum=" + kUpgradedNumber.toUtf8() + "\r\n";
    QFile descriptor(settingsFile("update.ini"));
    ASSERT_TRUE(descriptor.open(QIODevice::WriteOnly));
    descriptor.write(offer);
    descriptor.close();
    window->sbig->trigger();
    window->gonggao_Click();
    frminfor& board = window->online()->board();
    EXPECT_EQ(board.Label10->text(), installedVersion);
    EXPECT_FALSE(board.Command5->isHidden());
    window->exitSequence();
    window.reset();
    const QByteArray before = testenv::readFile(settingsFile("config.ini"));

    auto upgraded = startMainWindow(p, ends, qEnvironmentVariable(kUpgradedVariable));
    // Only the two lines of the build changed; the preview size and the rest are the user's.
    QByteArray expected = before;
    expected.replace("version=" + installedVersion.toUtf8(),
                     "version=" + kUpgradedVersion.toUtf8());
    expected.replace("versionnum=" + installedNumber.toUtf8(),
                     "versionnum=" + kUpgradedNumber.toUtf8());
    EXPECT_NE(expected, before);
    EXPECT_EQ(testenv::readFile(settingsFile("config.ini")), expected);
    upgraded->gonggao_Click();
    frminfor& newBoard = upgraded->online()->board();
    EXPECT_TRUE(newBoard.isVisible());
    EXPECT_EQ(newBoard.Label10->text(), kUpgradedVersion);
    EXPECT_EQ(newBoard.Label4->text(), QStringLiteral("您安装的已是最新版本"));
    EXPECT_TRUE(newBoard.Command5->isHidden());
    upgraded->exitSequence();
}

TEST(OrdinaryUserAsNobody, UpdateCheckAndUpgradeUseTheUsersFolders) {
    if (!startedAsNobody())
        GTEST_SKIP() << "runs as the ordinary user";
    LoopbackHttpServer server;
    const QByteArray setup = "#!/bin/sh\necho ran > \"$HOME/upgrade-ran\"\n";
    server.on(QStringLiteral("/vlfonts-setup.run"), LoopbackHttpServer::Response::bytes(setup));
    const QByteArray descriptor = "[Version]\r\nnewversion=Build0999\r\nnewversionnum=999\r\n"
                                  "[Download]\r\nURL=" +
                                  server.url(QStringLiteral("/vlfonts-setup.run")).toUtf8() +
                                  "\r\nfilename=vlfonts-setup.run\r\n";
    server.on(QStringLiteral("/update.ini"), LoopbackHttpServer::Response::text(descriptor));

    FakePlatform p;
    p.shell.reallyStart = true;
    int ends = 0;
    auto window = startMainWindow(p, ends);
    window->show();
    window->client = true;
    window->online()->updateAddress = server.url(QStringLiteral("/update.ini"));
    window->online()->check(true);
    EXPECT_EQ(testenv::readFile(settingsFile("update.ini")), descriptor);

    // "升级" hands over to the installed vlfonts's vlupdate, which runs unattended here.
    qputenv("VLUPDATE_AUTO_ANSWER", "1");
    frminfor& board = window->online()->board();
    ASSERT_FALSE(board.Command5->isHidden()) << "the board offers no upgrade";

    // Without a writable start flag vlupdate would refuse: it is not started, and the user told.
    const QString settings = window->settingsFolder();
    const auto readOnly = QFile::ReadOwner | QFile::ExeOwner;
    QFile::setPermissions(settings, readOnly);
    QFile::setPermissions(settingsFile("config.ini"), QFile::ReadOwner);
    board.Command5_Click();
    QFile::setPermissions(settingsFile("config.ini"), QFile::ReadOwner | QFile::WriteOwner);
    QFile::setPermissions(settings, readOnly | QFile::WriteOwner);
    EXPECT_TRUE(p.shell.startedPrograms.isEmpty());
    ASSERT_FALSE(p.dialogs.messages().isEmpty());
    EXPECT_EQ(p.dialogs.messages().last().title, QStringLiteral("在线升级"));
    EXPECT_EQ(ends, 0);
    board.Command5_Click();
    EXPECT_EQ(ends, 1);
    const QString marker = qEnvironmentVariable("HOME") + QStringLiteral("/upgrade-ran");
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(marker); }, 30000))
        << "the downloaded program never ran";
    const QString download = qEnvironmentVariable("XDG_CACHE_HOME") +
                             QStringLiteral("/vlfonts/update/vlfonts-setup.run");
    EXPECT_EQ(testenv::readFile(download), setup);
    EXPECT_EQ(mfncGetFromIni(QStringLiteral("Update"), QStringLiteral("start"),
                             settingsFile("config.ini")),
              QStringLiteral("0"));

    // When the download cannot be saved, the message names the folder it was to go to.
    const QString cache = QFileInfo(download).path();
    QFile::setPermissions(cache, QFile::ReadOwner | QFile::ExeOwner);
    mfncWriteIni(QStringLiteral("Update"), QStringLiteral("start"), QStringLiteral("1"),
                 settingsFile("config.ini"));
    FakeDialogs dialogs;
    FakeShell shell;
    frmupdate updater(dialogs, shell, installedFolder() + QStringLiteral("/update"));
    updater.endProgram = [] {};
    updater.Form_Load();
    EXPECT_TRUE(QTest::qWaitFor([&] { return updater.hasEnded(); }, 10000));
    QFile::setPermissions(cache, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().text.contains(cache))
        << dialogs.messages().first().text.toStdString();
    EXPECT_TRUE(shell.startedPrograms.isEmpty());
}

TEST(OrdinaryUserAsNobody, TheInstalledProgramStartsWithItsSettingsInTheUsersFolder) {
    if (!startedAsNobody())
        GTEST_SKIP() << "runs as the ordinary user";
    const QString config = testenv::newFolder(QStringLiteral("config"));
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    program.setProcessEnvironment(environment);
    program.start(installedFolder() + QStringLiteral("/vlfonts"), {});
    ASSERT_TRUE(program.waitForStarted());
    const QString seeded = config + QStringLiteral("/vlfonts/config.ini");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return testenv::readFile(seeded) ==
                   testenv::readFile(installedFolder() + QStringLiteral("/config.ini"));
        },
        15000));
    QTest::qWait(300);
    EXPECT_EQ(program.state(), QProcess::Running);
    program.kill();
    program.waitForFinished();
}

TEST(OrdinaryUserAsNobody, FilesAreHandedOnlyToAnInstanceOfTheSameUser) {
    if (!startedAsNobody())
        GTEST_SKIP() << "runs as the ordinary user";
    const QString name = SingleInstance(installedFolder()).serverName();
    // The channel lies in a folder where nobody else may create it.
    const QFileInfo place(QFileInfo(name).path());
    EXPECT_EQ(place.ownerId(), geteuid());
    EXPECT_FALSE(place.permissions() & (QFile::WriteGroup | QFile::WriteOther));

    // Another user's socket there, answering, is neither handed the file nor taken for a
    // running instance: vlfonts starts with its install window.
    // Moved by rename(2): QFile::rename would fall back to a hard link, which the kernel refuses
    // for another user's file.
    ASSERT_EQ(
        rename(qgetenv(kForeignSocketVariable).constData(), QFile::encodeName(name).constData()), 0)
        << strerror(errno);
    QProcess program;
    program.start(installedFolder() + QStringLiteral("/vlfonts"), {testenv::spareFont()});
    ASSERT_TRUE(program.waitForStarted());
    QStringList titles;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            titles.clear();
            for (const QString& window : shown::windowsOf(program.processId()))
                titles.append(shown::titleOf(window));
            return titles.contains(QStringLiteral("从字体文件安装"));
        },
        15000))
        << titles.join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(titles.contains(QStringLiteral("系统提示")));
    program.kill();
    program.waitForFinished();
}

TEST(OrdinaryUserAsNobody, DisablingWhereTheRuleFolderIsReadOnlySaysSoAndChangesNothing) {
    if (!startedAsNobody())
        GTEST_SKIP() << "runs as the ordinary user";
    const QString family = QStringLiteral("DejaVu Serif");
    FontconfigFontSystem().installFile(testenv::spareFont());
    const QString rules = disabledfonts::rulePath();
    const QString folder = QFileInfo(rules).path();
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);

    FakePlatform p;
    int ends = 0;
    auto window = startMainWindow(p, ends);
    // The checks before left the interface in English.
    window->jtzw->trigger();
    window->Command1_Click();
    const int row = window->List1->row(family);
    ASSERT_GE(row, 0);
    window->List1->setCurrentRow(row);
    window->List1_Click();
    p.dialogs.answers = {Dialogs::Answer::Yes};
    window->disableFont->trigger();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    ASSERT_EQ(p.dialogs.messages().size(), 2);
    EXPECT_EQ(p.dialogs.messages()[1].title, QStringLiteral("系统提示"));
    EXPECT_TRUE(p.dialogs.messages()[1].text.contains(rules));
    EXPECT_TRUE(QDir(folder).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System |
                                     QDir::NoDotAndDotDot));
    EXPECT_GE(window->List1->row(family), 0);
    QProcess list;
    list.start(QStringLiteral("fc-list"), {QStringLiteral(":"), QStringLiteral("family")});
    list.waitForFinished(60000);
    EXPECT_TRUE(list.readAllStandardOutput().contains(family.toUtf8()));
}
