// Decimal numbers in two steps, apart: the scan finds where the sign, digits, fraction and
// exponent lie and gathers the digits; the conversion turns that into the nearest double. Each
// caller keeps its own rules for what may come before a number and for a text that holds none.
// The scan and the exact path are inline, since the reader runs them once per number.
#pragma once

#include <cstdint>

namespace kavelo::scene {

// The longest number at the start of a text: an optional sign, digits with an optional decimal
// point (or a point and digits), an optional exponent ("e" or "E", an optional sign, at least one
// digit). An "e" without a digit after it is not part of the number.
struct ScannedDecimal {
    const char* unsignedBegin = nullptr;  // past the sign
    const char* end = nullptr;            // past the number; the text's start when there is none
    std::uint64_t mantissa = 0;           // all the digits; it wraps past 19 of them
    std::int64_t digits = 0;              // how many; 0 when the text begins with no number
    std::int64_t exponent = 0;            // the written one (bounded) less the fraction's digits
    bool negative = false;
};

inline bool IsDecimalDigit(char c) noexcept {
    return c >= '0' && c <= '9';
}

// Adds the digits from `p` to the mantissa; returns where they end.
inline const char* GatherDecimalDigits(const char* p, const char* last,
                                       std::uint64_t& mantissa) noexcept {
    for (; p != last && IsDecimalDigit(*p); ++p) {
        mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
    }
    return p;
}

// The exponent part at `p`, added to `exponent`; returns where it ends, `p` when there is none.
// Its value is bounded to a million, far past any double, so that no digit string overflows it.
inline const char* ScanDecimalExponent(const char* p, const char* last,
                                       std::int64_t& exponent) noexcept {
    if (p == last || (*p != 'e' && *p != 'E')) {
        return p;
    }
    const char* q = p + 1;
    const bool negative = q != last && *q == '-';
    if (q != last && (*q == '+' || *q == '-')) {
        ++q;
    }
    if (q == last || !IsDecimalDigit(*q)) {
        return p;
    }
    std::int64_t written = 0;
    for (; q != last && IsDecimalDigit(*q); ++q) {
        written = written * 10 + (*q - '0');
        if (written > 1000000) {
            written = 1000000;
        }
    }
    exponent += negative ? -written : written;
    return q;
}

// Inline even where the compiler would rather call it: the reader runs it once per number.
[[gnu::always_inline]] inline ScannedDecimal ScanDecimal(const char* first,
                                                         const char* last) noexcept {
    ScannedDecimal number;
    number.end = first;
    const char* p = first;
    number.negative = p != last && *p == '-';
    if (p != last && (*p == '+' || *p == '-')) {
        ++p;
    }
    number.unsignedBegin = p;
    const char* const integerEnd = GatherDecimalDigits(p, last, number.mantissa);
    number.digits = integerEnd - p;
    p = integerEnd;
    if (p != last && *p == '.') {
        const char* const fractionEnd = GatherDecimalDigits(p + 1, last, number.mantissa);
        number.exponent = -(fractionEnd - (p + 1));
        number.digits -= number.exponent;
        p = fractionEnd;
    }
    if (number.digits == 0) {
        return number;
    }
    number.end = ScanDecimalExponent(p, last, number.exponent);
    return number;
}

// A small mantissa times a small power of ten: both are exact doubles, so the one rounding of the
// product or quotient is the correct one. False when the number is not of that kind.
inline bool ConvertDecimalExactly(const ScannedDecimal& number, double& value) noexcept {
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (number.digits > 19 || number.mantissa > (std::uint64_t{1} << 53) || number.exponent < -22 ||
        number.exponent > 22) {
        return false;
    }
    value = static_cast<double>(number.mantissa);
    value =
        number.exponent < 0 ? value / kPowers[-number.exponent] : value * kPowers[number.exponent];
    return true;
}

// The digits from `first` to `last` (no sign) by the library's correctly rounded conversion.
double ConvertDecimalText(const char* first, const char* last);

// The double nearest to a scanned number with digits, as strtod gives it in the C locale:
// +-HUGE_VAL when too large, the nearest subnormal or zero when too small.
inline double ConvertDecimal(const ScannedDecimal& number) {
    double value = 0.0;
    if (!ConvertDecimalExactly(number, value)) {
        value = ConvertDecimalText(number.unsignedBegin, number.end);
    }
    return number.negative ? -value : value;
}

}  // namespace kavelo::scene
