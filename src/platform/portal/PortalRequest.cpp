#include "platform/portal/PortalRequest.h"

#include <QAtomicInt>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace portal {

QString newToken() {
    static QAtomicInt next;
    return QStringLiteral("vlfonts_%1").arg(next.fetchAndAddRelaxed(1) + 1);
}

namespace {
QString senderPart(const QDBusConnection& connection) {
    QString sender = connection.baseService();
    if (sender.startsWith(QLatin1Char(':')))
        sender.remove(0, 1);
    return sender.replace(QLatin1Char('.'), QLatin1Char('_'));
}
} // namespace

QString requestPath(const QDBusConnection& connection, const QString& token) {
    return objectPath + QStringLiteral("/request/") + senderPart(connection) + QLatin1Char('/') +
           token;
}

QString sessionPath(const QDBusConnection& connection, const QString& token) {
    return objectPath + QStringLiteral("/session/") + senderPart(connection) + QLatin1Char('/') +
           token;
}

} // namespace portal

PortalRequest::PortalRequest(QDBusConnection connection, QObject* parent)
    : QObject(parent), connection_(std::move(connection)) {}

PortalRequest::~PortalRequest() {
    cancel();
}

void PortalRequest::call(const QString& interface, const QString& method,
                         const QVariantList& arguments, QVariantMap options) {
    if (pending_)
        return;
    pending_ = true;
    errorName_.clear();
    errorMessage_.clear();
    if (!connection_.isConnected()) {
        errorName_ = QStringLiteral("org.freedesktop.DBus.Error.NoServer");
        errorMessage_ = QStringLiteral("no session bus");
        // Asynchronous like every other answer, so a caller connects before it arrives.
        QMetaObject::invokeMethod(
            this, [this] { finish(portal::CallFailed, {}); }, Qt::QueuedConnection);
        return;
    }
    const QString token = portal::newToken();
    options.insert(QStringLiteral("handle_token"), token);
    // Listen first: the portal may answer before the method's reply reaches us.
    listen(portal::requestPath(connection_, token));

    QDBusMessage message =
        QDBusMessage::createMethodCall(portal::service, portal::objectPath, interface, method);
    QVariantList all = arguments;
    all.append(options);
    message.setArguments(all);
    // The portal answers the call at once; the user's answer comes through Response.
    auto* watcher = new QDBusPendingCallWatcher(connection_.asyncCall(message), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &PortalRequest::onCallReturned);
}

void PortalRequest::onCallReturned(QDBusPendingCallWatcher* watcher) {
    watcher->deleteLater();
    if (!pending_)
        return;
    QDBusPendingReply<QDBusObjectPath> reply = *watcher;
    if (reply.isError()) {
        errorName_ = reply.error().name();
        errorMessage_ = reply.error().message();
        finish(portal::CallFailed, {});
        return;
    }
    // Portals older than the handle_token convention name the request themselves.
    const QString given = reply.value().path();
    if (!given.isEmpty() && given != listening_)
        listen(given);
}

void PortalRequest::listen(const QString& path) {
    stopListening();
    handle_ = path;
    listening_ = path;
    connection_.connect(portal::service, path, portal::requestInterface, QStringLiteral("Response"),
                        this, SLOT(onResponse(uint, QVariantMap)));
}

void PortalRequest::stopListening() {
    if (listening_.isEmpty())
        return;
    connection_.disconnect(portal::service, listening_, portal::requestInterface,
                           QStringLiteral("Response"), this, SLOT(onResponse(uint, QVariantMap)));
    listening_.clear();
}

void PortalRequest::onResponse(uint response, const QVariantMap& results) {
    if (pending_)
        finish(response, results);
}

void PortalRequest::finish(uint response, const QVariantMap& results) {
    pending_ = false;
    stopListening();
    emit finished(response, results);
}

void PortalRequest::cancel() {
    if (!pending_)
        return;
    pending_ = false;
    stopListening();
    if (!handle_.isEmpty() && connection_.isConnected())
        connection_.asyncCall(QDBusMessage::createMethodCall(
            portal::service, handle_, portal::requestInterface, QStringLiteral("Close")));
}
