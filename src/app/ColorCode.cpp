#include "app/ColorCode.h"

#include <QApplication>
#include <QPalette>

namespace colorcode {

QColor toColor(std::int32_t code) {
    const auto bits = static_cast<std::uint32_t>(code);
    if (bits & 0x80000000u) {
        // Only the button-text colour is ever stored; every system code maps to the palette.
        return QApplication::palette().color(QPalette::ButtonText);
    }
    return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                  static_cast<int>((bits >> 16) & 0xFF));
}

std::int32_t fromColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(rgb.red()) |
                                     (static_cast<std::uint32_t>(rgb.green()) << 8) |
                                     (static_cast<std::uint32_t>(rgb.blue()) << 16));
}

QString toHtml(std::int32_t code) {
    return toColor(code).name(QColor::HexRgb).toUpper();
}

} // namespace colorcode
