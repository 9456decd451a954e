#pragma once

#include <QColor>
#include <cstdint>

// Colours are stored as 0x00BBGGRR numbers (red in the low byte), or as a system colour code
// 0x80000000 + index; the preview's default "black" is the button-text colour, 0x80000012.
namespace colorcode {

constexpr std::int32_t buttonText = -2147483630; // 0x80000012

QColor toColor(std::int32_t code);
std::int32_t fromColor(const QColor& color);
// "#RRGGBB", as an HTML page writes it.
QString toHtml(std::int32_t code);

} // namespace colorcode
