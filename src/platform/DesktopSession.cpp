#include "platform/DesktopSession.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cstring>
#include <xcb/xcb.h>

namespace desktopsession {

bool waylandSessionFromEnvironment() {
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           qEnvironmentVariable("XDG_SESSION_TYPE")
                   .compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0;
}

bool xServerIsXWayland() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    static const char extension[] = "XWAYLAND";
    const auto cookie =
        xcb_query_extension(connection, static_cast<uint16_t>(std::strlen(extension)), extension);
    xcb_query_extension_reply_t* reply = xcb_query_extension_reply(connection, cookie, nullptr);
    const bool present = reply && reply->present;
    free(reply);
    if (present)
        return true;
    // XWayland before 23.1 has no such extension, but it has always named its outputs
    // "XWAYLAND0", "XWAYLAND1" ...; Qt names each screen after its output.
    const auto screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(), [](const QScreen* screen) {
        return screen->name().startsWith(QLatin1String("XWAYLAND"));
    });
}

DesktopSession decide(bool waylandSession, bool waylandClient, bool xServerIsXWayland) {
    if (waylandClient)
        return DesktopSession::WaylandNative;
    // An X server inside a Wayland session is the compositor's XWayland, even should its
    // extension be hidden; and XWayland is XWayland even where the environment was lost.
    if (xServerIsXWayland || waylandSession)
        return DesktopSession::XWayland;
    return DesktopSession::X11;
}

DesktopSession current() {
    static const DesktopSession session = [] {
        const bool waylandClient =
            QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
        return decide(waylandSessionFromEnvironment(), waylandClient,
                      !waylandClient && xServerIsXWayland());
    }();
    return session;
}

QString name(DesktopSession session) {
    switch (session) {
    case DesktopSession::X11:
        return QStringLiteral("X11");
    case DesktopSession::WaylandNative:
        return QStringLiteral("Wayland");
    case DesktopSession::XWayland:
        return QStringLiteral("XWayland");
    }
    return {};
}

} // namespace desktopsession
