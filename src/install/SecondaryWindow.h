#pragma once

#include <Qt>

// Install and search windows are left only through their own buttons: a title bar without a
// close button (and closeEvent ignored by each window).
inline constexpr Qt::WindowFlags secondaryWindowFlags() {
    return Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint |
           Qt::WindowMinimizeButtonHint;
}
