#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <optional>

// The pointer and the pixels of the screen, for the magnifier.
class Screen {
public:
    virtual ~Screen() = default;

    virtual QPoint pointer() = 0;
    // nullopt when the screen cannot be read (a Wayland session without the portal).
    virtual std::optional<QImage> grab(const QRect& rect) = 0;
};
