// What the updater decides without a window: the progress line, the names it accepts, and
// the download file that only ever appears whole and checked.
#include "TestEnvironment.h"
#include "updater/DownloadFile.h"
#include "updater/UpdateProgress.h"

#include <QCryptographicHash>
#include <QDir>
#include <algorithm>
#include <gtest/gtest.h>

using namespace updater;

TEST(UpdateProgress, ShowsTheBytesReallyReceivedAndNeverPassesHundredPercent) {
    EXPECT_EQ(progressText(1000, 1000), QStringLiteral("已下载 1000 字节 (100%)"));
    EXPECT_EQ(progressText(512, 1000), QStringLiteral("已下载 512 字节 (51%)"));
    EXPECT_EQ(progressText(0, 1000), QStringLiteral("已下载 0 字节 (0%)"));
    // A body longer than announced still shows 100 at most.
    EXPECT_EQ(percent(1024, 1000), 100);
    // One byte short of the end is not yet 100.
    EXPECT_EQ(percent(999, 1000), 99);
    EXPECT_EQ(percent(1073741823, 1073741824), 99);
    EXPECT_EQ(percent(5'000'000'000LL, 10'000'000'000LL), 50); // past 32 bits
    EXPECT_EQ(percent(10, 0), 0);
}

TEST(UpdateProgress, StateTextsAreTheControlsStates) {
    EXPECT_EQ(stateText(1), QStringLiteral("正在查找下载服务器..."));
    EXPECT_EQ(stateText(4), QStringLiteral("已经连接到下载服务器"));
    EXPECT_EQ(stateText(7), QStringLiteral("正在接收回应..."));
    EXPECT_EQ(stateText(10), QStringLiteral("已经断开连接"));
    // 8, 11 and 12 are handled by the window, not shown as a state text.
    EXPECT_TRUE(stateText(8).isEmpty());
    EXPECT_TRUE(stateText(11).isEmpty());
    EXPECT_TRUE(stateText(12).isEmpty());
    EXPECT_TRUE(stateText(0).isEmpty());
}

TEST(UpdateProgress, AcceptsOnlyPlainFileNames) {
    EXPECT_TRUE(isPlainFileName(QStringLiteral("vlfonts-setup.run")));
    EXPECT_TRUE(isPlainFileName(QStringLiteral("字体 管理.sh")));
    EXPECT_TRUE(isPlainFileName(QStringLiteral("..setup")));
    for (const char* bad : {"", ".", "..", "../evil", "sub/setup", "/tmp/x", "..\\evil", "a\\b"})
        EXPECT_FALSE(isPlainFileName(QString::fromUtf8(bad))) << bad;
    EXPECT_FALSE(isPlainFileName(QStringLiteral("a") + QChar(0) + QStringLiteral("b")));

    EXPECT_TRUE(isSha256Text(QString(64, QLatin1Char('a'))));
    EXPECT_TRUE(isSha256Text(QString(32, QLatin1Char('F')) + QString(32, QLatin1Char('0'))));
    EXPECT_FALSE(isSha256Text(QString(63, QLatin1Char('a'))));
    EXPECT_FALSE(isSha256Text(QString(64, QLatin1Char('g'))));
}

TEST(UpdateProgress, ThrottleAllowsAboutThirtyRedrawsASecond) {
    ProgressThrottle throttle(33);
    int redraws = 0;
    // A chunk every millisecond for two seconds.
    for (qint64 t = 0; t < 2000; ++t)
        redraws += throttle.due(t) ? 1 : 0;
    EXPECT_GE(redraws, 55);
    EXPECT_LE(redraws, 61);
    EXPECT_FALSE(throttle.due(1999));
    throttle.reset();
    EXPECT_TRUE(throttle.due(1999));
}

