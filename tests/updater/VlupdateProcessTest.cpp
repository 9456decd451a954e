// The real vlupdate, copied into a temporary program folder and run unattended
// (VLUPDATE_AUTO_ANSWER=1) against a loopback server made to misbehave. In every failing
// case the user is told, no file of the descriptor's name is left, nothing is started, and
// the hand-over flag is spent.
#include "LoopbackHttpServer.h"
#include "UpdaterFolder.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using Response = LoopbackHttpServer::Response;

const QString kFile = QStringLiteral("setup.run");
const QString kMarker = QStringLiteral("started.marker");
const QString kRefusal =
    QStringLiteral("Error!|升级程序检测到一个无效的调用，本程序只能由VLFonts的升级模块启动。");
const QString kTransferError = QStringLiteral("在线升级|与下载服务器通信出错");

struct UpdaterRun {
    int exitCode = -1;
    bool finished = false;
    QStringList lines; // what the unattended updater printed
    QStringList messages() const {
        QStringList m;
        for (const QString& l : lines)
            if (!l.startsWith(QLatin1String("lblProgressInfo|")) &&
                !l.startsWith(QLatin1String("ProgressBar1|")))
                m.append(l);
        return m;
    }
    QString value(const QString& name) const {
        for (const QString& l : lines)
            if (l.startsWith(name + QLatin1Char('|')))
                return l.mid(name.size() + 1);
        return {};
    }
};

UpdaterRun runUpdater(const UpdaterFolder& folder) {
    const QString program = folder.file(QStringLiteral("vlupdate"));
    QFile::remove(program);
    EXPECT_TRUE(QFile::copy(testenv::binFolder() + QStringLiteral("/update/vlupdate"), program));
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VLUPDATE_AUTO_ANSWER"), QStringLiteral("1"));
    env.insert(QStringLiteral("VLUPDATE_TIMEOUT_MS"), QStringLiteral("1500"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    // Started from elsewhere: the updater must find its files from its own folder.
    process.setWorkingDirectory(testenv::root());
    process.start(program, {});
    UpdaterRun run;
    run.finished = process.waitForStarted(5000) && process.waitForFinished(30000);
    if (!run.finished)
        process.kill();
    run.exitCode = process.exitCode();
    for (const QByteArray& line : process.readAllStandardOutput().split('\n'))
        if (!line.isEmpty())
            run.lines.append(QString::fromUtf8(line));
    return run;
}

// Whether the stand-in setup program left its marker within a short wait.
bool startedWithin(const UpdaterFolder& folder, int ms) {
    return QTest::qWaitFor([&] { return QFile::exists(folder.file(kMarker)); }, ms);
}

QString sha256Of(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

} // namespace

TEST(vlupdate, RefusesEveryStartButTheHandOver) {
    LoopbackHttpServer server;
    server.on(QStringLiteral("/setup.run"), Response::bytes(markerScript(1000)));
    for (const QString& start : {QStringLiteral("0"), QString(), QStringLiteral("2")}) {
        SCOPED_TRACE(start.isNull() ? "absent" : start.toStdString());
        UpdaterFolder folder(start, server.url(QStringLiteral("/setup.run")), kFile);
        const UpdaterRun run = runUpdater(folder);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.messages(), QStringList{kRefusal});
        EXPECT_EQ(folder.startValue(), QStringLiteral("0"));
        EXPECT_TRUE(folder.downloadedFiles().isEmpty());
    }
    // A config.ini that is a FIFO and an update.ini that leads to /dev/zero read as nothing
    // at once: refused, and neither is written to.
    UpdaterFolder hostile(QStringLiteral("1"), server.url(QStringLiteral("/setup.run")), kFile);
    const QString config = hostile.program + QStringLiteral("/config.ini");
    const QString descriptor = hostile.program + QStringLiteral("/update.ini");
    QFile::remove(config);
    QFile::remove(descriptor);
    ASSERT_EQ(mkfifo(QFile::encodeName(config).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), descriptor));
    const UpdaterRun run = runUpdater(hostile);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.messages(), QStringList{kRefusal});
    struct stat info;
    ASSERT_EQ(stat(QFile::encodeName(config).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(QFileInfo(descriptor).symLinkTarget(), QStringLiteral("/dev/zero"));
    EXPECT_EQ(server.requestCount(), 0);
}

TEST(vlupdate, DownloadsExactlyAndStartsTheFile) {
    LoopbackHttpServer server;
    const QByteArray body = markerScript(1000);
    server.on(QStringLiteral("/setup.run"), Response::bytes(body));

    // A clean download, from a URL with blanks around it.
    UpdaterFolder plain(QStringLiteral("1"),
                        QStringLiteral("   ") + server.url(QStringLiteral("/setup.run")) +
                            QStringLiteral("  "),
                        kFile);
    UpdaterRun run = runUpdater(plain);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.messages(), QStringList{QStringLiteral("在线升级|文件下载完成")});
    EXPECT_EQ(run.value(QStringLiteral("lblProgressInfo")),
              QStringLiteral("已下载 1000 字节 (100%)"));
    EXPECT_EQ(run.value(QStringLiteral("ProgressBar1")), QStringLiteral("100"));
    EXPECT_EQ(plain.startValue(), QStringLiteral("0"));
    EXPECT_TRUE(startedWithin(plain, 5000));
    EXPECT_EQ(testenv::readFile(plain.file(kFile)), body);
    ASSERT_EQ(server.requestCount(), 1);
    EXPECT_EQ(server.requests().first().target, "/setup.run");

    // An earlier, longer file of the same name is replaced by exactly the new bytes.
    UpdaterFolder replacing(QStringLiteral("1"), server.url(QStringLiteral("/setup.run")), kFile);
    testenv::writeFile(replacing.file(kFile), QByteArray(3000, 'o'));
    run = runUpdater(replacing);
    EXPECT_EQ(run.messages(), QStringList{QStringLiteral("在线升级|文件下载完成")});
    EXPECT_TRUE(startedWithin(replacing, 5000));
    EXPECT_EQ(testenv::readFile(replacing.file(kFile)), body);

    // A matching sha256 in the descriptor.
    UpdaterFolder checked(QStringLiteral("1"), server.url(QStringLiteral("/setup.run")), kFile,
                          sha256Of(body));
    run = runUpdater(checked);
    EXPECT_EQ(run.messages(), QStringList{QStringLiteral("在线升级|文件下载完成")});
    EXPECT_TRUE(startedWithin(checked, 5000));
    EXPECT_EQ(testenv::readFile(checked.file(kFile)), body);
}

