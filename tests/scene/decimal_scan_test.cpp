#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "scene/decimal_scan.h"

using kavelo::scene::ConvertDecimal;
using kavelo::scene::ScanDecimal;
using kavelo::scene::ScannedDecimal;

namespace {

TEST(DecimalScan, LongDigitAndExponentStringsConvertAsStrtod) {
    // A mantissa past 19 digits wraps (2^64 + 1 becomes 1), and exponent digits past the range of
    // any integer: neither may reach the exact path or overflow on the way.
    for (const std::string_view text :
         {"18446744073709551617", "1844674407370955161.7e1", "1e99999999999999999999",
          "1e-99999999999999999999", "-0.0000000000000000000000001e99999999999999999999x"}) {
        const ScannedDecimal number = ScanDecimal(text.data(), text.data() + text.size());
        const std::string terminated(text);
        char* expectedEnd = nullptr;
        const double expected = std::strtod(terminated.c_str(), &expectedEnd);
        EXPECT_EQ(number.end - text.data(), expectedEnd - terminated.c_str()) << text;
        const double value = ConvertDecimal(number);
        EXPECT_EQ(std::memcmp(&value, &expected, sizeof value), 0) << text;
    }
}

}  // namespace
