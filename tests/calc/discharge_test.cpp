// The arithmetic: discharge and MPa for each bore, the whole-number rule,
// and what every failure leaves behind in the state.
#include <cmath>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "discharge.h"

namespace calc {
namespace {

constexpr double kSentinel = -12345.0;  // a value no step of the calculation writes

enum BoreIndex : std::int32_t { k8mm = 0, k13mm = 1, k19mm = 2 };

class DischargeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DecimalMark = '.';
        SetDefaultNozzleBore();
        Pressure = kSentinel;
        Discharge = kSentinel;
    }

    static Extended Stored(double pressure) { return Extended::FromDouble(pressure); }
    static double Below(double x) { return std::nextafter(x, 0.0); }
};

// ---------------------------------------------------------------------------
// Worked calculations: bore and stored pressure in, discharge and MPa out.

struct Worked {
    BoreIndex bore;
    double pressure;
    double discharge;
    double mpa;
};

class WorkedCalculation : public DischargeTest, public ::testing::WithParamInterface<Worked> {};

TEST_P(WorkedCalculation, GivesDischargeAndMPa)
{
    const Worked& c = GetParam();
    SelectNozzleBore(c.bore);
    EXPECT_EQ(CalculateDischarge(Stored(c.pressure)), c.discharge);
    EXPECT_EQ(Discharge, c.discharge);
    EXPECT_EQ(ConvertPressureToMPa(), c.mpa);
    EXPECT_EQ(Pressure, c.mpa);
    EXPECT_FALSE(std::signbit(Discharge));
    EXPECT_FALSE(std::signbit(Pressure));
}

INSTANTIATE_TEST_SUITE_P(Table, WorkedCalculation, ::testing::Values(
    Worked{k8mm, 1, 42, 0.1},
    Worked{k13mm, 1, 110, 0.1},
    Worked{k19mm, 1, 236, 0.1},
    Worked{k13mm, 1.7, 144, 0.17},
    Worked{k8mm, 2.5, 66, 0.25},
    Worked{k19mm, 2.5, 373, 0.25},
    Worked{k13mm, 3, 191, 0.29},
    Worked{k19mm, 3.5, 441, 0.34},
    Worked{k13mm, 0.5, 78, 0.05},
    Worked{k8mm, 10, 132, 0.98},
    Worked{k19mm, 100, 2357, 9.81},
    Worked{k13mm, 3.5, 206, 0.34},
    Worked{k8mm, 3.5, 78, 0.34},
    // Zero, negative zero and values too small to show.
    Worked{k13mm, 0.0, 0, 0},
    Worked{k13mm, -0.0, 0, 0},
    Worked{k13mm, 1e-6, 0, 0},
    // An exact half of a hundredth goes up: the MPa value here is exactly 0.125.
    Worked{k13mm, 1.2746452662224104, 125, 0.13}));

TEST_F(DischargeTest, PressureBelowTheDoubleRangeIsStoredAsZero)
{
    EXPECT_EQ(CalculateDischarge(ParsePressureText("1E-400")), 0.0);
    EXPECT_EQ(ConvertPressureToMPa(), 0.0);
    EXPECT_FALSE(std::signbit(Pressure));
}

TEST_F(DischargeTest, TinyNegativePressureRoundsToNegativeZeroWithoutError)
{
    // 2^−1075 is half the smallest subnormal: the tie goes to the even value, −0.
    const Extended tiny = -Extended::FromParts(1, -1075);
    EXPECT_EQ(CalculateDischarge(tiny), 0.0);
    EXPECT_TRUE(std::signbit(Pressure));
    EXPECT_EQ(ConvertPressureToMPa(), 0.0);
    EXPECT_FALSE(std::signbit(Pressure));
    EXPECT_FALSE(std::signbit(Discharge));
}

// ---------------------------------------------------------------------------
// Failures and the state they leave behind.

struct Failure {
    const char* name;
    BoreIndex bore;
    Extended pressure;
    enum Kind { Overflow, InvalidOp } kind;
    double pressureAfter;   // kSentinel: unchanged
    double dischargeAfter;  // kSentinel: unchanged
};

class DischargeFailure : public DischargeTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(DischargeFailure, RaisesAndLeavesTheState)
{
    const Failure& c = GetParam();
    SelectNozzleBore(c.bore);
    if (c.kind == Failure::Overflow) {
        EXPECT_THROW(CalculateDischarge(c.pressure), EOverflow);
    } else {
        EXPECT_THROW(CalculateDischarge(c.pressure), EInvalidOp);
    }
    EXPECT_EQ(Pressure, c.pressureAfter);
    EXPECT_EQ(Discharge, c.dischargeAfter);
}

