#pragma once

#include "platform/DesktopSession.h"

#include <QObject>
#include <QString>
#include <memory>

class QWidget;

// The activation key Ctrl+Alt+F anywhere on the desktop. Which way it is had is chosen once,
// at start, from the session: a key grab on a real X server, a GlobalShortcuts portal session
// on any Wayland session (native or XWayland), else nothing beyond the application shortcut
// that the main window keeps for itself. Start-up never waits for it or fails because of it.
class HotKey : public QObject {
    Q_OBJECT
public:
    enum class Reach {
        Asking,          // start() not called yet, or the desktop has not answered
        Desktop,         // the key works whichever program has the focus
        ApplicationOnly, // no global key could be had: the key works only inside the program
    };

    using QObject::QObject;

    // Starts listening for the key. description says what the key does, in the interface
    // language; a portal may show it to the user. Once per object.
    virtual void start(const QString& description) = 0;
    Reach reach() const { return reach_; }

    // The way of today's session: the X11 grab, the GlobalShortcuts portal on the session bus,
    // or the application shortcut alone.
    static std::unique_ptr<HotKey> forSession(DesktopSession session);

    // Brings window to the front and gives it the focus, from the background too. Where the
    // compositor refuses to raise an existing window (Wayland without an activation token),
    // the window is hidden and shown again: a new mapping takes the focus. A hidden window
    // stays hidden.
    static void bringToFront(QWidget* window, DesktopSession session = desktopsession::current());

signals:
    // The key was pressed (wherever the focus was).
    void pressed();
    // Once, when it is known whether the key works everywhere.
    void reachSettled(HotKey::Reach reach);

protected:
    void settle(Reach reach);

private:
    Reach reach_ = Reach::Asking;
};

// No global key on this desktop: the application shortcut alone.
class ApplicationOnlyHotKey final : public HotKey {
    Q_OBJECT
public:
    using HotKey::HotKey;
    void start(const QString& description) override;
};
