#include "online/DescriptorFetch.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

DescriptorFetch::Result DescriptorFetch::fetch(const QString& address) const {
    Result result;
    const QUrl url(address.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        result.error = QStringLiteral("not an http or https address: ") + address;
        return result;
    }

    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    QNetworkReply* reply = manager.get(request);

    // A redirect is followed only to another web address, and never from https down to http.
    bool badRedirect = false;
    QString from = scheme;
    QObject::connect(reply, &QNetworkReply::redirected, reply, [&](const QUrl& target) {
        const QString to = target.scheme().toLower();
        const bool web = to == QLatin1String("https") ||
                         (to == QLatin1String("http") && from != QLatin1String("https"));
        if (web && !target.host().isEmpty()) {
            from = to;
            emit reply->redirectAllowed();
        } else {
            badRedirect = true;
            reply->abort();
        }
    });

    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    bool timedOut = false;
    bool tooLarge = false;
    QObject::connect(&limit, &QTimer::timeout, reply, [&] {
        timedOut = true;
        reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [&](qint64 received, qint64) {
        if (received > maxBytes && !tooLarge) {
            tooLarge = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    limit.start(timeLimitMs_);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    limit.stop();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (badRedirect)
        result.error = QStringLiteral("redirected to an address that is not http or https");
    else if (timedOut)
        result.error = QStringLiteral("no answer within %1 ms").arg(timeLimitMs_);
    else if (tooLarge)
        result.error = QStringLiteral("the answer is larger than %1 bytes").arg(maxBytes);
    else if (status != 0 && status != 200)
        result.error = QStringLiteral("HTTP status %1").arg(status);
    else if (reply->error() != QNetworkReply::NoError)
        result.error = reply->errorString();
    else if (status != 200)
        result.error = QStringLiteral("no HTTP status");
    else
        result.body = reply->readAll();
    if (result.ok() && result.body.isEmpty())
        result.error = QStringLiteral("empty answer");
    return result;
}
