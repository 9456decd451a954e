#pragma once

#include "platform/DesktopScreen.h"
#include "platform/DesktopShell.h"
#include "platform/FontconfigFontSystem.h"
#include "platform/NetworkManagerNetwork.h"
#include "platform/Platform.h"
#include "platform/QtDialogs.h"

// The real desktop: owns one implementation of every seam for the program's lifetime.
class DesktopPlatform final {
public:
    Platform platform() { return Platform{dialogs_, shell_, fonts_, network_, screen_}; }

private:
    QtDialogs dialogs_;
    DesktopShell shell_;
    FontconfigFontSystem fonts_;
    NetworkManagerNetwork network_;
    DesktopScreen screen_;
};
