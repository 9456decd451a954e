#pragma once

#include <Qt>

// The online windows are left only through their own buttons: a title bar without a close
// button, and each window ignores closeEvent.
inline constexpr Qt::WindowFlags onlineWindowFlags() {
    return Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint |
           Qt::WindowMinimizeButtonHint;
}

// The title of the plain message boxes, which name the program.
inline const char* const programTitle = "vlfonts";
