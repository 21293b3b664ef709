// The pressure text: which texts are numbers, what they are worth, and the
// message that quotes a rejected text.
#include <string>

#include <gtest/gtest.h>

#include "discharge.h"

namespace calc {
namespace {

class ParsePressure : public ::testing::Test {
protected:
    void SetUp() override { DecimalMark = '.'; }
    void TearDown() override { DecimalMark = '.'; }
};

struct Accepted {
    std::string text;
    Extended value;
    bool negative;  // the sign bit, which == cannot see for zeros
};

// The extended value nearest 1.7: 0xD99999999999999A × 2^−63.
const Extended kNearest1Point7 = Extended::FromParts(0xD99999999999999Au, -63);

class AcceptedText : public ParsePressure, public ::testing::WithParamInterface<Accepted> {};

TEST_P(AcceptedText, ReadsAsItsValue)
{
    const Extended v = ParsePressureText(GetParam().text);
    EXPECT_TRUE(v == GetParam().value) << "text: " << GetParam().text;
    EXPECT_EQ(v.SignificandBits(), GetParam().value.SignificandBits());
    EXPECT_EQ(v.IsNegative(), GetParam().negative);
}

const Extended kZero;
Extended Whole(std::uint64_t n) { return Extended::FromUint64(n); }

INSTANTIATE_TEST_SUITE_P(Table, AcceptedText, ::testing::Values(
    Accepted{"17", Whole(17), false},
    Accepted{"  17  ", Whole(17), false},
    Accepted{"+1.7", kNearest1Point7, false},
    Accepted{"1.7", kNearest1Point7, false},
    Accepted{"-1.7", -kNearest1Point7, true},
    Accepted{".5", Extended::FromDouble(0.5), false},
    Accepted{"5.", Whole(5), false},
    Accepted{".", kZero, false},
    Accepted{"-0", kZero, true},
    Accepted{"-.", kZero, true},
    Accepted{"1e3", Whole(1000), false},
    Accepted{"1E+3", Whole(1000), false},
    Accepted{"1E+03", Whole(1000), false},
    Accepted{"25E-1", Extended::FromDouble(2.5), false},
    Accepted{"1E", Whole(1), false},
    Accepted{"1E-", Whole(1), false},
    Accepted{"1E+", Whole(1), false},
    Accepted{".E5", kZero, false},
    Accepted{"0E4999", kZero, false},
    Accepted{"000000000000000000000000000000017", Whole(17), false},
    Accepted{"1E0000000000000000003", Whole(1000), false},  // leading zeros cost nothing
    Accepted{"18446744073709551615", Whole(0xFFFFFFFFFFFFFFFFu), false},  // 2^64 − 1, exact
    // 10^27 is the largest power of ten that is exact in 64 bits.
    Accepted{"1E27", Extended::FromParts(0xCECB8F27F4200F3Au, 26), false},
    Accepted{"3.5", Extended::FromDouble(3.5), false},
    // Beyond 10^27 the power carries rounding: one unit in the last place
    // below the nearest value here, which is 0x95FE7E07C91EFAFA × 2^−1392.
    Accepted{"1E-400", Extended::FromParts(0x95FE7E07C91EFAF9u, -1392), false}));

TEST_F(ParsePressure, ExponentsBeyondTheDoubleRangeStayFinite)
{
    // 10^999 has no double but is an extended value; the calculation rejects it later.
    const Extended big = ParsePressureText("1E0999");
    EXPECT_FALSE(big.IsInfinite());
    EXPECT_TRUE(big > Extended::FromParts(1, 3318));  // 2^3318 < 10^999 < 2^3319
    EXPECT_TRUE(big < Extended::FromParts(1, 3319));
}

TEST_F(ParsePressure, UnderflowGivesSubnormalOrZeroWithoutError)
{
    const Extended subnormal = ParsePressureText("1E-4940");  // below 2^−16382, above 2^−16445
    EXPECT_FALSE(subnormal.IsZero());
    EXPECT_TRUE(subnormal < Extended::FromParts(1, -16382));
    EXPECT_TRUE(ParsePressureText("1E-4999").IsZero());
    EXPECT_TRUE(ParsePressureText("0." + std::string(20000, '0') + "1").IsZero());
    const Extended negativeZero = ParsePressureText("-1E-4999");
    EXPECT_TRUE(negativeZero.IsZero());
    EXPECT_TRUE(negativeZero.IsNegative());
}

TEST_F(ParsePressure, LongFractionsScaleWithoutOverflowingTheDivisor)
{
    // Mantissa 1 followed by 4000 zeros, scaled down by 10^4100: 10^−100.
    const Extended v = ParsePressureText("1" + std::string(4000, '0') + "E-4100");
    EXPECT_FALSE(v.IsZero());
    EXPECT_NEAR(v.ToDouble(), 1e-100, 1e-112);
}

class RejectedText : public ParsePressure, public ::testing::WithParamInterface<std::string> {};

TEST_P(RejectedText, RaisesAConvertErrorQuotingTheWholeText)
{
    const std::string& text = GetParam();
    try {
        ParsePressureText(text);
        FAIL() << "accepted: " << text;
    } catch (const EConvertError& error) {
        EXPECT_EQ(error.Message(), "'" + text + "' は浮動小数点数ではありません");
    }
}

INSTANTIATE_TEST_SUITE_P(Table, RejectedText, ::testing::Values(
    "", "  ", "+", "-", "E5", "e5", "1,5", "1.5.3", "0x1A", "INF", "NAN", "inf", "nan",
    "１７",                 // full-width digits
    "\t17", "17\n", "17\r", "\n",  // only 0x20 is a blank
    "\xE3\x80\x80" "17",    // the ideographic space is not a blank
    "1 000", "- 17", "+ 17", "1 E5", "1E 5", "1E+ 5",
    "1E5000", "1E12345", "1E4999",
    "5%", "%s%n", "17a", "1e3e", "++1", "--1", "+-1", "1-",
    "1E5000000000000000000000",
    std::string(5000, '9'),
    std::string("1\0", 2),  // an embedded NUL is an invalid byte, not an end
    "\xFF\xFE",             // not UTF-8 at all
    "1" + std::string(5000, '0') + "E-1"));  // infinite before scaling: rejected

TEST_F(ParsePressure, EmptyTextQuotesNothing)
{
    try {
        ParsePressureText("");
        FAIL();
    } catch (const EConvertError& error) {
        EXPECT_EQ(error.Message(), "'' は浮動小数点数ではありません");
    }
}

TEST_F(ParsePressure, CommaAsDecimalMarkMakesThePointInvalid)
{
    DecimalMark = ',';
    EXPECT_TRUE(ParsePressureText("1,5") == Extended::FromDouble(1.5));
    EXPECT_TRUE(ParsePressureText(",") == Extended());
    EXPECT_THROW(ParsePressureText("1.5"), EConvertError);
    EXPECT_THROW(ParsePressureText("1,5,3"), EConvertError);
}

TEST_F(ParsePressure, RejectionChangesNoState)
{
    SetDefaultNozzleBore();
    Pressure = 1.25;
    Discharge = 7.0;
    EXPECT_THROW(ParsePressureText("abc"), EConvertError);
    EXPECT_EQ(Pressure, 1.25);
    EXPECT_EQ(Discharge, 7.0);
    EXPECT_EQ(NozzleBore, 13.0);
}

}  // namespace
}  // namespace calc
