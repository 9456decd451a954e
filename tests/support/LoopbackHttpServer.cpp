#include "LoopbackHttpServer.h"

#include <QFile>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr qint64 kMaxRequestHead = 64 * 1024;

QByteArray statusLine(const LoopbackHttpServer::Response& r) {
    return "HTTP/1.1 " + QByteArray::number(r.status) + ' ' + r.reason + "\r\n";
}

bool hasHeader(const LoopbackHttpServer::Response& r, const QByteArray& name) {
    for (const auto& h : r.headers)
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

// ---- Response helpers -------------------------------------------------------------------

LoopbackHttpServer::Response LoopbackHttpServer::Response::bytes(const QByteArray& body,
                                                                 const QByteArray& contentType) {
    Response r;
    r.body = body;
    r.header("Content-Type", contentType);
    return r;
}

LoopbackHttpServer::Response LoopbackHttpServer::Response::text(const QByteArray& body,
                                                                const QByteArray& contentType) {
    return bytes(body, contentType);
}

LoopbackHttpServer::Response LoopbackHttpServer::Response::file(const QString& path) {
    Response r;
    r.bodyFile = path;
    r.header("Content-Type", "application/octet-stream");
    return r;
}

LoopbackHttpServer::Response LoopbackHttpServer::Response::pattern(qint64 size) {
    Response r;
    r.bodySize = size;
    r.generator = [](qint64 offset, qint64 length) { return patternBytes(offset, length); };
    r.header("Content-Type", "application/octet-stream");
    return r;
}

LoopbackHttpServer::Response LoopbackHttpServer::Response::error(int status,
                                                                 const QByteArray& reason,
                                                                 const QByteArray& htmlBody) {
    Response r = bytes(htmlBody, "text/html");
    r.status = status;
    r.reason = reason;
    return r;
}

QByteArray LoopbackHttpServer::Response::patternBytes(qint64 offset, qint64 length) {
    QByteArray out(length, Qt::Uninitialized);
    for (qint64 i = 0; i < length; ++i)
        out[i] = patternByte(offset + i);
    return out;
}

QByteArray LoopbackHttpServer::Request::header(const QByteArray& name) const {
    for (const auto& h : headers)
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    return {};
}

// ---- Server -----------------------------------------------------------------------------

LoopbackHttpServer::LoopbackHttpServer() {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return;
    wakeRead_ = pipeFds[0];
    wakeWrite_ = pipeFds[1];

    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 64) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        ::close(fd);
        return;
    }
    listenFd_ = fd;
    port_ = ntohs(addr.sin_port);
    acceptThread_ = std::thread([this] { acceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    stop();
    if (wakeRead_ >= 0)
        ::close(wakeRead_);
    if (wakeWrite_ >= 0)
        ::close(wakeWrite_);
}

void LoopbackHttpServer::stop() {
    if (stopping_.exchange(true))
        return;
    // The wake pipe stays readable from now on, so every poll() in every thread returns.
    if (wakeWrite_ >= 0) {
        char c = 1;
        [[maybe_unused]] auto n = ::write(wakeWrite_, &c, 1);
    }
    if (acceptThread_.joinable())
        acceptThread_.join();
    std::vector<std::thread> workers;
    {
        std::lock_guard lock(mutex_);
        workers.swap(workers_);
    }
    for (auto& t : workers)
        t.join();
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        listenFd_ = -1;
    }
}

QString LoopbackHttpServer::url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path);
}

void LoopbackHttpServer::on(const QString& path, const Response& response) {
    std::lock_guard lock(mutex_);
    routes_.insert(path, response);
}

void LoopbackHttpServer::clear() {
    std::lock_guard lock(mutex_);
    routes_.clear();
    requests_.clear();
}

QList<LoopbackHttpServer::Request> LoopbackHttpServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

int LoopbackHttpServer::requestCount() const {
    std::lock_guard lock(mutex_);
    return int(requests_.size());
}

bool LoopbackHttpServer::waitForRequests(int n, int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return requestArrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                    [&] { return requests_.size() >= n; });
}

void LoopbackHttpServer::acceptLoop() {
    for (;;) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
        int rc = ::poll(fds, 2, -1);
        if (rc < 0 && errno == EINTR)
            continue;
        if (rc < 0 || stopping_ || (fds[1].revents & POLLIN))
            return;
        if (!(fds[0].revents & POLLIN))
            continue;
        int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        ++open_;
        std::lock_guard lock(mutex_);
        workers_.emplace_back([this, client] {
            serve(client);
            ::close(client);
            --open_;
        });
    }
}

bool LoopbackHttpServer::waitMs(int ms) {
    pollfd fd{wakeRead_, POLLIN, 0};
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        until - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0)
            return !stopping_;
        int rc = ::poll(&fd, 1, int(left));
        if (rc > 0 || stopping_)
            return false;
    }
}

