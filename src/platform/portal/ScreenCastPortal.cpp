#include "platform/portal/ScreenCastPortal.h"

#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

QDBusArgument& operator<<(QDBusArgument& argument, const portal::ScreenCastStreamInfo& stream) {
    argument.beginStructure();
    argument << stream.node << stream.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument,
                                portal::ScreenCastStreamInfo& stream) {
    argument.beginStructure();
    argument >> stream.node >> stream.properties;
    argument.endStructure();
    return argument;
}

ScreenCastPortal::ScreenCastPortal(QDBusConnection connection, QObject* parent)
    : QObject(parent), connection_(std::move(connection)) {
    qDBusRegisterMetaType<portal::ScreenCastStreamInfo>();
    qDBusRegisterMetaType<QList<portal::ScreenCastStreamInfo>>();
}

ScreenCastPortal::~ScreenCastPortal() {
    close();
}

void ScreenCastPortal::close() {
    active_ = false;
    // Later deletion: this may run inside one of their own signals.
    if (request_) {
        request_->cancel();
        request_->deleteLater();
        request_.clear();
    }
    if (session_) {
        session_->close();
        session_->deleteLater();
        session_.clear();
    }
}

void ScreenCastPortal::refuse(Refusal why) {
    close();
    emit refused(why);
}

void ScreenCastPortal::start(const QString& restoreToken) {
    close();
    active_ = true;
    restoreToken_ = restoreToken;
    newToken_.clear();
    // What the portal offers comes first: without cursor metadata the pointer is unknown.
    QDBusMessage message = QDBusMessage::createMethodCall(
        portal::service, portal::objectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("GetAll"));
    message << portal::screenCastInterface;
    auto* watcher = new QDBusPendingCallWatcher(connection_.asyncCall(message), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (!active_)
            return;
        QDBusPendingReply<QVariantMap> reply = *w;
        if (reply.isError()) {
            refuse(Refusal::NoPortal);
            return;
        }
        onProperties(reply.value());
    });
}

void ScreenCastPortal::onProperties(const QVariantMap& properties) {
    const uint sources = properties.value(QStringLiteral("AvailableSourceTypes")).toUInt();
    const uint cursors = properties.value(QStringLiteral("AvailableCursorModes")).toUInt();
    version_ = properties.value(QStringLiteral("version")).toUInt();
    // An empty answer: a portal without this interface.
    if (!(sources & portal::MonitorSource)) {
        refuse(Refusal::NoPortal);
        return;
    }
    if (!(cursors & portal::CursorMetadata)) {
        refuse(Refusal::NoCursorMetadata);
        return;
    }
    session_ = new PortalSession(connection_, this);
    connect(session_, &PortalSession::created, this,
            [this](const QString& handle) { onSessionCreated(handle); });
    connect(session_, &PortalSession::failed, this, [this](uint response) {
        refuse(response == portal::Cancelled ? Refusal::Cancelled : Refusal::Failed);
    });
    connect(session_, &PortalSession::closed, this, [this] {
        const bool wasOpen = node_ != 0;
        close();
        if (wasOpen)
            emit closed();
        else
            emit refused(Refusal::Failed);
    });
    node_ = 0;
    session_->create(portal::screenCastInterface, {});
}

PortalRequest* ScreenCastPortal::request(const QString& method, const QVariantList& arguments,
                                         const QVariantMap& options) {
    request_ = new PortalRequest(connection_, this);
    request_->call(portal::screenCastInterface, method, arguments, options);
    return request_;
}

void ScreenCastPortal::onSessionCreated(const QString& handle) {
    QVariantMap options{{QStringLiteral("types"), uint(portal::MonitorSource)},
                        {QStringLiteral("multiple"), false},
                        {QStringLiteral("cursor_mode"), uint(portal::CursorMetadata)}};
    // Remembering the permission came with version 4 of the interface.
    if (version_ >= 4) {
        options.insert(QStringLiteral("persist_mode"), uint(portal::PersistUntilRevoked));
        if (!restoreToken_.isEmpty())
            options.insert(QStringLiteral("restore_token"), restoreToken_);
    }
    PortalRequest* r = request(QStringLiteral("SelectSources"),
                               {QVariant::fromValue(QDBusObjectPath(handle))}, options);
    connect(r, &PortalRequest::finished, this, [this, r](uint response) {
        r->deleteLater();
        onSourcesSelected(response);
    });
}

void ScreenCastPortal::onSourcesSelected(uint response) {
    if (response != portal::Success) {
        refuse(response == portal::Cancelled ? Refusal::Cancelled : Refusal::Failed);
        return;
    }
    if (!session_)
        return;
    // No parent window: a Wayland client has no handle to give for it.
    PortalRequest* r =
        request(QStringLiteral("Start"),
                {QVariant::fromValue(QDBusObjectPath(session_->handle())), QString()}, {});
    connect(r, &PortalRequest::finished, this,
            [this, r](uint response, const QVariantMap& results) {
                r->deleteLater();
                onStarted(response, results);
            });
}

void ScreenCastPortal::onStarted(uint response, const QVariantMap& results) {
    if (response != portal::Success) {
        refuse(response == portal::Cancelled ? Refusal::Cancelled : Refusal::Failed);
        return;
    }
    QList<portal::ScreenCastStreamInfo> streams;
    const QVariant given = results.value(QStringLiteral("streams"));
    if (given.canConvert<QDBusArgument>())
        given.value<QDBusArgument>() >> streams;
    if (streams.isEmpty() || !session_) {
        refuse(Refusal::Failed);
        return;
    }
    node_ = streams.first().node;
    newToken_ = results.value(QStringLiteral("restore_token")).toString();

    QDBusMessage message = QDBusMessage::createMethodCall(portal::service, portal::objectPath,
                                                          portal::screenCastInterface,
                                                          QStringLiteral("OpenPipeWireRemote"));
    message << QVariant::fromValue(QDBusObjectPath(session_->handle())) << QVariantMap();
    auto* watcher = new QDBusPendingCallWatcher(connection_.asyncCall(message), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (!active_)
            return;
        QDBusPendingReply<QDBusUnixFileDescriptor> reply = *w;
        if (reply.isError() || !reply.value().isValid()) {
            refuse(Refusal::Failed);
            return;
        }
        emit opened(reply.value(), node_, newToken_);
    });
}
