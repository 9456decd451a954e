// The updater's window in-process: the shown texts, the order of the transfer states, the
// progress display and the "完成" button, against a loopback server.
#include "updater/frmupdate.h"
#include "FakePlatform.h"
#include "LoopbackHttpServer.h"
#include "UpdaterFolder.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using Response = LoopbackHttpServer::Response;

struct Updater {
    FakeDialogs dialogs;
    FakeShell shell;
    std::unique_ptr<frmupdate> w;
    int ends = 0;

    explicit Updater(const UpdaterFolder& folder) {
        w = std::make_unique<frmupdate>(dialogs, shell, folder.update);
        w->endProgram = [this] { ++ends; };
    }
    // Runs the event loop until the window ended or offers "完成".
    bool settle(int timeoutMs = 10000) {
        return QTest::qWaitFor([this] { return w->hasEnded() || w->Command1->isEnabled(); },
                               timeoutMs);
    }
};

} // namespace

TEST(frmupdate, LooksAsDesignedAndClosingBeforeTheTransferCancelsIt) {
    LoopbackHttpServer server;
    server.on(QStringLiteral("/setup.run"), Response::bytes(markerScript(1000)));
    UpdaterFolder folder(QStringLiteral("1"), server.url(QStringLiteral("/setup.run")),
                         QStringLiteral("setup.run"));
    Updater u(folder);
    frmupdate& w = *u.w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Vorlan字体管理_在线升级"));
    EXPECT_EQ(w.Frame1->title(), QStringLiteral("下载升级文件"));
    EXPECT_EQ(w.Command1->text(), QStringLiteral("完成"));
    EXPECT_FALSE(w.Command1->isEnabled());
    EXPECT_EQ(w.ProgressBar1->minimum(), 0);
    EXPECT_EQ(w.ProgressBar1->maximum(), 100);
    EXPECT_TRUE(w.lblProgressInfo->text().isEmpty());
    EXPECT_TRUE(w.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(w.findChild<QPushButton*>(QStringLiteral("Command1")), w.Command1);

    // Closed before its transfer began: the updater ends quietly, nothing is fetched, and the
    // hand-over is spent.
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(u.ends, 1);
    EXPECT_TRUE(u.dialogs.messages().isEmpty());
    EXPECT_EQ(folder.startValue(), QStringLiteral("0"));
    QTest::qWait(100);
    EXPECT_EQ(server.requestCount(), 0);
    EXPECT_TRUE(folder.downloadedFiles().isEmpty());
}

TEST(frmupdate, RefusesToRunWithoutTheHandOver) {
    LoopbackHttpServer server;
    server.on(QStringLiteral("/setup.run"), Response::bytes(markerScript(1000)));
    for (const QString& start : {QStringLiteral("0"), QString(), QStringLiteral("2"),
                                 QStringLiteral("abc"), QStringLiteral("1.5")}) {
        SCOPED_TRACE(start.isNull() ? "absent" : start.toStdString());
        UpdaterFolder folder(start, server.url(QStringLiteral("/setup.run")),
                             QStringLiteral("setup.run"));
        Updater u(folder);
        u.w->Form_Load();
        ASSERT_EQ(u.dialogs.messages().size(), 1);
        const auto shown = u.dialogs.messages().first();
        EXPECT_EQ(
            shown.text,
            QStringLiteral("升级程序检测到一个无效的调用，本程序只能由VLFonts的升级模块启动。"));
        EXPECT_EQ(shown.title, QStringLiteral("Error!"));
        EXPECT_EQ(shown.icon, Dialogs::Icon::Critical);
        EXPECT_EQ(folder.startValue(), QStringLiteral("0"));
        EXPECT_EQ(u.ends, 1);
        EXPECT_TRUE(u.w->hasEnded());
    }
    QTest::qWait(100);
    EXPECT_EQ(server.requestCount(), 0);
}

TEST(frmupdate, DownloadsWithTheStatesInOrderAndStartsTheFile) {
    LoopbackHttpServer server;
    const QByteArray body = markerScript(1000);
    server.on(QStringLiteral("/setup.run"), Response::bytes(body));
    UpdaterFolder folder(QStringLiteral("1"),
                         QStringLiteral("  ") + server.url(QStringLiteral("/setup.run")) +
                             QStringLiteral(" "),
                         QStringLiteral("setup.run"));
    Updater u(folder);
    frmupdate& w = *u.w;

    QList<int> states;
    QStringList labels;
    QObject::connect(w.Inet1, &InternetTransfer::StateChanged, &w, [&](int state) {
        states.append(state);
        labels.append(w.lblProgressInfo->text());
    });
    bool enabledDuringMessage = true;
    u.dialogs.onMessage = [&](const FakeDialogs::Shown&) {
        enabledDuringMessage = w.Command1->isEnabled();
    };

    w.Form_Load();
    EXPECT_EQ(folder.startValue(), QStringLiteral("0"));
    EXPECT_EQ(w.lblProgressInfo->text(), QStringLiteral("请等待..."));
    EXPECT_EQ(w.strURL.trimmed(), server.url(QStringLiteral("/setup.run")));
    ASSERT_TRUE(u.settle());

    EXPECT_EQ(states, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12}));
    EXPECT_EQ(labels.mid(0, 7),
              (QStringList{"正在查找下载服务器...", "已经找到下载服务器", "正在联系下载服务器",
                           "已经连接到下载服务器", "正在发送请求...", "成功发送请求",
                           "正在接收回应..."}));
    EXPECT_EQ(labels.mid(8, 2), (QStringList{"正在断开连接...", "已经断开连接"}));

    ASSERT_EQ(u.dialogs.messageTexts(), QStringList{QStringLiteral("文件下载完成")});
    EXPECT_EQ(u.dialogs.messages().first().title, QStringLiteral("在线升级"));
    EXPECT_EQ(u.dialogs.messages().first().icon, Dialogs::Icon::Information);
    EXPECT_FALSE(enabledDuringMessage);
    EXPECT_TRUE(w.Command1->isEnabled());
    EXPECT_EQ(w.lblProgressInfo->text(), QStringLiteral("已下载 1000 字节 (100%)"));
    EXPECT_EQ(w.ProgressBar1->value(), 100);
    EXPECT_EQ(testenv::readFile(folder.file(QStringLiteral("setup.run"))), body);
    EXPECT_EQ(folder.downloadedFiles(), QStringList{QStringLiteral("setup.run")});
    EXPECT_EQ(u.ends, 0);
    ASSERT_EQ(server.requestCount(), 1);
    EXPECT_EQ(server.requests().first().target, "/setup.run");

    // "完成": made executable, started from the updater's folder, and the updater ends.
    EXPECT_TRUE(u.shell.startedPrograms.isEmpty());
    w.Command1->click();
    ASSERT_EQ(u.shell.startedPrograms.size(), 1);
    EXPECT_EQ(u.shell.startedPrograms.first().program, folder.file(QStringLiteral("setup.run")));
    EXPECT_EQ(u.shell.startedPrograms.first().workingFolder, folder.update);
    EXPECT_TRUE(QFileInfo(folder.file(QStringLiteral("setup.run"))).isExecutable());
    EXPECT_EQ(u.ends, 1);
    EXPECT_EQ(u.dialogs.messages().size(), 1);
}

