#include "tools/OpeningEffect.h"

#include <QBackingStore>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <limits>

namespace openingeffect {

namespace {

// The default rounding mode rounds halves to the even neighbour.
std::int32_t round32(double v) {
    const double r = std::nearbyint(v);
    return static_cast<std::int32_t>(std::clamp(r, double(std::numeric_limits<int32_t>::min()),
                                                double(std::numeric_limits<int32_t>::max())));
}

std::int16_t round16(double v) {
    const double r = std::nearbyint(v);
    return static_cast<std::int16_t>(std::clamp(r, double(std::numeric_limits<int16_t>::min()),
                                                double(std::numeric_limits<int16_t>::max())));
}

} // namespace

Corners step(const Corners& window, int i, std::int16_t steps) {
    const std::int32_t L = window.left;
    const std::int32_t T = window.top;
    const std::int32_t W = window.right - window.left;
    // Held inside the 16-bit range rather than wrapping to a negative height.
    const std::int16_t H = static_cast<std::int16_t>(std::clamp<std::int64_t>(
        std::int64_t(window.bottom) - window.top, std::numeric_limits<int16_t>::min(),
        std::numeric_limits<int16_t>::max()));
    const double f = static_cast<double>(i) / steps;
    const double w = W * f;
    const std::int16_t h = round16(H * f);
    const double x = L + (W - w) / 2;
    const double y = T + (H - h) / 2.0;
    return Corners{round32(x), round32(y), round32(x + w), round32(y + h)};
}

QList<Corners> steps(const Corners& window, std::int16_t count) {
    QList<Corners> all;
    if (count <= 0)
        return all;
    all.reserve(count);
    for (int i = 1; i <= count; ++i)
        all.append(step(window, i, count));
    return all;
}

} // namespace openingeffect

namespace {

using openingeffect::Corners;

QRect toRect(const Corners& c) {
    return QRect(QPoint(c.left, c.top), QPoint(c.right - 1, c.bottom - 1));
}

// A frameless, topmost, click-through window over the window's future place. Only the
// current rectangle is part of its shape, so the screen around it stays as it was; each
// step paints and sends only what changed since the step before.
class Overlay final : public QWindow {
public:
    explicit Overlay(const QRect& area) : store_(this), origin_(area.topLeft()) {
        setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                 Qt::WindowTransparentForInput | Qt::X11BypassWindowManagerHint);
        setGeometry(area);
        store_.resize(area.size());
    }

    void draw(const Corners& screenCorners) {
        const QRect now = toRect(screenCorners).translated(-origin_);
        setMask(QRegion(now));
        // The inside of the last rectangle is already white; only its outline and the
        // new band around it change.
        const QRegion changed = QRegion(now) - QRegion(last_.adjusted(1, 1, -1, -1));
        last_ = now;
        if (!isVisible())
            show();
        store_.beginPaint(changed);
        {
            QPainter painter(store_.paintDevice());
            painter.setClipRegion(changed);
            painter.fillRect(now, Qt::white);
            painter.setPen(QPen(Qt::black, 0));
            painter.drawRect(now.adjusted(0, 0, -1, -1));
        }
        store_.endPaint();
        store_.flush(changed);
    }

private:
    QBackingStore store_;
    QPoint origin_;
    QRect last_;
};

} // namespace

void playOpeningEffect(QWidget* window, int steps, DesktopSession session) {
    const auto count = static_cast<std::int16_t>(steps);
    if (!window || count <= 0 || session == DesktopSession::WaylandNative)
        return;
    if (!window->isVisible()) {
        // Fix the place the window will take before drawing over it: its own size, and, when
        // nobody has placed it, the middle of its screen.
        if (!window->testAttribute(Qt::WA_Resized))
            window->adjustSize();
        if (!window->testAttribute(Qt::WA_Moved))
            if (const QScreen* screen = window->screen()) {
                QRect place(QPoint(), window->size());
                place.moveCenter(screen->availableGeometry().center());
                window->move(place.topLeft());
            }
    }
    const QRect frame = window->frameGeometry();
    const Corners area{frame.left(), frame.top(), frame.left() + frame.width(),
                       frame.top() + frame.height()};
    if (area.empty())
        return;
    Overlay overlay(frame);
    Corners previous;
    bool drawn = false;
    for (int i = 1; i <= count; ++i) {
        const Corners now = openingeffect::step(area, i, count);
        // An equal rectangle changes nothing on the screen, and an empty one draws nothing.
        if ((drawn && now == previous) || now.empty())
            continue;
        overlay.draw(now);
        previous = now;
        drawn = true;
    }
    // The overlay is destroyed here, and the screen below shows through again.
}