const double k2To63 = 9223372036854775808.0;
const Extended kOverflowThreshold = Extended::FromParts((std::uint64_t{1} << 54) - 1, 970);
// The extended values there are 2^960 apart, so the largest one below the
// threshold is (2^64 − 2^10 − 1) × 2^960; the store rounds it down to the
// largest double.
const Extended kBelowOverflowThreshold = Extended::FromParts(0xFFFFFFFFFFFFFBFFu, 960);

INSTANTIATE_TEST_SUITE_P(Table, DischargeFailure, ::testing::Values(
    Failure{"Overflow1E309", k13mm, ParsePressureText("1E309"), Failure::Overflow, kSentinel, kSentinel},
    // The store comes before the square root: overflow, not invalid.
    Failure{"NegativeOverflow", k13mm, ParsePressureText("-1E309"), Failure::Overflow, kSentinel, kSentinel},
    Failure{"OverflowThreshold", k13mm, kOverflowThreshold, Failure::Overflow, kSentinel, kSentinel},
    Failure{"OverflowThresholdNegative", k13mm, -kOverflowThreshold, Failure::Overflow, kSentinel, kSentinel},
    // Just below the threshold the store succeeds (as the largest double) and
    // the discharge, far beyond 2^63, fails at the rounding.
    Failure{"JustBelowOverflowThreshold", k13mm, kBelowOverflowThreshold, Failure::InvalidOp,
            std::numeric_limits<double>::max(), 1.4796454597246752e156},
    Failure{"NegativePressure", k13mm, Extended::FromDouble(-1), Failure::InvalidOp, -1, kSentinel},
    Failure{"SmallestNegativeSubnormal", k13mm, -Extended::FromParts(0x8000000000000001u, -1075 - 63),
            Failure::InvalidOp, -std::numeric_limits<double>::denorm_min(), kSentinel},
    // At each bore's threshold the stored discharge is exactly 2^63.
    Failure{"DischargeThreshold8", k8mm, Extended::FromDouble(4.870719762983265e34), Failure::InvalidOp,
            4.870719762983265e34, k2To63},
    Failure{"DischargeThreshold13", k13mm, Extended::FromDouble(6.985213455123929e33), Failure::InvalidOp,
            6.985213455123929e33, k2To63},
    Failure{"DischargeThreshold19", k19mm, Extended::FromDouble(1.5308713215198973e33), Failure::InvalidOp,
            1.5308713215198973e33, k2To63}),
    [](const ::testing::TestParamInfo<Failure>& param) { return std::string(param.param.name); });

struct Threshold {
    BoreIndex bore;
    double pressure;
    double unroundedMPaBelow;  // what the failed MPa step leaves in Pressure
};

class BelowDischargeThreshold : public DischargeTest, public ::testing::WithParamInterface<Threshold> {};

TEST_P(BelowDischargeThreshold, ShowsTheLargestDischargeThenFailsAtTheMPaStep)
{
    SelectNozzleBore(GetParam().bore);
    const double pressure = Below(GetParam().pressure);
    EXPECT_EQ(CalculateDischarge(Stored(pressure)), 9223372036854774784.0);
    EXPECT_THROW(ConvertPressureToMPa(), EInvalidOp);
    EXPECT_EQ(Discharge, 9223372036854774784.0);
    EXPECT_EQ(Pressure, GetParam().unroundedMPaBelow);
}

INSTANTIATE_TEST_SUITE_P(Table, BelowDischargeThreshold, ::testing::Values(
    Threshold{k8mm, 4.870719762983265e34, 4.7765443963659825e33},
    Threshold{k13mm, 6.985213455123929e33, 6.850154352969107e32},
    Threshold{k19mm, 1.5308713215198973e33, 1.5012719245183098e32}));

TEST_F(DischargeTest, MPaThresholdFailsAtTheMPaStepLeavingTheUnroundedValue)
{
    EXPECT_EQ(CalculateDischarge(Stored(9.405222004308073e17)), 107024796694.0);
    EXPECT_THROW(ConvertPressureToMPa(), EInvalidOp);
    EXPECT_EQ(Pressure, 92233720368547760.0);
    EXPECT_EQ(Discharge, 107024796694.0);
}

