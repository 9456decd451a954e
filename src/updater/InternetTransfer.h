#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostInfo>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <deque>
#include <utility>

class QNetworkReply;

// Inet1: one HTTP GET at a time, reporting its progress with the state numbers of the
// classic Internet-transfer control, so the window reacts to them as designed:
//   1 looking up the host, 2 host found, 3 connecting, 4 connected, 5 sending the request,
//   6 request sent, 7 receiving the response, 8 response headers received,
//   9 closing the connection, 10 connection closed, 11 error, 12 response complete.
// States arrive in that order, each at most once; 11 ends a transfer at any point, and
// after 11 or 12 nothing more is reported. The body is not held: it waits in a bounded
// buffer until GetChunk takes it, and dataAvailable says when there is more.
class InternetTransfer final : public QObject {
    Q_OBJECT
public:
    enum State {
        icHostResolvingHost = 1,
        icHostResolved = 2,
        icConnecting = 3,
        icConnected = 4,
        icRequesting = 5,
        icRequestSent = 6,
        icReceivingResponse = 7,
        icResponseReceived = 8,
        icDisconnecting = 9,
        icDisconnected = 10,
        icError = 11,
        icResponseCompleted = 12,
    };

    explicit InternetTransfer(QObject* parent = nullptr);
    ~InternetTransfer() override;

    // Starts an asynchronous GET of url (only http and https; anything else is an error, and so
    // is a redirect to anything else).
    // The first state is reported after this returns.
    void Execute(const QString& url, const QString& verb = QStringLiteral("GET"));
    // A response header's value; empty when it is absent or no response has arrived.
    QString GetHeader(const QString& name) const;
    // At most maxSize further bytes of the body; empty when none are waiting.
    QByteArray GetChunk(qint64 maxSize);
    // The same into a buffer the caller keeps; the number of bytes copied.
    qint64 GetChunk(char* data, qint64 maxSize);
    // The HTTP status of the response, 0 before it.
    int statusCode() const;
    // Stops the transfer; no further state is reported.
    void Cancel();

    // A transfer that moves no data for this long ends with an error (state 11).
    void setTransferTimeout(int ms) { timeoutMs_ = ms; }
    int transferTimeout() const { return timeoutMs_; }
    // A transfer that delivers fewer than minBytes in any windowMs also ends with an error: a
    // server that sends a byte now and then would otherwise keep it open for ever.
    void setStallLimit(int windowMs, qint64 minBytes);
    int stallWindow() const { return stallWindowMs_; }
    // The most body bytes held in memory before the socket is left unread. Qt's transfer
    // thread hands the body over in pieces of at most this size and waits for each to be
    // taken. Larger pieces wake the threads less often (some 13,000 times per GiB at 1 MiB,
    // 4,000 at 4 MiB) but took no measurable time off a download and added 6 to 20 MB at
    // the peak.
    static constexpr qint64 bufferSize = 1024 * 1024;

signals:
    void StateChanged(int State);
    void dataAvailable();

private:
    void report(int state);
    void hostLookedUp(const QHostInfo& info);
    void startRequest();
    void headersArrived();
    void replyFinished();
    void fail();
    void checkStall();

    QNetworkAccessManager manager_;
    QPointer<QNetworkReply> reply_;
    QUrl url_;
    int lookupId_ = -1;
    int lastState_ = 0;
    bool over_ = false;
    int timeoutMs_ = 30000;

    int stallWindowMs_ = 60000;
    qint64 stallMinBytes_ = 1024;
    QTimer* stallTimer_;
    QElapsedTimer clock_;
    qint64 bytesReceived_ = 0;
    qint64 lastProgress_ = 0;
    // (time, bytes received by then), oldest first, reaching back one window.
    std::deque<std::pair<qint64, qint64>> samples_;
};
