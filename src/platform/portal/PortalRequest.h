#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

class QDBusPendingCallWatcher;

// The XDG desktop portal's names, and the tokens its handles are made of.
namespace portal {

inline const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
inline const QString objectPath = QStringLiteral("/org/freedesktop/portal/desktop");
inline const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");
inline const QString sessionInterface = QStringLiteral("org.freedesktop.portal.Session");

// A token no other request or session of this process uses: "vlfonts_<n>".
QString newToken();
// The handle the portal gives a request or a session made with token by this connection:
// /org/freedesktop/portal/desktop/{request,session}/<sender without ':' and '.'→'_'>/<token>.
QString requestPath(const QDBusConnection& connection, const QString& token);
QString sessionPath(const QDBusConnection& connection, const QString& token);

// The portal's answer codes, and one of ours for a call the portal never took.
enum Response : uint {
    Success = 0,
    Cancelled = 1, // the user said no
    Ended = 2,     // the portal ended the conversation some other way
    CallFailed = 3 // no portal, no such interface or method, or the call was refused
};

} // namespace portal

// One question to the portal, as the portal's request/response pattern asks it: the method is
// called with a handle_token, the Request object's Response signal is listened to before the
// call is made (so a quick answer is never lost), and the answer arrives through finished().
// A request still open when cancelled or destroyed is closed at the portal.
class PortalRequest final : public QObject {
    Q_OBJECT
public:
    explicit PortalRequest(QDBusConnection connection, QObject* parent = nullptr);
    ~PortalRequest() override;

    // Calls interface.method(arguments..., options) on the portal, options being the method's
    // last argument and receiving a fresh handle_token. One call per request object.
    void call(const QString& interface, const QString& method, const QVariantList& arguments,
              QVariantMap options = {});

    // Closes the question at the portal (its dialog goes away); finished() is not emitted.
    void cancel();

    bool pending() const { return pending_; }
    // The Request object's path once known (the expected one until the call returns).
    QString handle() const { return handle_; }
    // The D-Bus error of a CallFailed answer.
    QString errorName() const { return errorName_; }
    QString errorMessage() const { return errorMessage_; }

signals:
    // Exactly once per call(), unless cancelled: the portal's code (or CallFailed) and results.
    void finished(uint response, const QVariantMap& results);

private slots:
    void onResponse(uint response, const QVariantMap& results);

private:
    void listen(const QString& path);
    void stopListening();
    void onCallReturned(QDBusPendingCallWatcher* watcher);
    void finish(uint response, const QVariantMap& results);

    QDBusConnection connection_;
    QString handle_;
    QString listening_;
    bool pending_ = false;
    QString errorName_;
    QString errorMessage_;
};