TEST_F(DischargeTest, JustBelowTheMPaThresholdRoundsToTheLastHundredth)
{
    CalculateDischarge(Stored(9.405222004308072e17));
    EXPECT_EQ(ConvertPressureToMPa(), 92233720368547744.0);
    EXPECT_EQ(Pressure, 92233720368547744.0);
}

TEST_F(DischargeTest, HugeButValidDischargeIsKeptWhenTheMPaStepFails)
{
    EXPECT_EQ(CalculateDischarge(ParsePressureText("1E18")), 110357000000.0);
    EXPECT_THROW(ConvertPressureToMPa(), EInvalidOp);
    EXPECT_EQ(Discharge, 110357000000.0);
}

TEST_F(DischargeTest, EveryErrorLeavesTheNextCalculationUnaffected)
{
    const auto ordinary = [] {
        const double discharge = CalculateDischarge(ParsePressureText("3.5"));
        return std::pair{discharge, ConvertPressureToMPa()};
    };
    const auto expected = ordinary();
    ASSERT_EQ(expected, (std::pair{206.0, 0.34}));

    EXPECT_THROW(CalculateDischarge(ParsePressureText("-1")), EInvalidOp);
    EXPECT_EQ(ordinary(), expected);
    EXPECT_THROW(CalculateDischarge(ParsePressureText("1E309")), EOverflow);
    EXPECT_EQ(ordinary(), expected);
    EXPECT_THROW(CalculateDischarge(ParsePressureText("1E35")), EInvalidOp);
    EXPECT_EQ(ordinary(), expected);
    CalculateDischarge(ParsePressureText("1E20"));
    EXPECT_THROW(ConvertPressureToMPa(), EInvalidOp);
    EXPECT_EQ(ordinary(), expected);
}

// ---------------------------------------------------------------------------
// The whole-number rule and the bore table.

struct Whole {
    double value;
    std::int64_t whole;
};

class RoundToWholeTest : public ::testing::TestWithParam<Whole> {};

TEST_P(RoundToWholeTest, AddsAHalfInExtendedPrecisionAndTruncates)
{
    EXPECT_EQ(RoundToWhole(Extended::FromDouble(GetParam().value)), GetParam().whole);
}

INSTANTIATE_TEST_SUITE_P(Table, RoundToWholeTest, ::testing::Values(
    Whole{0.0, 0},
    Whole{0.49999999999999994, 0},  // one too high if the half were added in double
    Whole{0.5, 1},
    Whole{2.5, 3},                  // halves go up, never to even
    Whole{3.5, 4},
    Whole{4503599627370497.0, 4503599627370497},  // one too high in double
    Whole{9223372036854774784.0, 9223372036854774784}));

TEST(RoundToWholeRange, TwoToThe63IsInvalid)
{
    EXPECT_THROW(RoundToWhole(Extended::FromDouble(9223372036854775808.0)), EInvalidOp);
    // The sum, not the value, decides: 2^63 − ½ + ½ reaches 2^63.
    EXPECT_THROW(RoundToWhole(Extended::FromParts(0xFFFFFFFFFFFFFFFFu, -1)), EInvalidOp);
    EXPECT_EQ(RoundToWhole(Extended::FromParts(0xFFFFFFFFFFFFFFFDu, -1)), 9223372036854775807);
}

struct BoreCase {
    std::int32_t index;
    double bore;  // after selecting it, starting from 13
};

class SelectNozzleBoreTest : public ::testing::TestWithParam<BoreCase> {};

TEST_P(SelectNozzleBoreTest, SetsTheBoreOfTheItemOrNothing)
{
    SetDefaultNozzleBore();
    SelectNozzleBore(GetParam().index);
    EXPECT_EQ(NozzleBore, GetParam().bore);
}

INSTANTIATE_TEST_SUITE_P(Table, SelectNozzleBoreTest, ::testing::Values(
    BoreCase{0, 8}, BoreCase{1, 13}, BoreCase{2, 19},
    BoreCase{-1, 13}, BoreCase{3, 13},
    BoreCase{std::numeric_limits<std::int32_t>::min(), 13}));

TEST(SetDefaultNozzleBoreTest, SelectsThirteenMillimetres)
{
    NozzleBore = 8;
    SetDefaultNozzleBore();
    EXPECT_EQ(NozzleBore, 13.0);
}

}  // namespace
}  // namespace calc