bool LoopbackHttpServer::stallUntilStopped(int fd) {
    // Keeps the connection open, reading and dropping whatever the client sends, until the
    // server stops or the client gives up.
    char buf[4096];
    for (;;) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
        int rc = ::poll(fds, 2, -1);
        if (rc < 0 && errno == EINTR)
            continue;
        if (rc < 0 || (fds[1].revents & POLLIN) || stopping_)
            return false;
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0)
                return false;
        }
    }
}

bool LoopbackHttpServer::sendAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        pollfd fds[2] = {{fd, POLLOUT, 0}, {wakeRead_, POLLIN, 0}};
        int rc = ::poll(fds, 2, -1);
        if (rc < 0 && errno == EINTR)
            continue;
        if (rc < 0 || (fds[1].revents & POLLIN) || stopping_)
            return false;
        if (fds[0].revents & (POLLERR | POLLHUP))
            return false;
        ssize_t n = ::send(fd, data, size_t(size), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

void LoopbackHttpServer::serve(int fd) {
    // Read the request head.
    QByteArray head;
    char buf[4096];
    while (!head.contains("\r\n\r\n")) {
        if (head.size() > kMaxRequestHead)
            return;
        pollfd fds[2] = {{fd, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
        int rc = ::poll(fds, 2, -1);
        if (rc < 0 && errno == EINTR)
            continue;
        if (rc < 0 || (fds[1].revents & POLLIN) || stopping_)
            return;
        ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0)
            return;
        head.append(buf, n);
    }
    head.truncate(head.indexOf("\r\n\r\n"));

    Request request;
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    request.method = first.value(0);
    request.target = first.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            request.headers.emplace_back(line.left(colon).trimmed(), line.mid(colon + 1).trimmed());
    }

    std::optional<Response> found;
    {
        std::lock_guard lock(mutex_);
        requests_.append(request);
        const QString target = QString::fromLatin1(request.target);
        auto it = routes_.constFind(target);
        if (it == routes_.constEnd())
            it = routes_.constFind(target.section(QLatin1Char('?'), 0, 0));
        if (it != routes_.constEnd())
            found = *it;
    }
    requestArrived_.notify_all();

    Response r =
        found ? *found : Response::error(404, "Not Found", "<html><body>Not Found</body></html>");

    if (r.delayMs > 0 && !waitMs(r.delayMs))
        return;
    if (r.closeWithoutAnswer)
        return;
    if (r.stallBeforeAnswer) {
        stallUntilStopped(fd);
        return;
    }

    // Body source.
    std::unique_ptr<QFile> file;
    qint64 size = 0;
    if (!r.body.isEmpty() || (r.bodyFile.isEmpty() && !r.generator)) {
        size = r.body.size();
    } else if (!r.bodyFile.isEmpty()) {
        file = std::make_unique<QFile>(r.bodyFile);
        if (!file->open(QIODevice::ReadOnly))
            return;
        size = file->size();
    } else {
        size = qMax<qint64>(0, r.bodySize);
    }

    QByteArray answer = statusLine(r);
    for (const auto& h : r.headers)
        answer += h.first + ": " + h.second + "\r\n";
    if (r.chunked)
        answer += "Transfer-Encoding: chunked\r\n";
    else if (!r.omitContentLength && !hasHeader(r, "Content-Length"))
        answer += "Content-Length: " + QByteArray::number(r.contentLength.value_or(size)) + "\r\n";
    answer += "Connection: close\r\n\r\n";
    if (!sendAll(fd, answer.constData(), answer.size()))
        return;
    if (r.stallAfterHeaders) {
        stallUntilStopped(fd);
        return;
    }
    if (request.method == "HEAD")
        return;

    const qint64 piece = r.chunkSize > 0 ? r.chunkSize : 64 * 1024;
    qint64 sent = 0;
    while (sent < size) {
        qint64 limit = size;
        if (r.closeAfterBodyBytes >= 0)
            limit = qMin(limit, r.closeAfterBodyBytes);
        if (r.stallAfterBodyBytes >= 0)
            limit = qMin(limit, r.stallAfterBodyBytes);
        if (sent >= limit)
            break;
        const qint64 n = qMin(piece, limit - sent);
        QByteArray data;
        if (file)
            data = file->read(n);
        else if (!r.body.isEmpty() || !r.generator)
            data = r.body.mid(sent, n);
        else
            data = r.generator(sent, n);
        if (data.isEmpty())
            return;
        if (r.chunked) {
            data.prepend(QByteArray::number(data.size(), 16) + "\r\n");
            data.append("\r\n");
        }
        if (!sendAll(fd, data.constData(), data.size()))
            return;
        sent += n;
        if (r.chunkDelayMs > 0 && sent < size && !waitMs(r.chunkDelayMs))
            return;
    }
    if (r.stallAfterBodyBytes >= 0 && sent < size) {
        stallUntilStopped(fd);
        return;
    }
    if (r.closeAfterBodyBytes >= 0 && sent < size)
        return;
    if (r.chunked)
        sendAll(fd, "0\r\n\r\n", 5);
    // Let the client read everything before the close: half-close, then wait briefly for it
    // to close its side.
    ::shutdown(fd, SHUT_WR);
    pollfd fds[2] = {{fd, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    ::poll(fds, 2, 2000);
}
