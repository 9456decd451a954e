// The notice record file without any window: what one record holds, how records follow each
// other on disk, what a cleared or missing file reads as, and that one that cannot be read is
// never written over.
#include "online/NoticeRecord.h"
#include "TestEnvironment.h"
#include "app/settings/CodePage.h"
#include "online/UpdateDescriptor.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {
const noticerecord::Notice notice{QStringLiteral("Build0600"),
                                  QStringLiteral("字体管理有新的版本升级"),
                                  QStringLiteral("支持更多字体"), QStringLiteral("谢谢大家")};
} // namespace

TEST(NoticeRecord, OneRecordIsEightLinesEndedByCrLfInGb18030) {
    const QString text =
        noticerecord::compose(QStringLiteral("2026-12-08"), QStringLiteral("10:11:12"), notice);
    EXPECT_EQ(text,
              QStringLiteral("2026-12-08\r\n10:11:12\r\n最新版本：Build0600\r\n"
                             "升级信息：字体管理有新的版本升级\r\n新特性：\r\n支持更多字体\r\n"
                             "作者留言：\r\n谢谢大家"));

    const QString path = testenv::newFolder(QStringLiteral("records")) + QStringLiteral("/BBS.vlf");
    ASSERT_TRUE(noticerecord::append(path, text));
    const QByteArray bytes = testenv::readFile(path);
    EXPECT_EQ(bytes, codepage::encode(text) + "\r\n");
    EXPECT_EQ(bytes.count("\r\n"), 8);
    EXPECT_FALSE(bytes.contains("\n\n")); // no bare line feeds of another convention
    // "最" in GB18030, not UTF-8.
    EXPECT_TRUE(bytes.contains(QByteArray::fromHex("d7ee")));

    // A text with its own line breaks goes in unchanged.
    const noticerecord::Notice twoLines{QString(), QString(), QStringLiteral("一\r\n二"),
                                        QString()};
    const QString multi = noticerecord::compose(QStringLiteral("d"), QStringLiteral("t"), twoLines);
    EXPECT_TRUE(multi.contains(QStringLiteral("新特性：\r\n一\r\n二\r\n作者留言：\r\n")));
    EXPECT_TRUE(multi.endsWith(QStringLiteral("作者留言：\r\n")));
}

TEST(NoticeRecord, AppendsInOrderAndClearsToOneEmptyLine) {
    const QString path = testenv::newFolder(QStringLiteral("records")) + QStringLiteral("/BBS.vlf");
    EXPECT_EQ(noticerecord::read(path), QString()); // missing
    EXPECT_TRUE(noticerecord::isCleared(noticerecord::read(path)));

    ASSERT_TRUE(noticerecord::append(path, QStringLiteral("第一\r\n条")));
    ASSERT_TRUE(noticerecord::append(path, QStringLiteral("第二条")));
    EXPECT_EQ(noticerecord::read(path), QStringLiteral("第一\r\n条\r\n第二条\r\n"));
    EXPECT_FALSE(noticerecord::isCleared(noticerecord::read(path)));

    ASSERT_TRUE(noticerecord::clear(path));
    EXPECT_EQ(testenv::readFile(path), QByteArray("\r\n"));
    EXPECT_TRUE(noticerecord::isCleared(noticerecord::read(path)));
    // Appending after a clear keeps the empty first line.
    ASSERT_TRUE(noticerecord::append(path, QStringLiteral("x")));
    EXPECT_EQ(testenv::readFile(path), QByteArray("\r\nx\r\n"));

    testenv::writeFile(path, QByteArray());
    EXPECT_TRUE(noticerecord::isCleared(noticerecord::read(path)));
    testenv::writeFile(path, "\n");
    EXPECT_FALSE(noticerecord::isCleared(noticerecord::read(path)));

    // A file that cannot be opened is reported.
    EXPECT_FALSE(noticerecord::append(testenv::root() + QStringLiteral("/no/such/folder/BBS.vlf"),
                                      QStringLiteral("x")));
}

TEST(NoticeRecord, ARecordFileOrDescriptorThatCannotBeReadIsLeftAlone) {
    const QString folder = testenv::newFolder(QStringLiteral("hostile"));
    const QString fifo = folder + QStringLiteral("/BBS.vlf");
    const QString zero = folder + QStringLiteral("/update.ini");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    for (const QString& path : {fifo, zero}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(noticerecord::read(path), QString());
        EXPECT_FALSE(noticerecord::append(path, QStringLiteral("x")));
        EXPECT_FALSE(noticerecord::clear(path));
        EXPECT_FALSE(descriptor::storeDescriptor(path, "[Version]\r\nnewversionnum=7\r\n"));
    }
    struct stat info;
    ASSERT_EQ(stat(QFile::encodeName(fifo).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(QFileInfo(zero).symLinkTarget(), QStringLiteral("/dev/zero"));
}

TEST(NoticeRecord, DateAndTimeFollowTheSystemFormats) {
    const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7));
    EXPECT_EQ(noticerecord::dateText(when),
              QLocale::system().toString(when.date(), QLocale::ShortFormat));
    const QString time = noticerecord::timeText(when);
    EXPECT_TRUE(time.contains(QStringLiteral("06"))) << time.toStdString();
    EXPECT_TRUE(time.contains(QStringLiteral("07"))) << time.toStdString(); // with seconds
    EXPECT_FALSE(time.contains(QLatin1Char('\n')));
    EXPECT_EQ(time, time.trimmed());
}
