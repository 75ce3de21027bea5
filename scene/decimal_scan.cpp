#include "scene/decimal_scan.h"

#include <locale.h>  // newlocale, locale_t
#include <stdlib.h>  // strtod_l

#include <charconv>
#include <string>
#include <system_error>

namespace kavelo::scene {

double ConvertDecimalText(const char* first, const char* last) {
    double value = 0.0;
    const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc() && end == last) {
        return value;
    }
    // Out of range: the C library knows the nearest subnormal or zero for numbers too small and
    // gives HUGE_VAL for numbers too large, whatever the global locale.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
    const std::string copy(first, last);
    return strtod_l(copy.c_str(), nullptr, cLocale);
}

}  // namespace kavelo::scene