TEST(vlupdate, EveryFailureIsReportedAndLeavesNothingToStart) {
    LoopbackHttpServer server;
    const QByteArray body = markerScript(1000);

    Response noLength = Response::bytes(body);
    noLength.omitContentLength = true;
    Response zeroLength = Response::bytes(body);
    zeroLength.contentLength = 0;
    Response notFound = Response::error(404, "Not Found", "<html><body>" + body + "</body></html>");
    Response serverError = Response::error(500, "Internal Server Error",
                                           "<html><body>#!/bin/sh\ntouch x</body></html>");
    Response cutShort = Response::bytes(body);
    cutShort.closeAfterBodyBytes = 600;
    Response stallsBeforeAnswer = Response::bytes(body);
    stallsBeforeAnswer.stallBeforeAnswer = true;
    Response stallsInBody = Response::bytes(body);
    stallsInBody.stallAfterBodyBytes = 400;
    Response hangsUp;
    hangsUp.closeWithoutAnswer = true;

    struct Case {
        const char* name;
        Response response;
        QString filename;
        QString sha256;
        QString message;
        bool fetches;
    };
    const QList<Case> cases = {
        {"no Content-Length", noLength, kFile, {}, QStringLiteral("在线升级|ERROR!"), true},
        {"Content-Length 0",
         zeroLength,
         kFile,
         {},
         QStringLiteral("在线升级|读取远程数据出错"),
         true},
        {"404 with HTML", notFound, kFile, {}, kTransferError, true},
        {"500 with HTML", serverError, kFile, {}, kTransferError, true},
        {"closed early", cutShort, kFile, {}, kTransferError, true},
        {"stalls before answering", stallsBeforeAnswer, kFile, {}, kTransferError, true},
        {"stalls in the body", stallsInBody, kFile, {}, kTransferError, true},
        {"hangs up", hangsUp, kFile, {}, kTransferError, true},
        {"mismatching sha256", Response::bytes(body), kFile, sha256Of(body + "x"),
         QStringLiteral("在线升级|下载的文件未通过校验，已被删除，升级终止。"), true},
        {"traversal filename",
         Response::bytes(body),
         QStringLiteral("../setup.run"),
         {},
         QStringLiteral("在线升级|升级描述文件没有给出有效的文件名，升级终止。"),
         false},
        {"folder filename",
         Response::bytes(body),
         QStringLiteral("sub/setup.run"),
         {},
         QStringLiteral("在线升级|升级描述文件没有给出有效的文件名，升级终止。"),
         false},
        {"empty filename",
         Response::bytes(body),
         QString(),
         {},
         QStringLiteral("在线升级|升级描述文件没有给出有效的文件名，升级终止。"),
         false},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.clear();
        server.on(QStringLiteral("/setup.run"), c.response);
        UpdaterFolder folder(QStringLiteral("1"), server.url(QStringLiteral("/setup.run")),
                             c.filename, c.sha256);
        const UpdaterRun run = runUpdater(folder);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.messages(), QStringList{c.message});
        EXPECT_EQ(folder.startValue(), QStringLiteral("0"));
        EXPECT_EQ(server.requestCount() > 0, c.fetches);
        EXPECT_TRUE(folder.downloadedFiles().isEmpty())
            << folder.downloadedFiles().join(' ').toStdString();
        EXPECT_FALSE(QFile::exists(folder.program + QStringLiteral("/setup.run")));
        EXPECT_FALSE(startedWithin(folder, 200));
    }
}