TEST(frmupdate, SaysSoWhenTheDownloadCannotBeStarted) {
    LoopbackHttpServer server;
    server.on(QStringLiteral("/setup.run"), Response::bytes(QByteArray(10, 'x')));
    UpdaterFolder folder(QStringLiteral("1"), server.url(QStringLiteral("/setup.run")),
                         QStringLiteral("setup.run"));
    Updater u(folder);
    u.shell.startSucceeds = false;
    // A click before the download is complete does nothing.
    u.w->Command1_Click();
    EXPECT_TRUE(u.shell.startedPrograms.isEmpty());
    u.w->Form_Load();
    ASSERT_TRUE(u.settle());
    u.w->Command1_Click();
    ASSERT_EQ(u.dialogs.messages().size(), 2);
    EXPECT_TRUE(u.dialogs.messages()[1].text.startsWith(QStringLiteral("无法启动下载的文件")));
    EXPECT_EQ(u.dialogs.messages()[1].title, QStringLiteral("在线升级"));
    EXPECT_EQ(u.ends, 1);
}

TEST(frmupdate, ShowsProgressWhileReceivingButRedrawsAtMostThirtyTimesASecond) {
    LoopbackHttpServer server;
    Response slow = Response::pattern(400 * 50);
    slow.chunkSize = 50;
    slow.chunkDelayMs = 2;
    server.on(QStringLiteral("/big.run"), slow);
    UpdaterFolder folder(QStringLiteral("1"), server.url(QStringLiteral("/big.run")),
                         QStringLiteral("big.run"));
    Updater u(folder);
    frmupdate& w = *u.w;
    QList<int> values;
    QObject::connect(w.ProgressBar1, &QProgressBar::valueChanged, &w,
                     [&](int v) { values.append(v); });
    QElapsedTimer clock;
    clock.start();
    w.Form_Load();
    ASSERT_TRUE(u.settle(20000));
    const qint64 elapsed = clock.elapsed();
    ASSERT_TRUE(w.Command1->isEnabled());
    EXPECT_EQ(testenv::readFile(folder.file(QStringLiteral("big.run"))),
              Response::patternBytes(0, 400 * 50));
    // 400 pieces arrived, yet the display changed only about every 33 ms.
    EXPECT_GE(w.progressRedraws(), 2);
    EXPECT_LE(w.progressRedraws(), elapsed / 33 + 3);
    ASSERT_FALSE(values.isEmpty());
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
    EXPECT_EQ(values.last(), 100);
}

