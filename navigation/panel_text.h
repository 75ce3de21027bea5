// Text forms of the panel's fields. Independent of the global locale: QApplication sets it from
// the environment, and a German locale would otherwise turn "0.5" into "0,5" and back into 0.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kavelo::navigation {

// A double as "%f" prints it in the C locale: sign, integer digits, a point, six decimals.
// Infinities and NaNs come out as "inf", "-inf", "nan", "-nan".
std::string FormatFixed(double value);

// An angle as the panel's integer field takes it: truncated toward zero. Values outside the
// 32-bit range saturate and NaN gives 0, where a plain cast would be undefined.
std::int32_t AngleToInt(double angle);

// Decimal text, "-" when negative.
std::string FormatSignedInt(std::int32_t value);

// A decimal field read the way atof reads it in the C locale: leading white space skipped, the
// longest leading decimal number taken (sign, digits, point and digits, exponent), the rest
// ignored. No number gives 0.
double ParseDecimal(std::string_view text);

// An integer field read as a signed dialog integer: leading blanks skipped, an optional "-",
// decimal digits up to the first other character. No digits, or a value outside the 32-bit
// range, gives 0.
std::int32_t ParseSignedInt(std::string_view text);

// high - (high - low) / 2 with the halving truncated toward zero. Computed in 64 bits so that
// extreme boxes do not overflow; wherever the 32-bit expression is defined the result is the
// same.
std::int32_t IntegerMidpoint(std::int32_t low, std::int32_t high);

}  // namespace kavelo::navigation
