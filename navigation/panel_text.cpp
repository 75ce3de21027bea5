#include "navigation/panel_text.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "scene/decimal_scan.h"
#include "scene/scene_text.h"

namespace kavelo::navigation {

using kavelo::scene::ConvertDecimal;
using kavelo::scene::IsDecimalDigit;
using kavelo::scene::IsSceneWhite;
using kavelo::scene::ScanDecimal;
using kavelo::scene::ScannedDecimal;

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
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p != end && IsSceneWhite(*p)) {
        ++p;
    }
    // Only decimal numbers are read, so hexadecimal, "inf" and "nan" read as their leading zero
    // or as no number at all.
    const ScannedDecimal number = ScanDecimal(p, end);
    return number.digits == 0 ? 0.0 : ConvertDecimal(number);
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
    for (; i < text.size() && IsDecimalDigit(text[i]); ++i) {
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

}  // namespace kavelo::navigation
