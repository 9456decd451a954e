#pragma once

#include "platform/DesktopSession.h"

#include <QList>
#include <cstdint>

class QWidget;

// The opening effect: a white rectangle with a black outline grows from the centre of the
// window's future place to its full size, in `steps` steps drawn without a pause, on a
// click-through overlay that is gone afterwards. Nothing is drawn for steps <= 0. On native
// Wayland, where a client can neither place a window nor draw outside its own, nothing is drawn
// or moved: the window simply shows where the compositor puts it.
void playOpeningEffect(QWidget* window, int steps,
                       DesktopSession session = desktopsession::current());

namespace openingeffect {

// Screen rectangles as corner coordinates: right and bottom lie just outside, as the outline
// of a rectangle drawn from (left, top) to (right, bottom) does.
struct Corners {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const Corners&) const = default;
    bool empty() const { return right <= left || bottom <= top; }
};

// Step i of steps (1 <= i <= steps) over the window at `window`: width grows in floating
// point, height as a 16-bit integer, centred; all roundings to the nearest, halves to even.
// A window taller than 32767 pixels is treated as 32767 high.
Corners step(const Corners& window, int i, std::int16_t steps);
// Every step in order; empty for steps <= 0.
QList<Corners> steps(const Corners& window, std::int16_t steps);

} // namespace openingeffect
