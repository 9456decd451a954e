#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// A small HTTP/1.1 server on 127.0.0.1 for tests, serving scripted answers from its own
// thread, so a test may block (waitForFinished, a nested event loop) while it answers.
// Every connection is closed after one answer ("Connection: close").
//
//   LoopbackHttpServer server;
//   server.on("/update.ini", LoopbackHttpServer::Response::text("[Download]\n..."));
//   auto slow = LoopbackHttpServer::Response::bytes(QByteArray(1000, 'x'));
//   slow.chunkSize = 100; slow.chunkDelayMs = 50;
//   server.on("/file", slow);
//   QString address = server.url("/file");
//
// Paths that were not scripted get 404.
class LoopbackHttpServer {
public:
    struct Response {
        int status = 200;
        QByteArray reason = "OK";
        std::vector<std::pair<QByteArray, QByteArray>> headers;
        Response& header(const QByteArray& name, const QByteArray& value) {
            headers.emplace_back(name, value);
            return *this;
        }

        // The body: these bytes, or the file at bodyFile (streamed), or bodySize bytes made
        // by generator(offset, length) piece by piece. The first one set is used.
        QByteArray body;
        QString bodyFile;
        qint64 bodySize = -1;
        std::function<QByteArray(qint64 offset, qint64 length)> generator;

        // Content-Length: the body's real size unless contentLength says otherwise; none at
        // all with omitContentLength (the body then ends when the connection closes).
        bool omitContentLength = false;
        std::optional<qint64> contentLength;
        // Transfer-Encoding: chunked instead of Content-Length.
        bool chunked = false;

        // Misbehaviour.
        int delayMs = 0;                 // wait before answering
        bool closeWithoutAnswer = false; // read the request, close the connection
        bool stallBeforeAnswer = false;  // read the request, never answer
        bool stallAfterHeaders = false;  // send the headers, never the body
        qint64 closeAfterBodyBytes = -1; // send this much of the body, then close
        qint64 stallAfterBodyBytes = -1; // send this much of the body, then stall
        qint64 chunkSize = 64 * 1024;    // body written in pieces of this size
        int chunkDelayMs = 0;            // pause between pieces

        static Response bytes(const QByteArray& body,
                              const QByteArray& contentType = "application/octet-stream");
        static Response text(const QByteArray& body,
                             const QByteArray& contentType = "text/plain; charset=GB18030");
        static Response file(const QString& path);
        // bodySize bytes of patternByte(offset), made lazily: for huge bodies.
        static Response pattern(qint64 size);
        static Response error(int status, const QByteArray& reason, const QByteArray& htmlBody);
        // The byte at a position of Response::pattern's body.
        static char patternByte(qint64 offset) { return char('A' + offset % 23); }
        static QByteArray patternBytes(qint64 offset, qint64 length);
    };

    struct Request {
        QByteArray method;
        QByteArray target; // path with query, as sent
        std::vector<std::pair<QByteArray, QByteArray>> headers;
        QByteArray header(const QByteArray& name) const; // case-insensitive, first match
    };

    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    bool isListening() const { return listenFd_ >= 0; }
    quint16 port() const { return port_; }
    // "http://127.0.0.1:<port><path>"
    QString url(const QString& path) const;

    // Answers requests for this path (exact target, or the target without its query).
    void on(const QString& path, const Response& response);
    void clear();

    // Requests received so far, in order of arrival (recorded once their headers are read).
    QList<Request> requests() const;
    int requestCount() const;
    // Blocks until at least n requests arrived or the time is up; true when they did.
    bool waitForRequests(int n, int timeoutMs) const;
    // Connections that are still being answered (stalled ones included).
    int openConnections() const { return open_.load(); }

    // Ends every connection and the listening thread; the destructor calls it.
    void stop();

private:
    void acceptLoop();
    void serve(int fd);
    bool waitMs(int ms); // false when stopping
    bool sendAll(int fd, const char* data, qint64 size);
    bool stallUntilStopped(int fd);

    int listenFd_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    quint16 port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> open_{0};
    std::thread acceptThread_;

    mutable std::mutex mutex_;
    mutable std::condition_variable requestArrived_;
    std::vector<std::thread> workers_;
    QMap<QString, Response> routes_;
    QList<Request> requests_;
};
