#include "app/GlobalHotKey.h"

#include <QGuiApplication>
#include <QShortcut>
#include <QWidget>
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

GlobalHotKey::GlobalHotKey(QWidget* window) : QObject(window), window_(window) {
    auto* shortcut = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+F")), window);
    shortcut->setContext(Qt::ApplicationShortcut);
    connect(shortcut, &QShortcut::activated, this, &GlobalHotKey::activate);
    grab();
}

GlobalHotKey::~GlobalHotKey() {
    ungrab();
}

void GlobalHotKey::grab() {
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return;
    keycode_ = keycodeFor(connection, keysymF);
    if (!keycode_)
        return;
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
    grabbed_ = ok;
    qGuiApp->installNativeEventFilter(this);
}

void GlobalHotKey::ungrab() {
    xcb_connection_t* connection = x11Connection();
    if (!connection || !keycode_)
        return;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    for (uint16_t lock : lockMasks)
        xcb_ungrab_key(connection, static_cast<xcb_keycode_t>(keycode_), root, wanted | lock);
    xcb_flush(connection);
}

bool GlobalHotKey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || !keycode_)
        return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) != XCB_KEY_PRESS)
        return false;
    auto* key = static_cast<xcb_key_press_event_t*>(message);
    if (key->detail != keycode_ || (key->state & wanted) != wanted)
        return false;
    activate();
    return true;
}

void GlobalHotKey::activate() {
    if (!window_->isVisible())
        return;
    window_->showNormal();
    window_->raise();
    window_->activateWindow();
}
