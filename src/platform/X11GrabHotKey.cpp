#include "platform/X11GrabHotKey.h"

#include <QGuiApplication>
#include <QTimer>
#include <xcb/xcb.h>

namespace {
constexpr xcb_keysym_t keysymF = 0x0066; // XK_f
constexpr uint16_t wanted = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
// Caps Lock and Num Lock (usually Mod2) must not stop the key from working.
constexpr uint16_t lockMasks[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                  XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};

xcb_connection_t* x11Connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

unsigned keycodeFor(xcb_connection_t* connection, xcb_keysym_t keysym) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const auto first = setup->min_keycode;
    const int count = setup->max_keycode - first + 1;
    auto cookie = xcb_get_keyboard_mapping(connection, first, static_cast<uint8_t>(count));
    xcb_get_keyboard_mapping_reply_t* reply =
        xcb_get_keyboard_mapping_reply(connection, cookie, nullptr);
    if (!reply)
        return 0;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
    const int perCode = reply->keysyms_per_keycode;
    unsigned found = 0;
    for (int code = 0; code < count && !found; ++code)
        for (int i = 0; i < perCode; ++i)
            if (syms[code * perCode + i] == keysym || syms[code * perCode + i] == keysym - 0x20) {
                found = first + code;
                break;
            }
    free(reply);
    return found;
}
} // namespace

X11GrabHotKey::~X11GrabHotKey() {
    ungrab();
    if (filtering_ && qGuiApp)
        qGuiApp->removeNativeEventFilter(this);
}

void X11GrabHotKey::start(const QString&) {
    const bool grabbed = grab();
    // Told after start() returns, as a portal's answer is.
    QTimer::singleShot(
        0, this, [this, grabbed] { settle(grabbed ? Reach::Desktop : Reach::ApplicationOnly); });
}

bool X11GrabHotKey::grab() {
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return false;
    keycode_ = keycodeFor(connection, keysymF);
    if (!keycode_)
        return false;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    bool ok = true;
    for (uint16_t lock : lockMasks) {
        auto cookie = xcb_grab_key_checked(connection, 1, root, wanted | lock,
                                           static_cast<xcb_keycode_t>(keycode_),
                                           XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        if (xcb_generic_error_t* error = xcb_request_check(connection, cookie)) {
            ok = false;
            free(error);
        }
    }
    qGuiApp->installNativeEventFilter(this);
    filtering_ = true;
    return ok;
}

void X11GrabHotKey::ungrab() {
    xcb_connection_t* connection = x11Connection();
    if (!connection || !keycode_)
        return;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    for (uint16_t lock : lockMasks)
        xcb_ungrab_key(connection, static_cast<xcb_keycode_t>(keycode_), root, wanted | lock);
    xcb_flush(connection);
}

bool X11GrabHotKey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || !keycode_)
        return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) != XCB_KEY_PRESS)
        return false;
    auto* key = static_cast<xcb_key_press_event_t*>(message);
    if (key->detail != keycode_ || (key->state & wanted) != wanted)
        return false;
    emit pressed();
    return true;
}
