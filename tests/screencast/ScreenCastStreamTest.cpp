#include "platform/screencast/ScreenCastStream.h"
#include "PipeWireTestDaemon.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <gtest/gtest.h>

namespace {

template <typename Ready> bool waitFor(Ready ready, int ms = 10000) {
    const QDeadlineTimer deadline(ms);
    while (!ready() && !deadline.hasExpired())
        QThread::msleep(10);
    return ready();
}

QRgb patternPixel(int x, int y) {
    return qRgb(x % 256, y % 256, ((x / 256) * 16 + y / 256) & 0xff);
}

} // namespace

TEST(ScreenCastStream, ReadsThePictureAndThePointerAndLeavesNothingBehind) {
    PipeWireTestDaemon daemon;
    ASSERT_TRUE(daemon.running());
    const int node = daemon.startProducer({"--size", "1280x1024", "--cursor", "700,333"});
    ASSERT_GT(node, 0);
    const qint64 ours = QCoreApplication::applicationPid();

    ScreenCastStream stream;
    ASSERT_TRUE(stream.start(daemon.connection(), node));
    ASSERT_TRUE(waitFor([&] { return stream.progress().frames > 0 && stream.pointer(); }));
    const ScreenCastStream::Progress progress = stream.progress();
    EXPECT_TRUE(progress.anyPicture);
    EXPECT_TRUE(progress.cursorMeta);
    EXPECT_FALSE(progress.noCursorMeta);
    EXPECT_FALSE(progress.failed);
    EXPECT_EQ(stream.pointer(), QPoint(700, 333));
    EXPECT_EQ(stream.frameSize(), QSize(1280, 1024));
    EXPECT_EQ(daemon.connectionsOf(ours), 1);

    const auto square = stream.copy(QRect(650, 313, 100, 100));
    ASSERT_TRUE(square);
    ASSERT_EQ(square->size(), QSize(100, 100));
    int wrong = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            wrong += square->pixel(x, y) != patternPixel(650 + x, 313 + y);
    EXPECT_EQ(wrong, 0);
    // Past the picture's edge there is nothing to show but black.
    const auto edge = stream.copy(QRect(1250, 1000, 100, 100));
    ASSERT_TRUE(edge);
    EXPECT_EQ(edge->pixel(29, 23), patternPixel(1279, 1023));
    EXPECT_EQ(edge->pixel(30, 10), qRgb(0, 0, 0));
    EXPECT_EQ(edge->pixel(10, 24), qRgb(0, 0, 0));

    stream.stop();
    EXPECT_FALSE(stream.copy(QRect(0, 0, 1, 1)));
    EXPECT_TRUE(waitFor([&] { return daemon.connectionsOf(ours) == 0; }));
}

TEST(ScreenCastStream, TellsBlackFramesAndAMissingPointerApart) {
    PipeWireTestDaemon daemon;
    ASSERT_TRUE(daemon.running());
    const int black = daemon.startProducer({"--black"});
    const int blind = daemon.startProducer({"--no-cursor"});
    ASSERT_GT(black, 0);
    ASSERT_GT(blind, 0);

    ScreenCastStream stream;
    ASSERT_TRUE(stream.start(daemon.connection(), black));
    ASSERT_TRUE(waitFor([&] { return stream.progress().frames >= 3; }));
    EXPECT_FALSE(stream.progress().anyPicture);
    EXPECT_TRUE(stream.progress().cursorMeta);

    ASSERT_TRUE(stream.start(daemon.connection(), blind));
    ASSERT_TRUE(waitFor([&] { return stream.progress().frames >= 1; }));
    EXPECT_TRUE(stream.progress().anyPicture);
    EXPECT_TRUE(stream.progress().noCursorMeta);
    EXPECT_FALSE(stream.pointer());
}
