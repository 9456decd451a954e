#pragma once

#include "platform/Screen.h"

// The screen of a real X server: the pointer and the pixels are read directly.
class DesktopScreen final : public Screen {
public:
    QPoint pointer() override;
    std::optional<QImage> grab(const QRect& rect) override;
};
