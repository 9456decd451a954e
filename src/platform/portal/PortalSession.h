#pragma once

#include "platform/portal/PortalRequest.h"

#include <QDBusConnection>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>

// A portal session (GlobalShortcuts, ScreenCast, ...): made by the interface's CreateSession
// request, alive until either side closes it. The session is closed at the portal when this
// object is destroyed, so nothing outlives its owner.
class PortalSession final : public QObject {
    Q_OBJECT
public:
    explicit PortalSession(QDBusConnection connection, QObject* parent = nullptr);
    ~PortalSession() override;

    // Calls interface.CreateSession(options) with session_handle_token = sessionToken (a fixed
    // token lets a portal recognise the same session across starts; empty: a fresh one).
    // Answers with created() or failed(). One create per object.
    void create(const QString& interface, QVariantMap options, QString sessionToken = {});

    // The session's object path once created, else empty.
    QString handle() const { return handle_; }
    bool isOpen() const { return !handle_.isEmpty(); }
    QDBusConnection connection() const { return connection_; }
    // Asks the portal to close the session (Session.Close); closed() is not emitted for it.
    // A CreateSession still unanswered is cancelled.
    void close();

signals:
    void created(const QString& handle, const QVariantMap& results);
    // The CreateSession request's answer code (portal::Response) and the D-Bus error, if any.
    void failed(uint response, const QString& errorName);
    // The portal closed the session (the user revoked it, the portal ended).
    void closed();

private slots:
    void onClosed();

private:
    void onCreated(uint response, const QVariantMap& results);

    QDBusConnection connection_;
    QPointer<PortalRequest> request_;
    QString handle_;
};
