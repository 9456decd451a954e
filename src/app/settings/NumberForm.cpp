#include "app/settings/NumberForm.h"

#include <cmath>
#include <limits>

namespace numberform {

QString text(long long value) {
    if (value < 0)
        return QString::number(value);
    return QLatin1Char(' ') + QString::number(value);
}

namespace {
// The characters of the leading number, blanks left out; empty when there is no digit.
QString leadingText(const QString& value) {
    QString digits;
    bool seenDigit = false;
    bool seenPoint = false;
    bool seenSign = false;
    for (const QChar ch : value) {
        if (ch == u' ' || ch == u'\t')
            continue;
        if ((ch == u'-' || ch == u'+') && !seenSign && !seenDigit && !seenPoint) {
            seenSign = true;
            digits += ch;
        } else if (ch.isDigit() && ch.unicode() < 128) {
            seenDigit = true;
            digits += ch;
        } else if (ch == u'.' && !seenPoint) {
            seenPoint = true;
            digits += ch;
        } else {
            break;
        }
    }
    return seenDigit ? digits : QString();
}
} // namespace

double leading(const QString& value) {
    const QString digits = leadingText(value);
    if (digits.isEmpty())
        return 0.0;
    bool ok = false;
    const double number = digits.toDouble(&ok);
    return ok && std::isfinite(number) ? number : 0.0;
}

bool hasLeadingNumber(const QString& value) {
    return !leadingText(value).isEmpty();
}

namespace {
template <typename T> T roundClamp(double value) {
    if (std::isnan(value))
        return 0;
    const double rounded = std::nearbyint(value); // the default mode rounds half to even
    if (rounded <= static_cast<double>(std::numeric_limits<T>::min()))
        return std::numeric_limits<T>::min();
    if (rounded >= static_cast<double>(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    return static_cast<T>(rounded);
}
} // namespace

std::int16_t toInt16(double value) {
    return roundClamp<std::int16_t>(value);
}
std::int32_t toInt32(double value) {
    return roundClamp<std::int32_t>(value);
}

} // namespace numberform
