#include "navigation/panel_text.h"

#include <charconv>
#include <cmath>
#include <limits>

#include <locale.h>  // newlocale, locale_t
#include <stdlib.h>  // strtod_l

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// isspace() of the C locale.
bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::size_t SkipDigits(std::string_view text, std::size_t i) {
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
    }
    return i;
}

locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t{});
    return c;
}

}  // namespace

std::string FormatFixed(double value) {
    // Largest finite double: 309 integer digits, sign, point and six decimals.
    char buffer[std::numeric_limits<double>::max_exponent10 + 20];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    return std::string(buffer, result.ptr);
}

std::int32_t AngleToInt(double angle) {
    if (std::isnan(angle)) {
        return 0;
    }
    if (angle >= 2147483648.0) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (angle <= -2147483649.0) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(angle);
}

std::string FormatSignedInt(std::int32_t value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

double ParseDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) {
        ++i;
    }
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    const std::size_t integerEnd = SkipDigits(text, i);
    bool anyDigit = integerEnd > i;
    i = integerEnd;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fractionEnd = SkipDigits(text, i + 1);
        anyDigit = anyDigit || fractionEnd > i + 1;
        i = fractionEnd;
    }
    if (!anyDigit) {
        return 0.0;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        const std::size_t exponentEnd = SkipDigits(text, j);
        if (exponentEnd > j) {
            i = exponentEnd;
        }
    }
    // Only the decimal prefix goes to the converter, so hexadecimal, "inf" and "nan" read as
    // their leading zero or as no number at all; strtod_l rounds correctly and gives +-HUGE_VAL
    // or the nearest small value on overflow and underflow, as atof does.
    const std::string number(text.substr(start, i - start));
    return strtod_l(number.c_str(), nullptr, CLocale());
}

std::int32_t ParseSignedInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    const std::size_t digitsStart = i;
    std::int64_t magnitude = 0;
    constexpr std::int64_t kLimit = std::int64_t{1} << 31;  // |INT32_MIN|
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > kLimit) {
            return 0;
        }
    }
    if (i == digitsStart) {
        return 0;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return 0;
    }
    return static_cast<std::int32_t>(value);
}

std::int32_t IntegerMidpoint(std::int32_t low, std::int32_t high) {
    const std::int64_t wide = std::int64_t{high} - (std::int64_t{high} - std::int64_t{low}) / 2;
    return static_cast<std::int32_t>(wide);
}
