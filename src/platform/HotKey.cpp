#include "platform/HotKey.h"

#include "platform/X11GrabHotKey.h"
#include "platform/portal/GlobalShortcutsHotKey.h"

#include <QDBusConnection>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <cstring>
#include <xcb/xcb.h>

namespace {
xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const auto cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return found;
}

// Qt asks for the focus with the time of the last X event it saw, which the X server and
// window managers ignore when the focus moved since; a key that came through the portal brought
// no X event. So the window is activated "now": by the window manager, told it is the user's
// wish as a pager's request is; without one, by setting the input focus directly.
void activateOnX11(QWidget* window) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) {
        window->activateWindow();
        return;
    }
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const xcb_atom_t check = atom(connection, "_NET_SUPPORTING_WM_CHECK");
    auto cookie = xcb_get_property(connection, 0, root, check, XCB_ATOM_WINDOW, 0, 1);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
    const bool windowManager = reply && xcb_get_property_value_length(reply) > 0;
    free(reply);
    if (windowManager) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = id;
        event.type = atom(connection, "_NET_ACTIVE_WINDOW");
        event.data.data32[0] = 2; // source: a pager, acting for the user
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(connection, 0, root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
    } else {
        xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT, id, XCB_CURRENT_TIME);
    }
    xcb_flush(connection);
}
} // namespace

void HotKey::settle(Reach reach) {
    if (reach_ != Reach::Asking || reach == Reach::Asking)
        return;
    reach_ = reach;
    emit reachSettled(reach);
}

void ApplicationOnlyHotKey::start(const QString&) {
    // Told after start() returns, as the other ways tell, so a caller connected afterwards hears.
    QTimer::singleShot(0, this, [this] { settle(Reach::ApplicationOnly); });
}

std::unique_ptr<HotKey> HotKey::forSession(DesktopSession session) {
    switch (session) {
    case DesktopSession::X11:
        return std::make_unique<X11GrabHotKey>();
    case DesktopSession::WaylandNative:
    case DesktopSession::XWayland:
        // An X11 grab under XWayland sees keys only while an X11 window has the focus.
        return std::make_unique<GlobalShortcutsHotKey>(QDBusConnection::sessionBus());
    }
    return std::make_unique<ApplicationOnlyHotKey>();
}

void HotKey::bringToFront(QWidget* window, DesktopSession session) {
    if (!window || !window->isVisible())
        return;
    if (window->isMinimized())
        window->showNormal();
    // Under XWayland the X server keeps its focus on our window while a Wayland window has the
    // compositor's, so only a real X server's word that the window is active counts.
    if (session != DesktopSession::XWayland && window->isActiveWindow()) {
        window->raise();
        return;
    }
    if (session == DesktopSession::WaylandNative) {
        // A Wayland compositor gives the focus to a window that asks only with a token from
        // the user's last action, which a global key does not bring; a window mapped anew gets
        // it. The window keeps its size; the compositor places it.
        window->hide();
        window->show();
        return;
    }
    window->raise();
    activateOnX11(window);
}
