// SoftExtended on its own, on any processor: the roundings whose result can
// be worked out by hand (ties, borrows through a lost tail, the subnormal
// range, the overflow edge, the double conversion). The x86-64 differential
// test compares it with the x87 unit on millions of operands; this one also
// runs in the aarch64 build.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "soft_extended.h"

namespace calc {
namespace {

using X = SoftExtended;

X P(std::uint64_t significand, int exponent) { return X::FromParts(significand, exponent); }
X N(std::uint64_t n) { return X::FromUint64(n); }

void ExpectSameBits(X actual, X expected)
{
    EXPECT_EQ(actual.SignExponentBits(), expected.SignExponentBits());
    EXPECT_EQ(actual.SignificandBits(), expected.SignificandBits());
}

constexpr std::uint64_t kTop = std::uint64_t{1} << 63;
const X kMinSubnormal = X::FromBits(0, 1);               // 2^−16445
const X kMinNormal = X::FromBits(1, kTop);               // 2^−16382
const X kMax = X::FromBits(0x7FFE, ~std::uint64_t{0});   // (2 − 2^−63) × 2^16383

TEST(SoftExtendedRounding, AdditionTiesGoToTheEvenNeighbour)
{
    const X half = X::FromDouble(0.5);
    ExpectSameBits(N(kTop) + half, N(kTop));                // 2^63 + ½: even is 2^63
    ExpectSameBits(N(kTop + 1) + half, N(kTop + 2));        // odd + ½ goes up
    // 2^64 − ½: between 2^64 − 1 (odd) and 2^64 (even significand).
    ExpectSameBits(P(1, 64) - half, P(1, 64));
}

TEST(SoftExtendedRounding, BorrowFromALostTailDecidesBelowTheTie)
{
    // 2^64 − (½ + 2^−64): just below the tie, so 2^64 − 1. The subtrahend's
    // last bit lies 128 places below the minuend's: it only shows as sticky.
    ExpectSameBits(P(1, 64) - P(kTop + 1, -64), N(~std::uint64_t{0}));
    // The same with the operands the other way round and signs flipped.
    ExpectSameBits(-P(kTop + 1, -64) + P(1, 64), N(~std::uint64_t{0}));
    // x − x is +0, −0 − (+0) is −0.
    EXPECT_FALSE((N(12345) - N(12345)).IsNegative());
    EXPECT_TRUE((-X() - X()).IsNegative());
}

TEST(SoftExtendedRounding, ProductsAndQuotients)
{
    // (2^32 + 1)² = 2^64 + 2^33 + 1, a tie at spacing 2: the even neighbour.
    ExpectSameBits(N((std::uint64_t{1} << 32) + 1) * N((std::uint64_t{1} << 32) + 1), P(kTop + (std::uint64_t{1} << 32), 1));
    // 1/3 = 0.0101…: the 64 bits 0xAAAA…AAAA are followed by 1010…, so up.
    ExpectSameBits(N(1) / N(3), P(0xAAAAAAAAAAAAAAABu, -65));
    // 2/3 rounds the same way one binade up; −1/3 is its mirror.
    ExpectSameBits(N(2) / N(3), P(0xAAAAAAAAAAAAAAABu, -64));
    ExpectSameBits(-N(1) / N(3), -P(0xAAAAAAAAAAAAAAABu, -65));
}

TEST(SoftExtendedRounding, SquareRoots)
{
    ExpectSameBits(Sqrt(N(2)), P(0xB504F333F9DE6484u, -63));  // the next bits are 0x597D…: down
    ExpectSameBits(Sqrt(N(0xFFFFFFFE00000001u)), N(0xFFFFFFFFu));  // (2^32 − 1)², exact
    ExpectSameBits(Sqrt(P(1, -16444)), P(1, -8222));  // from the subnormal range
    ExpectSameBits(Sqrt(-X()), -X());
    EXPECT_TRUE(Sqrt(-N(1)).IsNaN());
}

TEST(SoftExtendedRounding, GradualUnderflowRoundsOnceToTheSubnormalPrecision)
{
    const X two = N(2);
    ExpectSameBits(kMinNormal / two, X::FromBits(0, kTop >> 1));      // exact subnormal
    ExpectSameBits(kMinSubnormal / two, X());                          // tie: to even 0
    ExpectSameBits(kMinSubnormal * N(3) / two, X::FromBits(0, 2));     // 1.5 units: to 2
    ExpectSameBits(X::FromBits(0, kTop - 1) + kMinSubnormal, kMinNormal);  // into the normal range
    // (2^63 + 2^31)(2^64 − 2^32 + 1) = 2^127 + 2^31. Scaled to half the
    // smallest subnormal times (1 + 2^−96), it must round up to that
    // subnormal; rounding first to 64 bits would make it an exact half, and
    // the tie would then go to zero.
    const X a = P(kTop + (std::uint64_t{1} << 31), -8286);
    const X b = P(~std::uint64_t{0} - (std::uint64_t{1} << 32) + 2, -8287);
    ExpectSameBits(a * b, kMinSubnormal);
    ExpectSameBits(-a * b, -kMinSubnormal);
}

TEST(SoftExtendedRounding, OverflowIsInfinityAndInfinityStays)
{
    EXPECT_TRUE((kMax * N(2)).IsInfinite());
    EXPECT_TRUE((kMax + kMax).IsInfinite());
    ExpectSameBits(kMax + N(1), kMax);  // far below half an ulp
    const X infinity = kMax * N(2);
    ExpectSameBits(infinity * N(10), infinity);
    EXPECT_TRUE((infinity * X()).IsNaN());
    EXPECT_TRUE((infinity - infinity).IsNaN());
    EXPECT_TRUE((N(1) / X()).IsInfinite());
}

TEST(SoftExtendedConversion, ToDoubleRoundsOnceWithGradualUnderflow)
{
    const struct {
        X value;
        double expected;
    } rows[] = {
        {P(kTop + (std::uint64_t{1} << 10), -63), 1.0},                           // 1 + 2^−53: tie, to even
        {P(kTop + (std::uint64_t{1} << 10) + 1, -63), 1.0 + DBL_EPSILON},          // a hair above it
        {P(kTop + (std::uint64_t{3} << 10), -63), 1.0 + 2 * DBL_EPSILON},          // 1 + 3 × 2^−53: to even
        {P(1, -1075), 0.0},                                                        // half the smallest subnormal
        {P(kTop + 1, -1075 - 63), std::numeric_limits<double>::denorm_min()},      // a hair above half
        {P(3, -1075), 2 * std::numeric_limits<double>::denorm_min()},              // 1.5 units: to 2
        {P((std::uint64_t{1} << 54) - 1, 970), HUGE_VAL},                          // 2^1024 − 2^970: infinity
        {P((std::uint64_t{1} << 63) - (std::uint64_t{1} << 9) - 1, 961), DBL_MAX},  // 2^1024 − 2^970 − 2^961
        {X::FromDouble(0.1), 0.1},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.value.ToDouble(), row.expected) << row.value.SignExponentBits() << ":" << row.value.SignificandBits();
        EXPECT_EQ((-row.value).ToDouble(), -row.expected);
    }
    EXPECT_TRUE(std::signbit((-X()).ToDouble()));
}

TEST(SoftExtendedConversion, FromDoubleIsExact)
{
    ExpectSameBits(X::FromDouble(std::numeric_limits<double>::denorm_min()), P(1, -1074));
    ExpectSameBits(X::FromDouble(DBL_MAX), P((std::uint64_t{1} << 53) - 1, 971));
    ExpectSameBits(X::FromDouble(-0.0), -X());
    EXPECT_TRUE(X::FromDouble(HUGE_VAL).IsInfinite());
    EXPECT_TRUE(X::FromDouble(std::nan("")).IsNaN());
}

TEST(SoftExtendedConversion, TruncationKeepsTheSigned64BitRange)
{
    EXPECT_EQ((-P(1, 63)).TruncateToInt64(), INT64_MIN);
    EXPECT_FALSE(P(1, 63).TruncateToInt64().has_value());
    EXPECT_FALSE((-N(kTop + 1)).TruncateToInt64().has_value());
    EXPECT_EQ(P(~std::uint64_t{0}, -1).TruncateToInt64(), INT64_MAX);  // 2^63 − ½
    EXPECT_EQ((-P(3, -2)).TruncateToInt64(), 0);                         // −0.75
    EXPECT_EQ(P(7, -1).TruncateToInt64(), 3);                            // 3.5
    EXPECT_FALSE((kMax * N(2)).TruncateToInt64().has_value());
    EXPECT_FALSE(Sqrt(-N(1)).TruncateToInt64().has_value());
}

TEST(SoftExtendedComparison, OrdersSignedValuesAndLeavesNaNUnordered)
{
    EXPECT_TRUE(-X() == X());
    EXPECT_TRUE(kMinSubnormal < kMinNormal);
    EXPECT_TRUE(-kMinNormal < -kMinSubnormal);
    EXPECT_TRUE(-kMinSubnormal < X());
    EXPECT_TRUE(kMax < kMax * N(2));
    const X nan = Sqrt(-N(1));
    EXPECT_FALSE(nan == nan);
    EXPECT_EQ(nan <=> N(1), std::partial_ordering::unordered);
}

}  // namespace
}  // namespace calc
