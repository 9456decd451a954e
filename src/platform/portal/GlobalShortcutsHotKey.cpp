#include "platform/portal/GlobalShortcutsHotKey.h"

#include "platform/portal/PortalRequest.h"
#include "platform/portal/PortalSession.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>

namespace {
// One element of the portal's a(sa{sv}) shortcut lists.
struct Shortcut {
    QString id;
    QVariantMap properties;
};
using Shortcuts = QList<Shortcut>;
} // namespace

Q_DECLARE_METATYPE(Shortcut)
Q_DECLARE_METATYPE(Shortcuts)

namespace {
QDBusArgument& operator<<(QDBusArgument& argument, const Shortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, Shortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

void registerTypes() {
    static const bool done = [] {
        qDBusRegisterMetaType<Shortcut>();
        qDBusRegisterMetaType<Shortcuts>();
        return true;
    }();
    Q_UNUSED(done);
}
} // namespace

GlobalShortcutsHotKey::GlobalShortcutsHotKey(QDBusConnection connection, QObject* parent)
    : HotKey(parent), connection_(std::move(connection)) {
    registerTypes();
}

GlobalShortcutsHotKey::~GlobalShortcutsHotKey() {
    if (listening_)
        connection_.disconnect(portal::service, portal::objectPath, interface,
                               QStringLiteral("Activated"), this, SLOT(onActivated(QDBusMessage)));
}

QVariant GlobalShortcutsHotKey::shortcuts() const {
    const Shortcuts list{Shortcut{shortcutId,
                                  {{QStringLiteral("description"), description_},
                                   {QStringLiteral("preferred_trigger"), preferredTrigger}}}};
    return QVariant::fromValue(list);
}

void GlobalShortcutsHotKey::start(const QString& description) {
    if (session_)
        return;
    description_ = description;
    // Listening before the session exists: a press right after binding is not lost.
    listening_ =
        connection_.connect(portal::service, portal::objectPath, interface,
                            QStringLiteral("Activated"), this, SLOT(onActivated(QDBusMessage)));
    session_ = new PortalSession(connection_, this);
    connect(session_, &PortalSession::created, this, &GlobalShortcutsHotKey::onSessionCreated);
    connect(session_, &PortalSession::failed, this,
            [this](uint, const QString&) { settle(Reach::ApplicationOnly); });
    session_->create(interface, {{QStringLiteral("shortcuts"), shortcuts()}}, sessionToken);
}

void GlobalShortcutsHotKey::onSessionCreated(const QString&, const QVariantMap& results) {
    // KDE Plasma 5.27 binds the shortcuts CreateSession carried and says so in its answer; its
    // BindShortcuts would open the system settings' shortcut page at every start.
    if (listsOurs(results)) {
        settle(Reach::Desktop);
        return;
    }
    request_ = new PortalRequest(connection_, this);
    connect(request_, &PortalRequest::finished, this, &GlobalShortcutsHotKey::onBound);
    request_->call(
        interface, QStringLiteral("BindShortcuts"),
        {QVariant::fromValue(QDBusObjectPath(session_->handle())), shortcuts(), QString()});
}

bool GlobalShortcutsHotKey::listsOurs(const QVariantMap& results) const {
    const QVariant value = results.value(QStringLiteral("shortcuts"));
    if (value.userType() != qMetaTypeId<QDBusArgument>())
        return false;
    const Shortcuts listed = qdbus_cast<Shortcuts>(value.value<QDBusArgument>());
    return std::any_of(listed.begin(), listed.end(),
                       [](const Shortcut& shortcut) { return shortcut.id == shortcutId; });
}

void GlobalShortcutsHotKey::onBound(uint response, const QVariantMap& results) {
    request_->deleteLater();
    if (response == portal::Success && listsOurs(results)) {
        settle(Reach::Desktop);
        return;
    }
    // A portal may have bound it without saying so here; what it holds for the session says
    // whether the key is ours.
    request_ = new PortalRequest(connection_, this);
    connect(request_, &PortalRequest::finished, this, &GlobalShortcutsHotKey::onListed);
    request_->call(interface, QStringLiteral("ListShortcuts"),
                   {QVariant::fromValue(QDBusObjectPath(session_->handle()))});
}

void GlobalShortcutsHotKey::onListed(uint response, const QVariantMap& results) {
    request_->deleteLater();
    settle(response == portal::Success && listsOurs(results) ? Reach::Desktop
                                                             : Reach::ApplicationOnly);
}

void GlobalShortcutsHotKey::onActivated(const QDBusMessage& message) {
    // Activated(o session_handle, s shortcut_id, t timestamp, a{sv} options)
    const QVariantList arguments = message.arguments();
    if (arguments.size() < 2 || !session_ || !session_->isOpen())
        return;
    if (arguments.at(0).value<QDBusObjectPath>().path() != session_->handle() ||
        arguments.at(1).toString() != shortcutId)
        return;
    emit pressed();
}
