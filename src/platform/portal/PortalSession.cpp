#include "platform/portal/PortalSession.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>

PortalSession::PortalSession(QDBusConnection connection, QObject* parent)
    : QObject(parent), connection_(std::move(connection)) {}

PortalSession::~PortalSession() {
    close();
}

void PortalSession::create(const QString& interface, QVariantMap options, QString sessionToken) {
    if (request_ || isOpen())
        return;
    if (sessionToken.isEmpty())
        sessionToken = portal::newToken();
    options.insert(QStringLiteral("session_handle_token"), sessionToken);
    request_ = new PortalRequest(connection_, this);
    connect(request_, &PortalRequest::finished, this, &PortalSession::onCreated);
    request_->call(interface, QStringLiteral("CreateSession"), {}, options);
}

void PortalSession::onCreated(uint response, const QVariantMap& results) {
    const QString errorName = request_ ? request_->errorName() : QString();
    if (request_)
        request_->deleteLater();
    request_.clear();
    if (response != portal::Success) {
        emit failed(response, errorName);
        return;
    }
    // An object path by the portal's documentation; some portals send it as a string.
    const QVariant value = results.value(QStringLiteral("session_handle"));
    const QString handle = value.userType() == qMetaTypeId<QDBusObjectPath>()
                               ? value.value<QDBusObjectPath>().path()
                               : value.toString();
    if (handle.isEmpty()) {
        emit failed(portal::Ended, QString());
        return;
    }
    handle_ = handle;
    connection_.connect(portal::service, handle_, portal::sessionInterface,
                        QStringLiteral("Closed"), this, SLOT(onClosed()));
    emit created(handle_, results);
}

void PortalSession::onClosed() {
    if (handle_.isEmpty())
        return;
    connection_.disconnect(portal::service, handle_, portal::sessionInterface,
                           QStringLiteral("Closed"), this, SLOT(onClosed()));
    handle_.clear();
    emit closed();
}

void PortalSession::close() {
    if (request_) {
        request_->cancel();
        delete request_;
    }
    if (handle_.isEmpty())
        return;
    connection_.disconnect(portal::service, handle_, portal::sessionInterface,
                           QStringLiteral("Closed"), this, SLOT(onClosed()));
    if (connection_.isConnected())
        connection_.asyncCall(QDBusMessage::createMethodCall(
            portal::service, handle_, portal::sessionInterface, QStringLiteral("Close")));
    handle_.clear();
}
