#pragma once

#include <QString>

// Which desktop this program runs on. Everything that behaves differently on Wayland (the
// hot key, the magnifier's screen source, the opening effect) asks here, and only here.
enum class DesktopSession {
    X11,           // a real X server: grabs, screen reads and window placement all work
    WaylandNative, // a Wayland client (Qt's wayland platform)
    XWayland,      // an X11 client of the X server a Wayland compositor runs for old programs
};

namespace desktopsession {

// The session of this process, decided once (after QGuiApplication exists) and then kept.
DesktopSession current();

// True when the user's desktop is a Wayland session: WAYLAND_DISPLAY is set or
// XDG_SESSION_TYPE is "wayland". Reads the environment each time.
bool waylandSessionFromEnvironment();

// The decision itself, from what current() looks at: whether the environment names a Wayland
// session, whether this process is a Wayland client, and whether its X server (if any) is
// XWayland.
DesktopSession decide(bool waylandSession, bool waylandClient, bool xServerIsXWayland);

// True when the X server of this process is XWayland: it has the XWAYLAND extension, or (older
// XWayland) its outputs carry XWayland's names. False on any other X server.
bool xServerIsXWayland();

// A Wayland session, native or XWayland: global keys and screen reads go through the desktop
// portal there.
inline bool usesPortals(DesktopSession session) {
    return session != DesktopSession::X11;
}

// "X11", "Wayland", "XWayland", for logs and bench output.
QString name(DesktopSession session);

} // namespace desktopsession