TEST(frmupdate, ChecksTheDownloadAgainstTheDescriptorsSha256) {
    LoopbackHttpServer server;
    const QByteArray body = markerScript(2000);
    server.on(QStringLiteral("/setup.run"), Response::bytes(body));
    const QString good =
        QString::fromLatin1(QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex());
    QString bad = good;
    bad[10] = bad[10] == QLatin1Char('0') ? QLatin1Char('1') : QLatin1Char('0');

    UpdaterFolder matching(QStringLiteral("1"), server.url(QStringLiteral("/setup.run")),
                           QStringLiteral("setup.run"), good);
    Updater ok(matching);
    ok.w->Form_Load();
    ASSERT_TRUE(ok.settle());
    EXPECT_EQ(ok.dialogs.messageTexts(), QStringList{QStringLiteral("文件下载完成")});
    EXPECT_EQ(testenv::readFile(matching.file(QStringLiteral("setup.run"))), body);

    UpdaterFolder mismatching(QStringLiteral("1"), server.url(QStringLiteral("/setup.run")),
                              QStringLiteral("setup.run"), bad);
    Updater refused(mismatching);
    refused.w->Form_Load();
    ASSERT_TRUE(refused.settle());
    EXPECT_EQ(refused.dialogs.messageTexts(),
              QStringList{QStringLiteral("下载的文件未通过校验，已被删除，升级终止。")});
    EXPECT_FALSE(refused.w->Command1->isEnabled());
    EXPECT_TRUE(mismatching.downloadedFiles().isEmpty());

    // A value that is no SHA-256 at all is refused before anything is fetched.
    UpdaterFolder garbage(QStringLiteral("1"), server.url(QStringLiteral("/setup.run")),
                          QStringLiteral("setup.run"), QStringLiteral("abc"));
    const int before = server.requestCount();
    Updater g(garbage);
    g.w->Form_Load();
    EXPECT_EQ(g.dialogs.messageTexts(),
              QStringList{QStringLiteral("升级描述文件中的校验值无效，升级终止。")});
    EXPECT_EQ(g.ends, 1);
    QTest::qWait(50);
    EXPECT_EQ(server.requestCount(), before);
}

