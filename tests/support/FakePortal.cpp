#include "FakePortal.h"

#include "platform/portal/PortalRequest.h"

#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QTimer>
#include <QUuid>

namespace {
QString key(const QString& interface, const QString& method) {
    return interface + QLatin1Char('.') + method;
}

QString senderPart(QString sender) {
    if (sender.startsWith(QLatin1Char(':')))
        sender.remove(0, 1);
    return sender.replace(QLatin1Char('.'), QLatin1Char('_'));
}
} // namespace

FakePortal::FakePortal()
    : connection_(QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                                QStringLiteral("fake-portal-") +
                                                    QUuid::createUuid().toString(QUuid::Id128))) {
    registered_ =
        connection_.isConnected() &&
        connection_.registerVirtualObject(portal::objectPath, this, QDBusConnection::SubPath) &&
        connection_.registerService(portal::service);
}

FakePortal::~FakePortal() {
    connection_.unregisterService(portal::service);
    connection_.unregisterObject(portal::objectPath, QDBusConnection::UnregisterTree);
    QDBusConnection::disconnectFromBus(connection_.name());
}

void FakePortal::onRequest(const QString& interface, const QString& method,
                           RequestHandler handler) {
    requestHandlers_.insert(key(interface, method), std::move(handler));
}

void FakePortal::onCall(const QString& interface, const QString& method, CallHandler handler) {
    callHandlers_.insert(key(interface, method), std::move(handler));
}

void FakePortal::acceptSessions(const QString& interface, const QVariantMap& moreResults) {
    onRequest(interface, QStringLiteral("CreateSession"), [this, moreResults](const Call& call) {
        const QString handle =
            portal::objectPath + QStringLiteral("/session/") + senderPart(call.message.service()) +
            QLatin1Char('/') +
            call.options.value(QStringLiteral("session_handle_token")).toString();
        sessions.append(handle);
        QVariantMap results = moreResults;
        results.insert(QStringLiteral("session_handle"),
                       QVariant::fromValue(QDBusObjectPath(handle)));
        return Answer{0, results};
    });
}

QList<FakePortal::Call> FakePortal::callsOf(const QString& method) const {
    QList<Call> found;
    for (const Call& call : calls)
        if (call.method == method)
            found.append(call);
    return found;
}

void FakePortal::respond(const QString& requestHandle, uint response, const QVariantMap& results) {
    QDBusMessage signal = QDBusMessage::createSignal(requestHandle, portal::requestInterface,
                                                     QStringLiteral("Response"));
    signal << response << results;
    connection_.send(signal);
}

void FakePortal::emitSignal(const QString& interface, const QString& name,
                            const QVariantList& arguments) {
    QDBusMessage signal = QDBusMessage::createSignal(portal::objectPath, interface, name);
    signal.setArguments(arguments);
    connection_.send(signal);
}

void FakePortal::closeSession(const QString& sessionHandle) {
    connection_.send(QDBusMessage::createSignal(sessionHandle, portal::sessionInterface,
                                                QStringLiteral("Closed")));
}

QString FakePortal::introspect(const QString&) const {
    return {};
}

bool FakePortal::handleMessage(const QDBusMessage& message, const QDBusConnection&) {
    // QtDBus may call this on its own thread; the test reads calls on the main one.
    QMetaObject::invokeMethod(
        this, [this, message] { dispatch(message); }, Qt::QueuedConnection);
    return true;
}

void FakePortal::dispatch(const QDBusMessage& message) {
    QDBusConnection& connection = connection_;
    Call call{message.interface(),
              message.member(),
              message.path(),
              message.arguments(),
              {},
              {},
              message};
    calls.append(call);
    if (message.member() == QLatin1String("Close") && message.path() != portal::objectPath) {
        (message.interface() == portal::sessionInterface ? closedSessions : closedRequests)
            .append(message.path());
        connection.send(message.createReply());
        return;
    }
    const QString name = key(message.interface(), message.member());
    if (const auto found = callHandlers_.find(name); found != callHandlers_.end()) {
        connection.send(found.value()(call));
        return;
    }
    const auto found = requestHandlers_.find(name);
    if (found == requestHandlers_.end()) {
        connection.send(
            message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"),
                                     QStringLiteral("No such interface or method: %1").arg(name)));
        return;
    }
    if (!call.arguments.isEmpty())
        call.options = qdbus_cast<QVariantMap>(call.arguments.last());
    call.requestHandle = portal::objectPath + QStringLiteral("/request/") +
                         senderPart(message.service()) + QLatin1Char('/') +
                         call.options.value(QStringLiteral("handle_token")).toString();
    calls.last() = call;
    connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(call.requestHandle))));
    // The answer comes after the reply, as from a portal that asked the user first.
    const std::optional<Answer> answer = found.value()(call);
    if (answer) {
        const QString handle = call.requestHandle;
        const Answer given = *answer;
        QTimer::singleShot(
            0, this, [this, handle, given] { respond(handle, given.response, given.results); });
    }
}
