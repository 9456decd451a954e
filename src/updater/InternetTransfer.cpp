#include "updater/InternetTransfer.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

InternetTransfer::InternetTransfer(QObject* parent)
    : QObject(parent), stallTimer_(new QTimer(this)) {
    connect(stallTimer_, &QTimer::timeout, this, &InternetTransfer::checkStall);
}

void InternetTransfer::setStallLimit(int windowMs, qint64 minBytes) {
    stallWindowMs_ = qMax(windowMs, 1);
    stallMinBytes_ = minBytes;
}

void InternetTransfer::checkStall() {
    if (over_) {
        stallTimer_->stop();
        return;
    }
    const qint64 now = clock_.elapsed();
    samples_.emplace_back(now, bytesReceived_);
    // The newest sample at least one window old is where the window starts; older ones are
    // no longer needed.
    while (samples_.size() > 1 && samples_[1].first <= now - stallWindowMs_)
        samples_.pop_front();
    const auto& start = samples_.front();
    if (start.first <= now - stallWindowMs_ && bytesReceived_ - start.second < stallMinBytes_)
        fail();
}

InternetTransfer::~InternetTransfer() {
    Cancel();
}

void InternetTransfer::report(int state) {
    if (over_)
        return;
    // The steps before the response are reported once each and in order, even when the
    // network layer signals them again (a redirect connects anew).
    if (state <= icResponseReceived && state <= lastState_)
        return;
    if (state == icError || state == icResponseCompleted)
        over_ = true;
    lastState_ = qMax(lastState_, state);
    emit StateChanged(state);
}

void InternetTransfer::fail() {
    if (over_)
        return;
    stallTimer_->stop();
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
    }
    report(icError);
}

void InternetTransfer::Execute(const QString& url, const QString& verb) {
    Cancel();
    over_ = false;
    lastState_ = 0;
    url_ = QUrl(url, QUrl::StrictMode);
    const QString scheme = url_.scheme().toLower();
    const bool usable = verb.compare(QLatin1String("GET"), Qt::CaseInsensitive) == 0 &&
                        url_.isValid() && !url_.host().isEmpty() &&
                        (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
    // Like the control, report from the event loop, never inside Execute.
    QTimer::singleShot(0, this, [this, usable] {
        if (over_)
            return;
        report(icHostResolvingHost);
        if (!usable) {
            fail();
            return;
        }
        lookupId_ = QHostInfo::lookupHost(url_.host(), this, &InternetTransfer::hostLookedUp);
    });
}

void InternetTransfer::hostLookedUp(const QHostInfo& info) {
    lookupId_ = -1;
    if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
        fail();
        return;
    }
    report(icHostResolved);
    startRequest();
}

void InternetTransfer::startRequest() {
    QNetworkRequest request(url_);
    // The length check counts the bytes as sent: no transparent decompression.
    request.setRawHeader("Accept-Encoding", "identity");
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(timeoutMs_);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    report(icConnecting);
    reply_ = manager_.get(request);
    reply_->setReadBufferSize(bufferSize);
    bytesReceived_ = 0;
    samples_.clear();
    samples_.emplace_back(0, 0);
    clock_.start();
    // Looked at four times a window, so a slow stretch is caught within a quarter of it.
    stallTimer_->start(qMax(stallWindowMs_ / 4, 1));
    lastProgress_ = 0;
    connect(reply_, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64) {
        // Counted across redirects, where each new answer counts from 0 again.
        bytesReceived_ += received >= lastProgress_ ? received - lastProgress_ : received;
        lastProgress_ = received;
    });
    // A redirect is followed only to another web address, and never from https down to http.
    connect(reply_, &QNetworkReply::redirected, this, [this](const QUrl& target) {
        const QString from = url_.scheme().toLower();
        const QString to = target.scheme().toLower();
        const bool web = to == QLatin1String("https") ||
                         (to == QLatin1String("http") && from != QLatin1String("https"));
        if (!web || target.host().isEmpty()) {
            fail();
            return;
        }
        url_ = target;
        emit reply_->redirectAllowed();
    });
    connect(reply_, &QNetworkReply::socketStartedConnecting, this,
            [this] { report(icConnecting); });
    connect(reply_, &QNetworkReply::requestSent, this, [this] {
        // Qt says only that the request went out, which means the connection stood.
        report(icConnected);
        report(icRequesting);
        report(icRequestSent);
        report(icReceivingResponse);
    });
    connect(reply_, &QNetworkReply::metaDataChanged, this, &InternetTransfer::headersArrived);
    connect(reply_, &QNetworkReply::readyRead, this, [this] {
        if (!over_ && lastState_ >= icResponseReceived)
            emit dataAvailable();
    });
    connect(reply_, &QNetworkReply::finished, this, &InternetTransfer::replyFinished);
}

void InternetTransfer::headersArrived() {
    const int status = statusCode();
    if (status >= 300 && status < 400)
        return; // a redirect, followed by the network layer
    if (status < 200 || status > 299) {
        // An error page is not the file asked for.
        fail();
        return;
    }
    report(icConnected);
    report(icRequesting);
    report(icRequestSent);
    report(icReceivingResponse);
    report(icResponseReceived);
}

void InternetTransfer::replyFinished() {
    if (over_ || !reply_)
        return;
    if (reply_->error() != QNetworkReply::NoError || lastState_ < icResponseReceived) {
        fail();
        return;
    }
    stallTimer_->stop();
    report(icDisconnecting);
    report(icDisconnected);
    report(icResponseCompleted);
}

QString InternetTransfer::GetHeader(const QString& name) const {
    if (!reply_ || !reply_->hasRawHeader(name.toLatin1()))
        return {};
    return QString::fromLatin1(reply_->rawHeader(name.toLatin1()));
}

QByteArray InternetTransfer::GetChunk(qint64 maxSize) {
    if (!reply_ || maxSize <= 0)
        return {};
    return reply_->read(maxSize);
}

qint64 InternetTransfer::GetChunk(char* data, qint64 maxSize) {
    if (!reply_ || maxSize <= 0)
        return 0;
    return qMax<qint64>(0, reply_->read(data, maxSize));
}

int InternetTransfer::statusCode() const {
    if (!reply_)
        return 0;
    return reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

void InternetTransfer::Cancel() {
    over_ = true;
    stallTimer_->stop();
    if (lookupId_ >= 0) {
        QHostInfo::abortHostLookup(lookupId_);
        lookupId_ = -1;
    }
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
        reply_ = nullptr;
    }
}
