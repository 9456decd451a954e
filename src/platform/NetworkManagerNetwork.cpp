#include "platform/NetworkManagerNetwork.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QNetworkInformation>
#include <QProcess>

namespace {

const QString service = QStringLiteral("org.freedesktop.NetworkManager");
const QString rootPath = QStringLiteral("/org/freedesktop/NetworkManager");

bool managerPresent() {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return false;
    QDBusReply<bool> reply = bus.interface()->isServiceRegistered(service);
    return reply.isValid() && reply.value();
}

QVariant property(const QString& path, const QString& interface, const QString& name) {
    QDBusInterface props(service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                         QDBusConnection::systemBus());
    QDBusReply<QDBusVariant> reply = props.call(QStringLiteral("Get"), interface, name);
    return reply.isValid() ? reply.value().variant() : QVariant();
}

QList<QDBusObjectPath> pathList(const QVariant& value) {
    QList<QDBusObjectPath> paths;
    if (value.canConvert<QDBusArgument>()) {
        const QDBusArgument arg = value.value<QDBusArgument>();
        arg >> paths;
    } else {
        paths = qdbus_cast<QList<QDBusObjectPath>>(value);
    }
    return paths;
}

} // namespace

QStringList NetworkManagerNetwork::phoneBook() {
    QStringList names;
    if (!managerPresent())
        return names;
    QDBusInterface settings(service, rootPath + QStringLiteral("/Settings"),
                            QStringLiteral("org.freedesktop.NetworkManager.Settings"),
                            QDBusConnection::systemBus());
    QDBusReply<QList<QDBusObjectPath>> reply = settings.call(QStringLiteral("ListConnections"));
    if (!reply.isValid())
        return names;
    for (const QDBusObjectPath& path : reply.value()) {
        QDBusInterface connection(
            service, path.path(),
            QStringLiteral("org.freedesktop.NetworkManager.Settings.Connection"),
            QDBusConnection::systemBus());
        QDBusMessage answer = connection.call(QStringLiteral("GetSettings"));
        if (answer.type() != QDBusMessage::ReplyMessage || answer.arguments().isEmpty())
            continue;
        const QDBusArgument arg = answer.arguments().first().value<QDBusArgument>();
        QMap<QString, QVariantMap> map;
        arg >> map;
        const QString id =
            map.value(QStringLiteral("connection")).value(QStringLiteral("id")).toString();
        if (!id.isEmpty())
            names.append(id);
    }
    return names;
}

QStringList NetworkManagerNetwork::activeConnections() {
    QStringList names;
    if (!managerPresent())
        return names;
    const auto paths = pathList(property(rootPath, QStringLiteral("org.freedesktop.NetworkManager"),
                                         QStringLiteral("ActiveConnections")));
    for (const QDBusObjectPath& path : paths) {
        const QString id =
            property(path.path(),
                     QStringLiteral("org.freedesktop.NetworkManager.Connection.Active"),
                     QStringLiteral("Id"))
                .toString();
        if (!id.isEmpty())
            names.append(id);
    }
    return names;
}

Network::Online NetworkManagerNetwork::online() {
    if (managerPresent()) {
        // NM_CONNECTIVITY: 0 unknown, 1 none, 2 portal, 3 limited, 4 full.
        const QVariant value = property(rootPath, QStringLiteral("org.freedesktop.NetworkManager"),
                                        QStringLiteral("Connectivity"));
        if (value.isValid()) {
            switch (value.toUInt()) {
            case 1:
                return Online::No;
            case 2:
            case 3:
            case 4:
                return Online::Yes;
            default:
                return Online::Unknown;
            }
        }
    }
    if (QNetworkInformation::loadDefaultBackend() && QNetworkInformation::instance()) {
        switch (QNetworkInformation::instance()->reachability()) {
        case QNetworkInformation::Reachability::Disconnected:
            return Online::No;
        case QNetworkInformation::Reachability::Online:
        case QNetworkInformation::Reachability::Site:
        case QNetworkInformation::Reachability::Local:
            return Online::Yes;
        default:
            return Online::Unknown;
        }
    }
    return Online::Unknown;
}

bool NetworkManagerNetwork::connectTo(const QString& name) {
    return QProcess::startDetached(
        QStringLiteral("nmcli"),
        {QStringLiteral("connection"), QStringLiteral("up"), QStringLiteral("id"), name});
}
