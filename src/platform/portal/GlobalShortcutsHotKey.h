#pragma once

#include "platform/HotKey.h"

#include <QDBusConnection>
#include <QPointer>

class PortalSession;
class PortalRequest;
class QDBusMessage;

// Ctrl+Alt+F through the desktop portal's GlobalShortcuts interface: one session with a fixed
// token, so the desktop keeps the user's binding across starts. The shortcut is offered in
// CreateSession's options (what KDE Plasma 5.27 reads and binds) and, where the session's answer
// does not list it as bound, through BindShortcuts (the documented way); the portal's Activated
// signal for our session and shortcut is a press.
class GlobalShortcutsHotKey final : public HotKey {
    Q_OBJECT
public:
    static inline const QString interface =
        QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
    static inline const QString sessionToken = QStringLiteral("vlfonts_hotkey");
    static inline const QString shortcutId = QStringLiteral("activate-main-window");
    static inline const QString preferredTrigger = QStringLiteral("CTRL+ALT+f");

    explicit GlobalShortcutsHotKey(QDBusConnection connection, QObject* parent = nullptr);
    ~GlobalShortcutsHotKey() override;

    void start(const QString& description) override;

private slots:
    void onActivated(const QDBusMessage& message);

private:
    void onSessionCreated(const QString& handle, const QVariantMap& results);
    void onBound(uint response, const QVariantMap& results);
    void onListed(uint response, const QVariantMap& results);
    QVariant shortcuts() const;
    bool listsOurs(const QVariantMap& results) const;

    QDBusConnection connection_;
    PortalSession* session_ = nullptr;
    QPointer<PortalRequest> request_;
    QString description_;
    bool listening_ = false;
};
