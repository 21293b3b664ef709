// Every operation runs under its own floating-point environment, whatever the
// caller left, and gives the caller's environment back untouched but for a
// raised inexact flag.
#include <cfenv>
#include <cstdint>

#include <gtest/gtest.h>

#include "discharge.h"

namespace calc {
namespace {

#if defined(__x86_64__) || defined(__i386__)

std::uint16_t X87ControlWord()
{
    std::uint16_t cw;
    asm volatile("fnstcw %0" : "=m"(cw));
    return cw;
}

void SetX87ControlWord(std::uint16_t cw) { asm volatile("fldcw %0" : : "m"(cw)); }

std::uint16_t X87StatusFlags()
{
    std::uint16_t sw;
    asm volatile("fnstsw %0" : "=m"(sw));
    return sw & 0x3F;
}

std::uint32_t Mxcsr()
{
    std::uint32_t m;
    asm volatile("stmxcsr %0" : "=m"(m));
    return m;
}

void SetMxcsr(std::uint32_t m) { asm volatile("ldmxcsr %0" : : "m"(m)); }

// A hostile caller: 24-bit significand, rounding toward +∞ on the x87;
// toward −∞ with flush-to-zero on SSE; some flags raised. Every exception
// stays masked, so nothing traps.
constexpr std::uint16_t kHostileControlWord = 0x087F;
constexpr std::uint32_t kHostileMxcsr = 0x1F80 | 0x2000 | 0x8000;

class ForeignEnvironment : public ::testing::Test {
protected:
    void SetUp() override
    {
        DecimalMark = '.';
        SetDefaultNozzleBore();
        std::fegetenv(&saved_);
        SetX87ControlWord(kHostileControlWord);
        SetMxcsr(kHostileMxcsr);
        std::feraiseexcept(FE_INEXACT);
        cwBefore_ = X87ControlWord();
        flagsBefore_ = X87StatusFlags();
        mxcsrBefore_ = Mxcsr();
    }

    void TearDown() override { std::fesetenv(&saved_); }

    void ExpectEnvironmentUnchanged()
    {
        const std::uint16_t cw = X87ControlWord();
        const std::uint16_t flags = X87StatusFlags();
        const std::uint32_t mxcsr = Mxcsr();
        std::fesetenv(&saved_);  // compare under a sane environment
        EXPECT_EQ(cw, cwBefore_);
        EXPECT_EQ(flags, flagsBefore_);  // the caller's inexact flag among them
        EXPECT_EQ(mxcsr, mxcsrBefore_);
    }

    std::fenv_t saved_{};
    std::uint16_t cwBefore_ = 0;
    std::uint16_t flagsBefore_ = 0;
    std::uint32_t mxcsrBefore_ = 0;
};

TEST_F(ForeignEnvironment, CalculationRoundsAsUsualAndRestoresTheCallersEnvironment)
{
    const double discharge = CalculateDischarge(ParsePressureText("1.7"));
    const double mpa = ConvertPressureToMPa();
    const std::string dischargeText = FormatResultText(discharge);
    const std::string mpaText = FormatResultText(mpa);
    ExpectEnvironmentUnchanged();
    EXPECT_EQ(discharge, 144.0);
    EXPECT_EQ(mpa, 0.17);
    EXPECT_EQ(dischargeText, "144");
    EXPECT_EQ(mpaText, "0.17");
}

// Inexact is the one flag an operation may leave raised (clearing it would
// stall the unit); every other flag it raised is taken away again. The texts
// reach the underflow and overflow of the extended format while parsing.
TEST_F(ForeignEnvironment, LeavesAtMostTheInexactFlagRaised)
{
    constexpr std::uint16_t kInexact = 0x20;
    for (const char* text : {"3.5", "1E-4940", "1E-400", "1E5000"}) {
        SCOPED_TRACE(text);
        std::feclearexcept(FE_ALL_EXCEPT);
        const std::uint32_t mxcsrBefore = Mxcsr();
        try {
            CalculateDischarge(ParsePressureText(text));
            ConvertPressureToMPa();
        } catch (const Exception&) {
        }
        EXPECT_EQ(X87StatusFlags() & ~kInexact, 0);
        EXPECT_EQ(X87ControlWord(), kHostileControlWord);
        EXPECT_EQ(Mxcsr(), mxcsrBefore);
    }
}

TEST_F(ForeignEnvironment, WholeNumberRuleStillNeedsTheFullSignificand)
{
    // With a 24-bit significand the half would be lost for this value.
    const std::int64_t whole = RoundToWhole(Extended::FromDouble(4503599627370497.0));
    ExpectEnvironmentUnchanged();
    EXPECT_EQ(whole, 4503599627370497);
}

struct Faulting {
    const char* text;
    bool mpaStep;  // the fault comes from ConvertPressureToMPa
};

class FaultInForeignEnvironment : public ForeignEnvironment, public ::testing::WithParamInterface<Faulting> {};

TEST_P(FaultInForeignEnvironment, LeavesNoFlagAndNoControlWordBehind)
{
    try {
        CalculateDischarge(ParsePressureText(GetParam().text));
        if (GetParam().mpaStep) {
            ConvertPressureToMPa();
        }
        ADD_FAILURE() << "no error for " << GetParam().text;
    } catch (const EMathError&) {
    }
    ExpectEnvironmentUnchanged();
    // And an ordinary calculation afterwards gives the ordinary results.
    EXPECT_EQ(CalculateDischarge(ParsePressureText("3.5")), 206.0);
    EXPECT_EQ(ConvertPressureToMPa(), 0.34);
}

INSTANTIATE_TEST_SUITE_P(Table, FaultInForeignEnvironment, ::testing::Values(
    Faulting{"-1", false}, Faulting{"1E309", false}, Faulting{"1E35", false}, Faulting{"1E20", true}));

TEST_F(ForeignEnvironment, RejectedTextRestoresTheEnvironmentToo)
{
    EXPECT_THROW(ParsePressureText(std::string(5000, '9')), EConvertError);
    ExpectEnvironmentUnchanged();
}

#endif

TEST(ExtendedFormat, ConstantsAreTheNearestExtendedValues)
{
    // 0.653 and 0.0980665 enter the discharge through k = 0.653 × D × D,
    // which for the three bores is the value nearest 41.792, 110.357, 235.733.
    const struct {
        std::int32_t index;
        const char* pressureForUnitK;
        double discharge;
    } rows[] = {{0, "1", 42}, {1, "1", 110}, {2, "1", 236}};
    for (const auto& row : rows) {
        SelectNozzleBore(row.index);
        EXPECT_EQ(CalculateDischarge(ParsePressureText(row.pressureForUnitK)), row.discharge);
    }
}

TEST(ExtendedFormat, TruncationRangeIsTheSigned64BitRange)
{
    const Extended justBelow = Extended::FromParts(0xFFFFFFFFFFFFFFFFu, -1);  // 2^63 − ½
    EXPECT_EQ(justBelow.TruncateToInt64(), INT64_MAX);
    EXPECT_FALSE(Extended::FromParts(1, 63).TruncateToInt64().has_value());
    EXPECT_EQ((-Extended::FromParts(1, 63)).TruncateToInt64(), INT64_MIN);
    // Next to 2^63 the extended values are whole numbers, so −2^63 − 1 is the
    // first value below the range.
    EXPECT_FALSE((-Extended::FromParts(0x8000000000000001u, 0)).TruncateToInt64().has_value());
}

}  // namespace
}  // namespace calc
