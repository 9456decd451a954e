// The descriptor fetch on its own, against a loopback server: what counts as a descriptor and
// what as a failure, and that the window's input waits meanwhile.
#include "online/DescriptorFetch.h"
#include "LoopbackHttpServer.h"

#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

using Response = LoopbackHttpServer::Response;

TEST(DescriptorFetch, ReturnsTheWholeBodyOfA200Answer) {
    LoopbackHttpServer server;
    QByteArray body;
    for (int i = 0; i < 2000; ++i)
        body += "key" + QByteArray::number(i) + "=\xd7\xee\r\n";
    Response chunked = Response::text(body);
    chunked.chunked = true;
    chunked.chunkSize = 1000;
    chunked.chunkDelayMs = 5;
    server.on(QStringLiteral("/plain.ini"), Response::text(body));
    server.on(QStringLiteral("/chunked.ini"), chunked);
    server.on(QStringLiteral("/moved.ini"),
              Response::error(302, "Found", "").header("Location", "/plain.ini"));
    DescriptorFetch fetch;
    for (const char* path : {"/plain.ini", "/chunked.ini", "/moved.ini"}) {
        SCOPED_TRACE(path);
        const auto result = fetch.fetch(server.url(QString::fromLatin1(path)));
        EXPECT_TRUE(result.ok()) << result.error.toStdString();
        EXPECT_EQ(result.body, body);
    }
    // The descriptor is asked for afresh each time, never from a cache.
    EXPECT_EQ(server.requests().count(), 4);
}

TEST(DescriptorFetch, FailsOnAnythingButAComplete200Descriptor) {
    LoopbackHttpServer server;
    Response cut = Response::text(QByteArray(5000, 'a'));
    cut.closeAfterBodyBytes = 100;
    Response stalled = Response::text(QByteArray(5000, 'a'));
    stalled.stallAfterBodyBytes = 100;
    Response closed = Response::text("x");
    closed.closeWithoutAnswer = true;
    server.on(QStringLiteral("/cut"), cut);
    server.on(QStringLiteral("/stalled"), stalled);
    server.on(QStringLiteral("/closed"), closed);
    server.on(QStringLiteral("/huge"), Response::pattern(DescriptorFetch::maxBytes * 4));
    server.on(QStringLiteral("/partial"), Response::error(206, "Partial Content", "abc"));
    server.on(QStringLiteral("/empty"), Response::text(QByteArray()));

    DescriptorFetch fetch;
    fetch.setTimeLimit(700);
    for (const char* path :
         {"/cut", "/stalled", "/closed", "/huge", "/partial", "/empty", "/404"}) {
        SCOPED_TRACE(path);
        QElapsedTimer clock;
        clock.start();
        const auto result = fetch.fetch(server.url(QString::fromLatin1(path)));
        EXPECT_FALSE(result.ok());
        EXPECT_TRUE(result.body.isEmpty());
        EXPECT_LT(clock.elapsed(), 5000);
    }
}

TEST(DescriptorFetch, AsksOnlyWebServers) {
    LoopbackHttpServer server;
    server.on(QStringLiteral("/update.ini"), Response::text("[Version]\r\n"));
    DescriptorFetch fetch;
    const QString local = server.url(QStringLiteral("/update.ini"));
    for (const QString& address :
         {QStringLiteral("file:///etc/passwd"), QStringLiteral("ftp://127.0.0.1/update.ini"),
          QStringLiteral("/etc/passwd"), QString(), QStringLiteral("http:///update.ini"),
          QString(local).replace(QStringLiteral("http:"), QStringLiteral("gopher:"))}) {
        SCOPED_TRACE(address.toStdString());
        EXPECT_FALSE(fetch.fetch(address).ok());
    }
    EXPECT_EQ(server.requestCount(), 0);
    // Blanks around a good address do not matter.
    EXPECT_TRUE(fetch.fetch(QStringLiteral("  ") + local + QStringLiteral(" ")).ok());
}

TEST(DescriptorFetch, TimersStillRunWhileItWaits) {
    // The window is blocked for input only: the dial-up timer and the like go on.
    LoopbackHttpServer server;
    Response slow = Response::text("[Version]\r\n");
    slow.delayMs = 400;
    server.on(QStringLiteral("/update.ini"), slow);
    int ticks = 0;
    QTimer timer;
    timer.setInterval(50);
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start();
    DescriptorFetch fetch;
    EXPECT_TRUE(fetch.fetch(server.url(QStringLiteral("/update.ini"))).ok());
    EXPECT_GE(ticks, 3);
}
