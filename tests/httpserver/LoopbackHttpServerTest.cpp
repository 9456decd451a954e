// The loopback server other tests script to misbehave: what it sends must be exactly what
// was scripted, or those tests prove nothing.
#include "LoopbackHttpServer.h"
#include "TestEnvironment.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpSocket>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using Response = LoopbackHttpServer::Response;

struct Fetched {
    int status = 0;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QByteArray body;
    QVariant contentLength;
};

Fetched fetch(const QString& url, int timeoutMs = 5000) {
    QNetworkAccessManager manager;
    QNetworkRequest request{QUrl(url)};
    request.setTransferTimeout(timeoutMs);
    QNetworkReply* reply = manager.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    Fetched f;
    f.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    f.error = reply->error();
    if (reply->isOpen())
        f.body = reply->readAll();
    f.contentLength = reply->header(QNetworkRequest::ContentLengthHeader);
    reply->deleteLater();
    return f;
}

// What a raw client receives, up to the close or the time limit.
QByteArray rawExchange(quint16 port, const QByteArray& request, int timeoutMs, bool* closed) {
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    EXPECT_TRUE(socket.waitForConnected(2000));
    socket.write(request);
    socket.waitForBytesWritten(1000);
    QByteArray got;
    QElapsedTimer t;
    t.start();
    *closed = false;
    while (t.elapsed() < timeoutMs) {
        if (socket.waitForReadyRead(50))
            got += socket.readAll();
        if (socket.state() != QAbstractSocket::ConnectedState) {
            got += socket.readAll();
            *closed = true;
            break;
        }
    }
    return got;
}

} // namespace

TEST(LoopbackHttpServer, ServesScriptedBodiesAndRecordsRequests) {
    LoopbackHttpServer server;
    ASSERT_TRUE(server.isListening());
    ASSERT_GT(server.port(), 0);
    EXPECT_EQ(server.url("/a"), QStringLiteral("http://127.0.0.1:%1/a").arg(server.port()));

    server.on("/a", Response::bytes("hello"));
    const QString path =
        testenv::writeFile(testenv::newFolder("srv") + "/f.bin", QByteArray(70000, 'z'));
    server.on("/file", Response::file(path));
    server.on("/pattern", Response::pattern(200000));

    Fetched a = fetch(server.url("/a?x=1"));
    EXPECT_EQ(a.status, 200);
    EXPECT_EQ(a.body, "hello");
    EXPECT_EQ(a.contentLength.toLongLong(), 5);

    Fetched f = fetch(server.url("/file"));
    EXPECT_EQ(f.body, QByteArray(70000, 'z'));

    Fetched p = fetch(server.url("/pattern"));
    EXPECT_EQ(p.body.size(), 200000);
    EXPECT_EQ(p.body, Response::patternBytes(0, 200000));

    Fetched missing = fetch(server.url("/nothing"));
    EXPECT_EQ(missing.status, 404);
    EXPECT_EQ(missing.error, QNetworkReply::ContentNotFoundError);

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 4);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/a?x=1");
    EXPECT_EQ(requests[0].header("host"),
              QByteArray("127.0.0.1:") + QByteArray::number(server.port()));
    EXPECT_EQ(requests[3].target, "/nothing");
}

TEST(LoopbackHttpServer, SendsTheHeadersAndLengthsItIsToldTo) {
    LoopbackHttpServer server;
    Response none = Response::bytes("abcdef");
    none.omitContentLength = true;
    server.on("/none", none);
    Response lying = Response::bytes("abc");
    lying.contentLength = 10;
    lying.closeAfterBodyBytes = 3;
    server.on("/short", lying);
    Response err = Response::error(500, "Internal Server Error", "<html>oops</html>");
    err.header("X-Test", "1");
    server.on("/err", err);

    bool closed = false;
    QByteArray got =
        rawExchange(server.port(), "GET /none HTTP/1.1\r\nHost: x\r\n\r\n", 3000, &closed);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(got.toLower().contains("content-length"));
    EXPECT_TRUE(got.endsWith("\r\n\r\nabcdef"));

    got = rawExchange(server.port(), "GET /short HTTP/1.1\r\n\r\n", 3000, &closed);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(got.contains("Content-Length: 10\r\n"));
    EXPECT_TRUE(got.endsWith("\r\n\r\nabc"));

    got = rawExchange(server.port(), "GET /err HTTP/1.1\r\n\r\n", 3000, &closed);
    EXPECT_TRUE(got.startsWith("HTTP/1.1 500 Internal Server Error\r\n"));
    EXPECT_TRUE(got.contains("X-Test: 1\r\n"));
    EXPECT_TRUE(got.endsWith("<html>oops</html>"));

    Response chunked = Response::bytes(QByteArray(10, 'c'));
    chunked.chunked = true;
    chunked.chunkSize = 4;
    server.on("/chunked", chunked);
    Fetched c = fetch(server.url("/chunked"));
    EXPECT_EQ(c.body, QByteArray(10, 'c'));
}

TEST(LoopbackHttpServer, StallsDelaysAndClosesWhileTheTestBlocks) {
    LoopbackHttpServer server;
    Response stall;
    stall.stallBeforeAnswer = true;
    server.on("/stall", stall);
    Response headersOnly = Response::bytes("xyz");
    headersOnly.stallAfterHeaders = true;
    server.on("/headers", headersOnly);
    Response hangUp;
    hangUp.closeWithoutAnswer = true;
    server.on("/hangup", hangUp);
    Response slow = Response::bytes("0123456789");
    slow.delayMs = 300;
    slow.chunkSize = 2;
    slow.chunkDelayMs = 50;
    server.on("/slow", slow);

    bool closed = true;
    QByteArray got = rawExchange(server.port(), "GET /stall HTTP/1.1\r\n\r\n", 500, &closed);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(got.isEmpty());

    got = rawExchange(server.port(), "GET /headers HTTP/1.1\r\n\r\n", 500, &closed);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(got.endsWith("\r\n\r\n"));

    got = rawExchange(server.port(), "GET /hangup HTTP/1.1\r\n\r\n", 2000, &closed);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(got.isEmpty());

    QElapsedTimer t;
    t.start();
    Fetched s = fetch(server.url("/slow"));
    EXPECT_EQ(s.body, "0123456789");
    EXPECT_GE(t.elapsed(), 300 + 4 * 50 - 20);

    // A transfer timeout on the client side ends a stalled request.
    Fetched timedOut = fetch(server.url("/stall"), 300);
    EXPECT_EQ(timedOut.error, QNetworkReply::OperationCanceledError);
    EXPECT_TRUE(server.waitForRequests(5, 1000));
}

TEST(LoopbackHttpServer, StopsCleanlyWithConnectionsStillStalled) {
    QElapsedTimer t;
    t.start();
    {
        LoopbackHttpServer server;
        Response stall;
        stall.stallBeforeAnswer = true;
        server.on("/stall", stall);
        QTcpSocket a, b;
        a.connectToHost(QStringLiteral("127.0.0.1"), server.port());
        b.connectToHost(QStringLiteral("127.0.0.1"), server.port());
        ASSERT_TRUE(a.waitForConnected(1000) && b.waitForConnected(1000));
        a.write("GET /stall HTTP/1.1\r\n\r\n");
        a.waitForBytesWritten(1000);
        ASSERT_TRUE(server.waitForRequests(1, 2000));
        EXPECT_EQ(server.openConnections(), 2);
    }
    EXPECT_LT(t.elapsed(), 3000);
}
