#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <functional>
#include <optional>

// A desktop portal on the test's own session bus: it owns org.freedesktop.portal.Desktop
// through a connection of its own, records every call, and answers the request methods it was
// given a handler for as the real portal does (the method returns the Request handle, the
// answer comes later as the Request's Response signal). Methods it has no handler for fail with
// UnknownMethod, as on a portal without that interface.
class FakePortal final : public QDBusVirtualObject {
    Q_OBJECT
public:
    struct Call {
        QString interface;
        QString method;
        QString path;
        QVariantList arguments;
        QVariantMap options;   // the last a{sv} argument of a request method
        QString requestHandle; // the Request path of a request method
        QDBusMessage message;
    };
    struct Answer {
        uint response = 0;
        QVariantMap results;
    };
    // Answers a request method; nullopt leaves the request open (answer later with respond()).
    using RequestHandler = std::function<std::optional<Answer>(const Call&)>;
    // Answers a plain method with its reply message.
    using CallHandler = std::function<QDBusMessage(const Call&)>;

    FakePortal();
    ~FakePortal() override;

    // False when the name could not be had (another portal owns it).
    bool registered() const { return registered_; }
    QDBusConnection connection() const { return connection_; }

    void onRequest(const QString& interface, const QString& method, RequestHandler handler);
    void onCall(const QString& interface, const QString& method, CallHandler handler);
    // The usual CreateSession: success, with the session handle made from session_handle_token
    // and whatever else the portal's answer should carry.
    void acceptSessions(const QString& interface, const QVariantMap& moreResults = {});

    // Sends the Response of an open request.
    void respond(const QString& requestHandle, uint response, const QVariantMap& results = {});
    // Emits a signal of the portal's main object (Activated, ...).
    void emitSignal(const QString& interface, const QString& name, const QVariantList& arguments);
    // Closes a session from the portal's side (Session.Closed).
    void closeSession(const QString& sessionHandle);

    QList<Call> calls;
    QStringList closedRequests; // Request.Close received
    QStringList closedSessions; // Session.Close received
    QStringList sessions;       // handles of the sessions made
    QList<Call> callsOf(const QString& method) const;

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    void dispatch(const QDBusMessage& message);

    QDBusConnection connection_;
    bool registered_ = false;
    QMap<QString, RequestHandler> requestHandlers_;
    QMap<QString, CallHandler> callHandlers_;
};
