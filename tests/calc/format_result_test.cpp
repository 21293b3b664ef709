// The result text: 18 digits, shortened to 15 by the 16th alone, in fixed or
// scientific layout with the locale's decimal mark.
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "discharge.h"

namespace calc {
namespace {

struct Formatted {
    double value;
    const char* text;
};

class FormatResult : public ::testing::TestWithParam<Formatted> {
protected:
    void SetUp() override { DecimalMark = '.'; }
};

TEST_P(FormatResult, WritesTheText)
{
    EXPECT_EQ(FormatResultText(GetParam().value), GetParam().text) << "value " << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Examples, FormatResult, ::testing::Values(
    Formatted{0, "0"},
    Formatted{110, "110"},
    Formatted{2357, "2357"},
    Formatted{1.5, "1.5"},
    Formatted{0.17, "0.17"},  // slightly above 0.17: its 16th digit is 0
    Formatted{0.05, "0.05"},
    Formatted{12345.67, "12345.67"},
    Formatted{110357000000, "110357000000"},
    Formatted{999999999999999, "999999999999999"},
    Formatted{99999999999999.99, "100000000000000"},
    Formatted{999999999999999.5, "1E15"},
    Formatted{1000000000000000, "1E15"},
    Formatted{1234567890123456, "1.23456789012346E15"},
    Formatted{1234567890123445, "1.23456789012345E15"},
    Formatted{123456789012345.67, "123456789012346"},
    Formatted{92233720368547744, "9.22337203685477E16"},
    Formatted{9223372036854774784.0, "9.22337203685477E18"},
    Formatted{1e20, "1E20"},
    Formatted{0.0001, "0.0001"},
    Formatted{0.00001, "1E-5"},
    Formatted{0.000011, "1.1E-5"}));

// The rule at its edges. Its 18 digits come first, so only a 16th digit of 5
// or more rounds up, whatever lies beyond: an exact half goes up, where
// printf's %.15g would go to even (see 1234567890123445 above).
INSTANTIATE_TEST_SUITE_P(Rule, FormatResult, ::testing::Values(
    Formatted{0.1234567890123445, "0.123456789012344"},  // 18 digits ...344498: 16th is 4
    Formatted{9007199254740994.0, "9.00719925474099E15"},
    Formatted{1000000000000004.9, "1E15"},               // 1000000000000004.88: scientific
    Formatted{100000000000000.49, "100000000000000"},    // ...000484: 16th digit 4
    Formatted{100000000000000.5, "100000000000001"},     // ...000500: exact half goes up
    Formatted{1.0000000000000002, "1"},
    Formatted{0.1, "0.1"},
    Formatted{1.0 / 3.0, "0.333333333333333"},
    Formatted{2.0 / 3.0, "0.666666666666667"},
    Formatted{0.00012345, "0.00012345"},
    Formatted{0.000099999999999999995, "0.0001"},  // rounds up into the fixed range
    Formatted{123456789012345678.0, "1.23456789012346E17"},
    Formatted{1.7976931348623157e308, "1.79769313486232E308"},
    Formatted{2.2250738585072014e-308, "2.2250738585072E-308"},
    Formatted{4.9406564584124654e-324, "4.94065645841247E-324"},
    Formatted{1e22, "1E22"},
    Formatted{1e23, "1E23"},
    Formatted{0.29, "0.29"},
    Formatted{0.34, "0.34"},
    Formatted{9.81, "9.81"},
    Formatted{1e15 - 1, "999999999999999"},
    Formatted{0.98, "0.98"}));

TEST(FormatResultMark, CommaReplacesThePointInBothLayouts)
{
    DecimalMark = ',';
    EXPECT_EQ(FormatResultText(0.17), "0,17");
    EXPECT_EQ(FormatResultText(1234567890123456), "1,23456789012346E15");
    EXPECT_EQ(FormatResultText(110), "110");
    DecimalMark = '.';
}

TEST(FormatResultEveryHundredth, MatchesTheDecimalWritingOfEveryHundredthUpTo100000)
{
    // Every MPa value the calculation can return below 1000 is n/100: its
    // text must be n/100 written out, with no digit of binary noise.
    DecimalMark = '.';
    for (long n = 0; n <= 100000; ++n) {
        const double value = static_cast<double>(n) / 100.0;
        std::string expected = std::to_string(n / 100);
        const long cents = n % 100;
        if (cents != 0) {
            expected += '.';
            expected += static_cast<char>('0' + cents / 10);
            if (cents % 10 != 0) {
                expected += static_cast<char>('0' + cents % 10);
            }
        }
        ASSERT_EQ(FormatResultText(value), expected) << "n = " << n;
    }
}

}  // namespace
}  // namespace calc
