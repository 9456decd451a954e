#pragma once

#include "platform/DesktopScreen.h"
#include "platform/DesktopSession.h"
#include "platform/DesktopShell.h"
#include "platform/FontconfigFontSystem.h"
#include "platform/HotKey.h"
#include "platform/NetworkManagerNetwork.h"
#include "platform/Platform.h"
#include "platform/QtDialogs.h"
#include "platform/screencast/ScreenCastScreen.h"

#include <memory>

// The real desktop: owns one implementation of every seam for the program's lifetime. Made
// after QApplication, since the screen's source and the hot key's way depend on the session Qt
// runs in.
class DesktopPlatform final {
public:
    Platform platform() { return Platform{dialogs_, shell_, fonts_, network_, *screen_, *hotKey_}; }

private:
    // On Wayland, native or XWayland, only the screen-cast portal shows the screen.
    static std::unique_ptr<Screen> screenForSession(DesktopSession session) {
        if (desktopsession::usesPortals(session))
            return std::make_unique<ScreenCastScreen>();
        return std::make_unique<DesktopScreen>();
    }

    QtDialogs dialogs_;
    DesktopShell shell_;
    FontconfigFontSystem fonts_;
    NetworkManagerNetwork network_;
    std::unique_ptr<Screen> screen_ = screenForSession(desktopsession::current());
    std::unique_ptr<HotKey> hotKey_ = HotKey::forSession(desktopsession::current());
};
