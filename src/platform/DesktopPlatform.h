#pragma once

#include "platform/DesktopScreen.h"
#include "platform/DesktopShell.h"
#include "platform/FontconfigFontSystem.h"
#include "platform/HotKey.h"
#include "platform/NetworkManagerNetwork.h"
#include "platform/Platform.h"
#include "platform/QtDialogs.h"

#include <memory>

// The real desktop: owns one implementation of every seam for the program's lifetime. Made
// after QApplication, since the hot key's way depends on the session Qt runs in.
class DesktopPlatform final {
public:
    Platform platform() { return Platform{dialogs_, shell_, fonts_, network_, screen_, *hotKey_}; }

private:
    QtDialogs dialogs_;
    DesktopShell shell_;
    FontconfigFontSystem fonts_;
    NetworkManagerNetwork network_;
    DesktopScreen screen_;
    std::unique_ptr<HotKey> hotKey_ = HotKey::forSession(desktopsession::current());
};
