// Number reading and formatting shared by every box of the tool.
//
// Every number the user types (station number, frequency, scale factors, grid
// divisions, axis limits) is read the same lenient way, and every value the
// tool writes back uses one of the formats below. Keep them in this one place.
#pragma once

#include <QString>
#include <QStringView>

#include <cmath>
#include <concepts>
#include <limits>

namespace kv {

// Leading number of a text, read leniently:
//  - blanks, tabs and line feeds are skipped anywhere ("2 5" reads 25); a carriage
//    return is not skipped and ends the number like any other character;
//  - an optional sign, digits, a full stop as decimal separator (whatever the locale),
//    an optional exponent (E or D, optional sign, digits);
//  - "&H" and "&O" introduce hexadecimal and octal whole numbers, read unsigned;
//  - reading stops at the first character that cannot continue the number;
//  - a text without a number reads as 0.
// The result is always finite: a number beyond the double range reads as the
// largest double of its sign.
double Val(QStringView text);

// Nearest whole number, halves going to the even neighbour (2.5 -> 2, 3.5 -> 4).
// NaN gives 0; a value outside T's range gives T's nearest bound.
template <std::integral T>
T RoundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    const double r = std::nearbyint(value);  // default rounding mode: to nearest, ties to even
    if (r <= static_cast<double>(std::numeric_limits<T>::min()))
        return std::numeric_limits<T>::min();
    if (r >= static_cast<double>(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    return static_cast<T>(r);
}

// Whether value rounds (halves to even) to a whole number inside T's range.
template <std::integral T>
bool FitsRounded(double value)
{
    if (!std::isfinite(value))
        return false;
    const double r = std::nearbyint(value);
    return r >= static_cast<double>(std::numeric_limits<T>::min())
        && r <= static_cast<double>(std::numeric_limits<T>::max());
}

// A double narrowed to single precision without ever producing an infinity:
// values beyond the single range become the largest single of their sign, NaN gives 0.
float ToSingle(double value);

// "0.0#": at least one and at most two decimals ("50.0", "2.5", "3.14", "-12.35").
QString FormatFixed0_0Sharp(double value);

// The plain general number format as a text output writes it: up to seven
// significant digits for a single, no trailing zeros, and a blank where the sign
// would stand for a value that is not negative (" 0", "-50", " 2.5").
QString FormatGeneralSigned(float value);

// The plain general number format without the sign blank ("0", "-50", "2.5").
QString FormatGeneral(double value, int significantDigits = 15);

} // namespace kv