TEST(frmupdate, APackageGoesToTheDesktopsInstallerInsteadOfBeingRun) {
    LoopbackHttpServer server;
    const QByteArray deb =
        "!<arch>\ndebian-binary   1733000000  0     0     100644  4         `\n2.0\n";
    server.on(QStringLiteral("/vlfonts.deb"), Response::bytes(deb));
    UpdaterFolder folder(QStringLiteral("1"), server.url(QStringLiteral("/vlfonts.deb")),
                         QStringLiteral("vlfonts.deb"));
    Updater u(folder);
    u.w->Form_Load();
    ASSERT_TRUE(u.settle());
    u.w->Command1->click();
    EXPECT_TRUE(u.shell.startedPrograms.isEmpty());
    EXPECT_EQ(u.shell.openedFiles, QStringList{folder.file(QStringLiteral("vlfonts.deb"))});
    EXPECT_FALSE(QFileInfo(folder.file(QStringLiteral("vlfonts.deb"))).isExecutable());
    EXPECT_EQ(u.ends, 1);
}

TEST(frmupdate, ALinkUnderTheFileNameIsReplacedNeverWrittenThroughOrStarted) {
    LoopbackHttpServer server;
    const QByteArray body = markerScript(1000);
    server.on(QStringLiteral("/setup.run"), Response::bytes(body));
    UpdaterFolder folder(QStringLiteral("1"), server.url(QStringLiteral("/setup.run")),
                         QStringLiteral("setup.run"));
    // A file outside the folder, and a link to it under the name the download takes.
    const QString outside = testenv::writeFile(
        testenv::newFolder(QStringLiteral("outside")) + QStringLiteral("/victim"), "keep me\n");
    QFile::setPermissions(outside, QFile::ReadOwner | QFile::WriteOwner);
    const QString name = folder.file(QStringLiteral("setup.run"));
    ASSERT_TRUE(QFile::link(outside, name));

    Updater u(folder);
    u.w->Form_Load();
    ASSERT_TRUE(u.settle());
    ASSERT_TRUE(u.w->Command1->isEnabled());
    EXPECT_EQ(testenv::readFile(outside), "keep me\n");
    EXPECT_EQ(QFileInfo(outside).permissions() & (QFile::ExeOwner | QFile::ExeUser), 0);
    EXPECT_FALSE(QFileInfo(name).isSymLink());
    EXPECT_EQ(testenv::readFile(name), body);
    EXPECT_EQ(folder.downloadedFiles(), QStringList{QStringLiteral("setup.run")});

    // Something takes the name between the download and "完成": nothing is started.
    ASSERT_TRUE(QFile::remove(name));
    ASSERT_TRUE(QFile::link(outside, name));
    u.w->Command1->click();
    EXPECT_TRUE(u.shell.startedPrograms.isEmpty());
    ASSERT_EQ(u.dialogs.messages().size(), 2);
    EXPECT_TRUE(u.dialogs.messages()[1].text.startsWith(QStringLiteral("无法启动下载的文件")));
    EXPECT_EQ(testenv::readFile(outside), "keep me\n");
    EXPECT_FALSE(QFileInfo(outside).isExecutable());
    EXPECT_EQ(u.ends, 1);
}

TEST(frmupdate, ADownloadThatCannotBeSavedIsReportedAndNothingStarted) {
    LoopbackHttpServer server;
    server.on(QStringLiteral("/setup.run"), Response::bytes(markerScript(1000)));
    UpdaterFolder folder(QStringLiteral("1"), server.url(QStringLiteral("/setup.run")),
                         QStringLiteral("setup.run"));
    // A folder holds the name the download would take.
    ASSERT_TRUE(QDir().mkdir(folder.file(QStringLiteral("setup.run"))));
    Updater u(folder);
    u.w->Form_Load();
    ASSERT_TRUE(u.settle());
    EXPECT_EQ(u.dialogs.messageTexts(),
              QStringList{QStringLiteral("无法在升级程序的文件夹中保存下载的文件，升级终止。")});
    EXPECT_FALSE(u.w->Command1->isEnabled());
    EXPECT_TRUE(u.shell.startedPrograms.isEmpty());
    EXPECT_EQ(u.ends, 1);
}

