#pragma once

#include <QPoint>
#include <QString>
#include <cstdint>

// The arithmetic of the magnifier, kept apart from the window so that it can be checked alone.
namespace magnifier {

// One pixel of a 96 dpi screen is 15 twips; designed sizes are in twips.
inline constexpr int twipsPerPixel = 15;
// Twips to whole pixels, to the nearest, halves to the even neighbour.
int pixelsFromTwips(int twips);

// The designed client size, the size a left click gives, and the growth per timer tick.
inline constexpr int designedWidthTwips = 2910;
inline constexpr int designedHeightTwips = 2400;
inline constexpr int resetSizeTwips = 3000;
inline constexpr int growthStepTwips = 30;
inline constexpr int openingSizeTwips = 10;
// The growth stops at this height (the designed width: the window ends square).
inline constexpr int grownSizeTwips = 2910;

// Where the copied square starts: the pointer's point lands 50 pixels in from the left and
// 20 down from the top, held inside 0..800 in both directions. Worked out as 16-bit values.
struct SourceOrigin {
    std::int16_t x = 0;
    std::int16_t y = 0;
};
SourceOrigin sourceOrigin(QPoint pointer);

// The window caption during capture, e.g. "    坐标120,340" or "     Axis120,340". The caption
// follows the "c" rule although the menus follow the "e" rule.
QString coordinateCaption(const QString& languageFlag, SourceOrigin origin);

} // namespace magnifier
