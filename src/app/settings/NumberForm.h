#pragma once

#include <QString>
#include <cstdint>

// The number forms of the settings files: what the program writes, and how it reads back
// whatever a person or the maker's server may have put there.
namespace numberform {

// " 12" for zero and positive numbers, "-5" for negative ones.
QString text(long long value);
// The leading decimal number of a value; blanks are ignored, anything without a leading
// number reads as 0.
double leading(const QString& value);
// True when the value has a leading number for leading() to read, rather than reading as 0 for
// want of one.
bool hasLeadingNumber(const QString& value);
// Round half to even, then clamp to the 16-bit or 32-bit range; never fails.
std::int16_t toInt16(double value);
std::int32_t toInt32(double value);
// The two steps together, as every numeric key is read.
inline std::int16_t int16(const QString& value) {
    return toInt16(leading(value));
}
inline std::int32_t int32(const QString& value) {
    return toInt32(leading(value));
}

} // namespace numberform
