#include "app/ExactTitle.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <xcb/xcb.h>

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const auto cookie = xcb_intern_atom(connection, 0, static_cast<uint16_t>(qstrlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return found;
}

class TitleKeeper final : public QObject {
public:
    explicit TitleKeeper(QWidget* window) : QObject(window), window_(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        // Qt writes the title when the native window is made and when the caption changes;
        // both come before these events, so an empty caption is written over it here.
        if (watched == window_ && window_->windowTitle().isEmpty() &&
            (event->type() == QEvent::Show || event->type() == QEvent::WindowTitleChange))
            clearTitle();
        return false;
    }

private:
    void clearTitle() {
        // Only an X server carries these properties. Other platforms may still answer as X11
        // (the offscreen one does) without any connection behind it.
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        if (!x11 || !window_->internalWinId())
            return;
        xcb_connection_t* connection = x11->connection();
        if (!connection || xcb_connection_has_error(connection))
            return;
        const auto id = static_cast<xcb_window_t>(window_->internalWinId());
        const xcb_atom_t utf8 = atom(connection, "UTF8_STRING");
        const xcb_atom_t netName = atom(connection, "_NET_WM_NAME");
        if (utf8 != XCB_ATOM_NONE && netName != XCB_ATOM_NONE)
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, netName, utf8, 8, 0,
                                nullptr);
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME,
                            XCB_ATOM_STRING, 8, 0, nullptr);
        xcb_flush(connection);
    }

    QWidget* window_;
};

} // namespace

void keepExactTitle(QWidget* window) {
    window->installEventFilter(new TitleKeeper(window));
}
