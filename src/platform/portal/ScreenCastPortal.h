#pragma once

#include "platform/portal/PortalRequest.h"
#include "platform/portal/PortalSession.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QPointer>
#include <QVariantMap>

namespace portal {

inline const QString screenCastInterface = QStringLiteral("org.freedesktop.portal.ScreenCast");

// One stream of a started screen cast: its PipeWire node and what the portal says of it
// (position, size, source_type).
struct ScreenCastStreamInfo {
    uint node = 0;
    QVariantMap properties;
};

// The portal's codes for what to share and how to show the pointer.
enum ScreenCastValues : uint {
    MonitorSource = 1,
    CursorMetadata = 4, // the pointer's position travels beside the picture
    PersistUntilRevoked = 2,
};

} // namespace portal

Q_DECLARE_METATYPE(portal::ScreenCastStreamInfo)
QDBusArgument& operator<<(QDBusArgument& argument, const portal::ScreenCastStreamInfo& stream);
const QDBusArgument& operator>>(const QDBusArgument& argument,
                                portal::ScreenCastStreamInfo& stream);

// Asks the desktop, through org.freedesktop.portal.ScreenCast, for one monitor with the pointer
// as metadata, and hands over the PipeWire connection of the stream it grants. The user's
// permission is kept by the portal under a restore token (persist mode 2), so that the user is
// asked once, not at every opening. Closing, or destroying this object, closes the portal's
// session and any question still open.
class ScreenCastPortal final : public QObject {
    Q_OBJECT
public:
    enum class Refusal {
        NoPortal,         // no portal, or one without the screen-cast interface
        NoCursorMetadata, // the portal cannot say where the pointer is
        Cancelled,        // the user said no
        Failed,           // any other end of the conversation
    };

    explicit ScreenCastPortal(QDBusConnection connection, QObject* parent = nullptr);
    ~ScreenCastPortal() override;

    // Starts the conversation; restoreToken is the one a previous grant gave (may be empty).
    void start(const QString& restoreToken);
    void close();

signals:
    // The stream's connection (a PipeWire socket), its node, and the token to restore the
    // permission with next time (empty when the portal gives none).
    void opened(const QDBusUnixFileDescriptor& remote, uint node, const QString& restoreToken);
    void refused(ScreenCastPortal::Refusal why);
    // The portal ended a session that had opened (the user stopped the sharing).
    void closed();

private:
    void onProperties(const QVariantMap& properties);
    void onSessionCreated(const QString& handle);
    void onSourcesSelected(uint response);
    void onStarted(uint response, const QVariantMap& results);
    void refuse(Refusal why);
    PortalRequest* request(const QString& method, const QVariantList& arguments,
                           const QVariantMap& options);

    QDBusConnection connection_;
    QString restoreToken_;
    uint version_ = 0;
    QPointer<PortalSession> session_;
    QPointer<PortalRequest> request_;
    uint node_ = 0;
    QString newToken_;
    bool active_ = false;
};
