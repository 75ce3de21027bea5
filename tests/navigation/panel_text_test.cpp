#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

#include "locale_guard.h"
#include "navigation/panel_text.h"

using kavelo::navigation::AngleToInt;
using kavelo::navigation::FormatFixed;
using kavelo::navigation::FormatSignedInt;
using kavelo::navigation::IntegerMidpoint;
using kavelo::navigation::ParseDecimal;
using kavelo::navigation::ParseSignedInt;
using kavelo::test::GermanLocale;

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(PanelText, FixedTextHasSixDecimalsAndNoExponent) {
    EXPECT_EQ(FormatFixed(0.01), "0.010000");
    EXPECT_EQ(FormatFixed(-0.1), "-0.100000");
    EXPECT_EQ(FormatFixed(0.5), "0.500000");
    EXPECT_EQ(FormatFixed(0.0), "0.000000");
    EXPECT_EQ(FormatFixed(-0.0), "-0.000000");
    EXPECT_EQ(FormatFixed(-1e-9), "-0.000000");
    EXPECT_EQ(FormatFixed(1.0000000000000007), "1.000000");
    EXPECT_EQ(FormatFixed(1.0000005), "1.000001");  // the double lies just above the tie
    EXPECT_EQ(FormatFixed(0.1234565), "0.123456");  // and this one just below
    EXPECT_EQ(FormatFixed(0.0078125), "0.007812");  // exact ties go to the even digit
    EXPECT_EQ(FormatFixed(0.0234375), "0.023438");
    EXPECT_EQ(FormatFixed(999999.9999996), "1000000.000000");
    EXPECT_EQ(FormatFixed(1e20), "100000000000000000000.000000");
    EXPECT_EQ(FormatFixed(std::numeric_limits<double>::max()).size(), 309u + 7u);
    EXPECT_EQ(FormatFixed(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(FormatFixed(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(FormatFixed(std::numeric_limits<double>::quiet_NaN()), "nan");
    EXPECT_EQ(FormatFixed(-std::numeric_limits<double>::quiet_NaN()), "-nan");
}

TEST(PanelText, FixedTextMatchesCLocalePrintfOnRandomValues) {
    std::mt19937_64 rng(20240601);
    std::uniform_real_distribution<double> small(-2000.0, 2000.0);
    std::uniform_int_distribution<int> exponent(-40, 60);
    char expected[400];
    for (int i = 0; i < 20000; ++i) {
        const double value = i % 2 ? small(rng) : std::ldexp(small(rng), exponent(rng));
        std::snprintf(expected, sizeof expected, "%f", value);  // the tests run in "C"
        ASSERT_EQ(FormatFixed(value), expected) << std::hexfloat << value;
    }
}

TEST(PanelText, AnglesTruncateTowardZeroAndSaturate) {
    EXPECT_EQ(AngleToInt(230.0), 230);
    EXPECT_EQ(AngleToInt(1.9), 1);
    EXPECT_EQ(AngleToInt(-1.9), -1);
    EXPECT_EQ(AngleToInt(-0.5), 0);
    EXPECT_EQ(AngleToInt(2147483647.9), kMax);
    EXPECT_EQ(AngleToInt(2147483648.0), kMax);
    EXPECT_EQ(AngleToInt(-2147483648.9), kMin);
    EXPECT_EQ(AngleToInt(-2147483649.0), kMin);
    EXPECT_EQ(AngleToInt(1e300), kMax);
    EXPECT_EQ(AngleToInt(-std::numeric_limits<double>::infinity()), kMin);
    EXPECT_EQ(AngleToInt(std::numeric_limits<double>::quiet_NaN()), 0);

    EXPECT_EQ(FormatSignedInt(230), "230");
    EXPECT_EQ(FormatSignedInt(-3), "-3");
    EXPECT_EQ(FormatSignedInt(0), "0");
    EXPECT_EQ(FormatSignedInt(kMin), "-2147483648");
}

TEST(PanelText, DecimalReadTakesTheLongestLeadingNumber) {
    EXPECT_EQ(ParseDecimal(""), 0.0);
    EXPECT_EQ(ParseDecimal("abc"), 0.0);
    EXPECT_EQ(ParseDecimal("1.5e1xyz"), 15.0);
    EXPECT_EQ(ParseDecimal(" \t\n2"), 2.0);
    EXPECT_EQ(ParseDecimal("+.5"), 0.5);
    EXPECT_EQ(ParseDecimal("-7."), -7.0);
    EXPECT_EQ(ParseDecimal("0.010000"), 0.01);
    EXPECT_EQ(ParseDecimal("1e"), 1.0);
    EXPECT_EQ(ParseDecimal("1e+"), 1.0);
    EXPECT_EQ(ParseDecimal("2E-2"), 0.02);
    EXPECT_EQ(ParseDecimal("3,75"), 3.0);
    EXPECT_EQ(ParseDecimal("."), 0.0);
    EXPECT_EQ(ParseDecimal("-"), 0.0);
    EXPECT_EQ(ParseDecimal("- 1"), 0.0);
    EXPECT_EQ(ParseDecimal("inf"), 0.0);  // only decimal numbers are read
    EXPECT_EQ(ParseDecimal("0x1A"), 0.0);
    EXPECT_EQ(ParseDecimal("1e400"), HUGE_VAL);
    EXPECT_EQ(ParseDecimal("-1e400"), -HUGE_VAL);
    EXPECT_TRUE(SameBits(ParseDecimal("-1e-400"), -0.0));
    EXPECT_EQ(ParseDecimal("4.9e-324"), std::numeric_limits<double>::denorm_min());
    // Correct rounding of a long mantissa: this text lies just above the midpoint of two doubles.
    EXPECT_EQ(ParseDecimal("9007199254740993.0000000001"), 9007199254740994.0);
    EXPECT_EQ(ParseDecimal(std::string_view("12345", 2)), 12.0);  // no terminator needed
}

TEST(PanelText, SignedIntegerReadStopsAtTheFirstOtherCharacter) {
    EXPECT_EQ(ParseSignedInt(""), 0);
    EXPECT_EQ(ParseSignedInt("230"), 230);
    EXPECT_EQ(ParseSignedInt("  -3"), -3);
    EXPECT_EQ(ParseSignedInt("\t7"), 7);
    EXPECT_EQ(ParseSignedInt("12abc"), 12);
    EXPECT_EQ(ParseSignedInt("1.9"), 1);
    EXPECT_EQ(ParseSignedInt("abc"), 0);
    EXPECT_EQ(ParseSignedInt("-"), 0);
    EXPECT_EQ(ParseSignedInt("- 3"), 0);
    EXPECT_EQ(ParseSignedInt("+5"), 0);
    EXPECT_EQ(ParseSignedInt("--5"), 0);
    EXPECT_EQ(ParseSignedInt("2147483647"), kMax);
    EXPECT_EQ(ParseSignedInt("2147483648"), 0);
    EXPECT_EQ(ParseSignedInt("-2147483648"), kMin);
    EXPECT_EQ(ParseSignedInt("-2147483649"), 0);
    EXPECT_EQ(ParseSignedInt("99999999999999999999999"), 0);
    EXPECT_EQ(ParseSignedInt("0000000000000000000042"), 42);
    EXPECT_EQ(ParseSignedInt(std::string_view("-123", 3)), -12);
}

TEST(PanelText, MidpointHalvesTowardZeroWithoutOverflow) {
    EXPECT_EQ(IntegerMidpoint(0, 0), 0);
    EXPECT_EQ(IntegerMidpoint(0, 10), 5);
    EXPECT_EQ(IntegerMidpoint(0, 11), 6);    // 11 - 5
    EXPECT_EQ(IntegerMidpoint(11, 0), 5);    // 0 - (-5)
    EXPECT_EQ(IntegerMidpoint(-11, 0), -5);  // 0 - 5
    EXPECT_EQ(IntegerMidpoint(0, -11), -6);  // -11 - (-5)
    EXPECT_EQ(IntegerMidpoint(-3, 4), 1);    // 4 - 3
    EXPECT_EQ(IntegerMidpoint(kMax - 1, kMax), kMax);
    EXPECT_EQ(IntegerMidpoint(kMin, kMin + 3), kMin + 2);
    // Where the 32-bit difference would overflow.
    EXPECT_EQ(IntegerMidpoint(kMin, kMax), 0);
    EXPECT_EQ(IntegerMidpoint(kMax, kMin), -1);
    EXPECT_EQ(IntegerMidpoint(-2, kMax), 1073741823);
}

TEST(PanelText, GermanLocaleChangesNothing) {
    GermanLocale german;
    ASSERT_TRUE(german.active()) << "de_DE.UTF-8 missing: run scripts/install-deps.sh";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    ASSERT_STREQ(probe, "0,5");  // the locale really uses a comma

    EXPECT_EQ(FormatFixed(0.5), "0.500000");
    EXPECT_EQ(FormatFixed(-1234567.25), "-1234567.250000");
    EXPECT_EQ(FormatSignedInt(-1234567), "-1234567");
    EXPECT_EQ(ParseDecimal("0.5"), 0.5);
    EXPECT_EQ(ParseDecimal("1.5e1xyz"), 15.0);
    EXPECT_EQ(ParseDecimal("0,5"), 0.0);
    EXPECT_EQ(ParseSignedInt("1.234"), 1);
}

}  // namespace
