#pragma once

#include "platform/Screen.h"

class DesktopScreen final : public Screen {
public:
    QPoint pointer() override;
    std::optional<QImage> grab(const QRect& rect) override;
};