namespace {

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

QString hexSha256(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

} // namespace

TEST(DownloadFile, AppearsUnderItsNameOnlyWhenWhole) {
    const QString folder = testenv::newFolder(QStringLiteral("dl"));
    const QString path = folder + QStringLiteral("/setup.run");
    // An earlier, longer file of the same name.
    testenv::writeFile(path, QByteArray(5000, 'o'));

    DownloadFile file;
    ASSERT_TRUE(file.open(path));
    ASSERT_TRUE(file.append(QByteArray(600, 'n')));
    ASSERT_TRUE(file.append(QByteArray(400, 'm')));
    EXPECT_EQ(file.received(), 1000);
    // While it is written the old file is untouched; the new bytes lie in an unnamed or a
    // differently named temporary file.
    EXPECT_EQ(testenv::readFile(path), QByteArray(5000, 'o'));
    EXPECT_TRUE(entries(folder).contains(QStringLiteral("setup.run")));

    EXPECT_EQ(file.finish(1000), DownloadFile::Outcome::Saved);
    EXPECT_EQ(testenv::readFile(path), QByteArray(600, 'n') + QByteArray(400, 'm'));
    EXPECT_EQ(entries(folder), QStringList{QStringLiteral("setup.run")});
}

TEST(DownloadFile, ALargeDownloadInUnevenPiecesArrivesWhole) {
    // Large enough to be handed to the disk several times while it is written; the pieces
    // alternate between a few bytes (held in the file's buffer) and more than a megabyte.
    const QString path = testenv::newFolder(QStringLiteral("dl")) + QStringLiteral("/setup.run");
    QByteArray body(20 * 1024 * 1024 + 12345, Qt::Uninitialized);
    for (qsizetype i = 0; i < body.size(); ++i)
        body[i] = char((i * 131) ^ (i >> 9));

    DownloadFile file;
    ASSERT_TRUE(file.open(path, hexSha256(body)));
    qint64 at = 0;
    for (int piece = 0; at < body.size(); ++piece) {
        const qint64 n = std::min<qint64>(body.size() - at, piece % 2 ? 1536 * 1024 + piece : 7);
        ASSERT_TRUE(file.append(body.constData() + at, n));
        at += n;
    }
    EXPECT_EQ(file.received(), body.size());
    EXPECT_EQ(file.finish(body.size()), DownloadFile::Outcome::Saved);
    EXPECT_EQ(testenv::readFile(path), body);
}

TEST(DownloadFile, AWrongLengthOrChecksumLeavesNothingBehind) {
    const QString folder = testenv::newFolder(QStringLiteral("dl"));
    const QString path = folder + QStringLiteral("/setup.run");
    const QByteArray body(1000, 'b');

    DownloadFile shortFile;
    ASSERT_TRUE(shortFile.open(path));
    shortFile.append(body.left(999));
    EXPECT_EQ(shortFile.finish(1000), DownloadFile::Outcome::Incomplete);
    EXPECT_TRUE(entries(folder).isEmpty());

    DownloadFile longFile;
    ASSERT_TRUE(longFile.open(path));
    longFile.append(body + "x");
    EXPECT_EQ(longFile.finish(1000), DownloadFile::Outcome::Overlong);
    EXPECT_TRUE(entries(folder).isEmpty());

    DownloadFile wrongSum;
    ASSERT_TRUE(wrongSum.open(path, hexSha256("something else")));
    wrongSum.append(body);
    EXPECT_EQ(wrongSum.finish(1000), DownloadFile::Outcome::ChecksumMismatch);
    EXPECT_TRUE(entries(folder).isEmpty());

    DownloadFile rightSum;
    ASSERT_TRUE(rightSum.open(path, hexSha256(body).toUpper()));
    rightSum.append(body.left(300));
    rightSum.append(body.mid(300));
    EXPECT_EQ(rightSum.finish(1000), DownloadFile::Outcome::Saved);
    EXPECT_EQ(testenv::readFile(path), body);

    {
        // Dropped half way (the program ends): the temporary file goes too.
        DownloadFile dropped;
        ASSERT_TRUE(dropped.open(folder + QStringLiteral("/other.run")));
        dropped.append(body);
    }
    EXPECT_EQ(entries(folder), QStringList{QStringLiteral("setup.run")});
}

TEST(DownloadFile, ReportsAFolderItCannotWriteTo) {
    DownloadFile file;
    EXPECT_FALSE(file.open(QStringLiteral("/nonexistent-folder/setup.run")));
    EXPECT_FALSE(file.append("x"));
    EXPECT_EQ(file.finish(1), DownloadFile::Outcome::WriteFailed);
}