TEST(frmupdate, ADripIsATransferErrorAndClosingOrEscCancelsTheDownload) {
    LoopbackHttpServer server;
    Response drip = Response::bytes(markerScript(1000));
    drip.chunkSize = 1;
    drip.chunkDelayMs = 40;
    server.on(QStringLiteral("/drip.run"), drip);
    Response steady = Response::pattern(400 * 50);
    steady.chunkSize = 50;
    steady.chunkDelayMs = 2;
    server.on(QStringLiteral("/steady.run"), steady);
    const QString failed = QStringLiteral("与下载服务器通信出错");

    // Less than 1 KiB in any second (60 s as shipped): a transfer error, and no file is left.
    {
        UpdaterFolder folder(QStringLiteral("1"), server.url(QStringLiteral("/drip.run")),
                             QStringLiteral("drip.run"));
        Updater u(folder);
        u.w->Inet1->setStallLimit(1000, 1024);
        u.w->Form_Load();
        ASSERT_TRUE(u.settle(5000));
        EXPECT_EQ(u.dialogs.messageTexts(), QStringList{failed});
        EXPECT_EQ(u.dialogs.messages().first().title, QStringLiteral("在线升级"));
        EXPECT_EQ(u.ends, 1);
        EXPECT_TRUE(folder.downloadedFiles().isEmpty());
    }
    // A transfer that keeps moving passes the same limit.
    {
        UpdaterFolder folder(QStringLiteral("1"), server.url(QStringLiteral("/steady.run")),
                             QStringLiteral("steady.run"));
        Updater u(folder);
        u.w->Inet1->setStallLimit(1000, 1024);
        u.w->Form_Load();
        ASSERT_TRUE(u.settle(20000));
        EXPECT_EQ(u.dialogs.messageTexts(), QStringList{QStringLiteral("文件下载完成")});
    }
    // The close box and Esc on the shown window, while the drip is still running.
    for (const bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Esc" : "close box");
        UpdaterFolder folder(QStringLiteral("1"), server.url(QStringLiteral("/drip.run")),
                             QStringLiteral("drip.run"));
        Updater u(folder);
        frmupdate& w = *u.w;
        w.Form_Load();
        w.show();
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.contentLength > 0; }, 5000));
        if (escape)
            QTest::keyClick(&w, Qt::Key_Escape);
        else
            w.close();
        EXPECT_EQ(u.dialogs.messageTexts(), QStringList{failed});
        EXPECT_EQ(u.ends, 1);
        EXPECT_TRUE(w.hasEnded());
        EXPECT_TRUE(folder.downloadedFiles().isEmpty());
    }
    // Once the file is complete the close box and Esc close the window without starting the
    // file, which stays for later.
    for (const bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Esc" : "close box");
        UpdaterFolder folder(QStringLiteral("1"), server.url(QStringLiteral("/steady.run")),
                             QStringLiteral("steady.run"));
        Updater u(folder);
        frmupdate& w = *u.w;
        w.Form_Load();
        w.show();
        ASSERT_TRUE(u.settle(20000));
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        if (escape)
            QTest::keyClick(&w, Qt::Key_Escape);
        else
            EXPECT_TRUE(w.close());
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(u.ends, 1);
        EXPECT_TRUE(u.shell.startedPrograms.isEmpty());
        EXPECT_TRUE(u.shell.openedFiles.isEmpty());
        EXPECT_EQ(u.dialogs.messageTexts(), QStringList{QStringLiteral("文件下载完成")});
        EXPECT_EQ(folder.downloadedFiles(), QStringList{QStringLiteral("steady.run")});
    }
}
