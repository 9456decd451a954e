#include "tools/Magnifier.h"

#include "i18n/Language.h"

#include <cmath>

namespace magnifier {

int pixelsFromTwips(int twips) {
    // The default rounding mode rounds halves to the even neighbour.
    return static_cast<int>(std::nearbyint(static_cast<double>(twips) / twipsPerPixel));
}

SourceOrigin sourceOrigin(QPoint pointer) {
    auto axis = [](int at, int before) -> std::int16_t {
        if (at < before)
            return 0;
        if (at > 800)
            return 800;
        return static_cast<std::int16_t>(at - before);
    };
    return SourceOrigin{axis(pointer.x(), 50), axis(pointer.y(), 20)};
}

QString coordinateCaption(const QString& languageFlag, SourceOrigin origin) {
    const QString lead =
        lang::pickC(languageFlag, QStringLiteral("    坐标"), QStringLiteral("     Axis"));
    return lead + QString::number(origin.x) + QLatin1Char(',') + QString::number(origin.y);
}

} // namespace magnifier
