// SoftExtended against the x87 unit, bit for bit, on a large random sample of
// operands weighted toward the cases where a rounding is hard to get right:
// exact halves, significands next to powers of two, sums that cancel, results
// at the overflow edge and in the subnormal range, doubles that round to a
// subnormal, the 2^63 edge of the truncation, perfect squares and their
// neighbours. The seed is fixed; HYDRANT_DIFFERENTIAL_SAMPLES sets the number
// of cases per operation (default 3,000,000) and HYDRANT_DIFFERENTIAL_SEED
// another seed.
#include <bit>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "soft_extended.h"
#include "x87_extended.h"

namespace calc {
namespace {

constexpr std::uint64_t kDefaultSeed = 0x5EEDF00D2024ull;
constexpr std::uint64_t kDefaultSamples = 3'000'000;
constexpr int kBias = 16383;
constexpr std::uint64_t kTop = std::uint64_t{1} << 63;

std::uint64_t FromEnvironment(const char* name, std::uint64_t fallback)
{
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::strtoull(text, nullptr, 0) : fallback;
}

std::uint64_t Samples() { return FromEnvironment("HYDRANT_DIFFERENTIAL_SAMPLES", kDefaultSamples); }
std::uint64_t Seed() { return FromEnvironment("HYDRANT_DIFFERENTIAL_SEED", kDefaultSeed); }

struct Bits {
    std::uint16_t signExponent;
    std::uint64_t significand;
};

bool operator==(Bits a, Bits b) { return a.signExponent == b.signExponent && a.significand == b.significand; }

std::string Show(Bits b)
{
    char text[40];
    std::snprintf(text, sizeof text, "%04X:%016" PRIX64, b.signExponent, b.significand);
    return text;
}

Bits BitsOf(SoftExtended x) { return {x.SignExponentBits(), x.SignificandBits()}; }
Bits BitsOf(X87Extended x) { return {x.SignExponentBits(), x.SignificandBits()}; }
SoftExtended Soft(Bits b) { return SoftExtended::FromBits(b.signExponent, b.significand); }
X87Extended X87(Bits b) { return X87Extended::FromBits(b.signExponent, b.significand); }

// Operands in the encodings that the calculation can produce: normal,
// subnormal, zero, infinity, NaN; biased toward the hard cases.
class Operands {
public:
    explicit Operands(std::uint64_t seed) : random_(seed) {}

    std::uint64_t Word() { return random_(); }
    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool OneIn(int n) { return Between(1, n) == 1; }

    // A significand with the integer bit set.
    std::uint64_t Significand()
    {
        switch (Between(0, 9)) {
        case 0: return kTop;                                     // a power of two
        case 1: return ~std::uint64_t{0} - Word() % 4;           // just below the next one
        case 2: return kTop + Word() % 4;                        // just above
        case 3: return kTop | SparseBits();                      // exact halves in sums and products
        case 4: return kTop | Runs();                            // long carries and borrows
        case 5: return kTop | (Word() & ~(~std::uint64_t{0} << Between(1, 40)));  // short: exact products
        case 6: return kTop | (Word() << Between(1, 63));        // short at the top
        default: return kTop | Word();
        }
    }

    std::uint64_t SparseBits()
    {
        std::uint64_t bits = 0;
        for (int n = Between(1, 3); n > 0; --n) {
            bits |= std::uint64_t{1} << Between(0, 62);
        }
        return bits;
    }

    std::uint64_t Runs()
    {
        std::uint64_t bits = 0;
        int position = 0;
        bool one = OneIn(2);
        while (position < 64) {
            const int length = Between(1, 24);
            if (one) {
                for (int i = position; i < position + length && i < 64; ++i) {
                    bits |= std::uint64_t{1} << i;
                }
            }
            position += length;
            one = !one;
        }
        return bits;
    }

    // A biased exponent for a finite nonzero value, 0 meaning subnormal.
    int Exponent()
    {
        switch (Between(0, 5)) {
        case 0: return Between(0, 70);                   // subnormal and the lowest binades
        case 1: return Between(0x7FFE - 70, 0x7FFE);     // the top binades
        case 2: return kBias + Between(-80, 80);          // everyday values
        default: return Between(0, 0x7FFE);
        }
    }

    Bits Finite(int exponent)
    {
        const auto sign = static_cast<std::uint16_t>(OneIn(2) ? 0x8000 : 0);
        std::uint64_t m = Significand();
        if (exponent <= 0) {
            // Subnormal: shift the significand down, keeping some bits.
            const int shift = exponent <= 0 ? std::min(63, 1 - exponent + Between(0, 62)) : 0;
            m >>= shift;
            if (m == 0) m = 1;
            return {sign, m};
        }
        return {static_cast<std::uint16_t>(sign | std::min(exponent, 0x7FFE)), m};
    }

    Bits Special()
    {
        const auto sign = static_cast<std::uint16_t>(OneIn(2) ? 0x8000 : 0);
        switch (Between(0, 3)) {
        case 0: return {sign, 0};                                          // ±0
        case 1: return {static_cast<std::uint16_t>(sign | 0x7FFF), kTop};  // ±∞
        case 2: return {static_cast<std::uint16_t>(sign | 0x7FFF), kTop | (std::uint64_t{1} << 62) | (Word() >> 2)};  // quiet NaN
        default: return {static_cast<std::uint16_t>(sign | 0x7FFF), kTop | ((Word() >> 2) | 1)};  // signalling NaN
        }
    }

    Bits Any()
    {
        if (OneIn(40)) return Special();
        return Finite(Exponent());
    }

    // A second operand whose exponent is tied to the first one's, so that
    // sums cancel or round at the 64-bit edge, and products and quotients land
    // near the overflow and underflow edges.
    Bits Partner(Bits a, char operation)
    {
        if (OneIn(8)) return Any();
        if (OneIn(16)) return {static_cast<std::uint16_t>(a.signExponent ^ (OneIn(2) ? 0x8000 : 0)), a.significand};  // ±a
        const int ea = a.signExponent & 0x7FFF;
        int eb = 0;
        switch (operation) {
        case '+':
            eb = ea + (OneIn(3) ? Between(-3, 3) : Between(-70, 70));
            break;
        case '*':
            // ea + eb − bias near the top, near the bottom, or anywhere.
            eb = (OneIn(2) ? 0x7FFE : Between(-66, 1)) + Between(-3, 3) - ea + kBias;
            break;
        case '/':
            eb = ea - (OneIn(2) ? 0x7FFE : Between(-66, 1)) + Between(-3, 3) + kBias;
            break;
        }
        if (eb > 0x7FFE || eb < -62) return Any();
        Bits b = Finite(eb);
        if (operation == '+' && OneIn(4)) {
            // Same significand or its neighbour: total cancellation and the
            // borrow through every bit.
            b.significand = a.significand + static_cast<std::uint64_t>(Between(-1, 1));
            if ((b.significand & kTop) == 0 && eb > 0) b.significand |= kTop;
        }
        if (operation == '/' && OneIn(3)) {
            b.significand = kTop;  // a power of two: quotients exact or tied in the subnormal range
        }
        return b;
    }

    // Values whose conversion to double is hard: halfway patterns below the
    // last double bit, for normal and subnormal doubles and at the top.
    Bits ForDouble()
    {
        if (OneIn(20)) return Special();
        int unbiased = 0;
        switch (Between(0, 3)) {
        case 0: unbiased = Between(-1140, -1015); break;  // double subnormals and below
        case 1: unbiased = Between(1015, 1030); break;    // double overflow
        case 2: unbiased = Between(-1100, 1100); break;
        default: return Finite(Exponent());
        }
        const int lastKept = std::max(11, -1074 - (unbiased - 63));  // bits dropped by the rounding
        std::uint64_t m = Significand();
        if (lastKept < 64) {
            const std::uint64_t below = (std::uint64_t{1} << lastKept) - 1;
            const std::uint64_t half = std::uint64_t{1} << (lastKept - 1);
            switch (Between(0, 4)) {
            case 0: m = (m & ~below) | half; break;        // a tie
            case 1: m = (m & ~below) | (half - 1); break;  // just below it
            case 2: m = (m & ~below) | (half + 1); break;  // just above it
            case 3: m = m & ~below; break;                 // exact
            default: break;
            }
            m |= kTop;
        }
        const auto sign = static_cast<std::uint16_t>(OneIn(2) ? 0x8000 : 0);
        return {static_cast<std::uint16_t>(sign | (unbiased + kBias)), m};
    }

    // Values next to the edges of the signed 64-bit range and to halves.
    Bits ForTruncation()
    {
        if (OneIn(20)) return Special();
        if (OneIn(4)) return Finite(Exponent());
        const int unbiased = OneIn(2) ? Between(61, 64) : Between(-3, 64);
        std::uint64_t m = Significand();
        if (OneIn(3)) m = kTop + static_cast<std::uint64_t>(Between(0, 2));  // ±2^63, ±(2^63 + 1)…
        const auto sign = static_cast<std::uint16_t>(OneIn(2) ? 0x8000 : 0);
        return {static_cast<std::uint16_t>(sign | (unbiased + kBias)), m};
    }

    // Perfect squares, their neighbours, and anything.
    Bits ForSquareRoot()
    {
        if (OneIn(20)) return Special();
        Bits x = Finite(Exponent());
        if (OneIn(2) && (x.signExponent & 0x7FFF) != 0) {
            const std::uint64_t root = Word() >> Between(32, 40);  // up to 32 bits
            std::uint64_t square = root * root;
            if (square == 0) square = 1;
            const int shift = std::countl_zero(square) & ~1;  // keep the square a square
            square <<= shift;
            if ((square & kTop) == 0) {
                // Top bit one below: take the next exponent down so the
                // encoding is normal (x × 2 × 2^−1 is the same value).
                square <<= 1;
                x.signExponent = static_cast<std::uint16_t>(x.signExponent - 1);
                if ((x.signExponent & 0x7FFF) == 0) return Finite(Exponent());
            }
            if ((x.signExponent & 1) != 0 && (x.signExponent & 0x7FFF) > 1) {
                // Odd scale would halve the square into a non-square; fine to
                // keep sometimes, but move most of them to the even side.
                if (!OneIn(4)) x.signExponent = static_cast<std::uint16_t>(x.signExponent - 1);
            }
            x.significand = square + static_cast<std::uint64_t>(Between(-2, 2));
            if ((x.significand & kTop) == 0) x.significand = square;
        }
        if (!OneIn(10)) x.signExponent &= 0x7FFF;  // mostly non-negative
        return x;
    }

private:
    std::mt19937_64 random_;
};

// Collects the first mismatches of one operation with their operands.
class Mismatches {
public:
    void Add(const std::string& description)
    {
        if (++count_ <= 10) text_ << "  " << description << "\n";
    }
    std::uint64_t Count() const { return count_; }
    std::string Text() const { return text_.str(); }

private:
    std::uint64_t count_ = 0;
    std::ostringstream text_;
};

class ExtendedDifferential : public ::testing::Test {
protected:
    void SetUp() override { start_ = std::chrono::steady_clock::now(); }

    void Report(const char* operation, const Mismatches& mismatches)
    {
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        std::printf("%s: %" PRIu64 " cases, seed 0x%" PRIX64 ", %.2f s\n", operation, samples_, seed_, seconds);
        EXPECT_EQ(mismatches.Count(), 0u) << operation << " differs from the x87 unit:\n" << mismatches.Text();
    }

    // The x87 unit in the calculation's rounding: 64-bit significand, to
    // nearest, every exception masked.
    const X87Environment environment_;
    const std::uint64_t samples_ = Samples();
    const std::uint64_t seed_ = Seed();
    std::chrono::steady_clock::time_point start_;
};

template <typename SoftOp, typename X87Op>
void CompareBinary(Operands& operands, std::uint64_t samples, char partnerKind, const char* name, Mismatches& mismatches,
                   SoftOp soft, X87Op x87)
{
    for (std::uint64_t i = 0; i < samples; ++i) {
        const Bits a = operands.Any();
        const Bits b = operands.Partner(a, partnerKind);
        const Bits expected = BitsOf(x87(X87(a), X87(b)));
        const Bits actual = BitsOf(soft(Soft(a), Soft(b)));
        if (!(expected == actual)) {
            mismatches.Add(Show(a) + " " + name + " " + Show(b) + ": x87 " + Show(expected) + ", soft " + Show(actual));
        }
    }
}

TEST_F(ExtendedDifferential, Addition)
{
    Operands operands(seed_);
    Mismatches mismatches;
    CompareBinary(operands, samples_, '+', "+", mismatches,
                  [](SoftExtended a, SoftExtended b) { return a + b; }, [](X87Extended a, X87Extended b) { return a + b; });
    Report("addition", mismatches);
}

TEST_F(ExtendedDifferential, Subtraction)
{
    Operands operands(seed_ + 1);
    Mismatches mismatches;
    CompareBinary(operands, samples_, '+', "-", mismatches,
                  [](SoftExtended a, SoftExtended b) { return a - b; }, [](X87Extended a, X87Extended b) { return a - b; });
    Report("subtraction", mismatches);
}

TEST_F(ExtendedDifferential, Multiplication)
{
    Operands operands(seed_ + 2);
    Mismatches mismatches;
    CompareBinary(operands, samples_, '*', "*", mismatches,
                  [](SoftExtended a, SoftExtended b) { return a * b; }, [](X87Extended a, X87Extended b) { return a * b; });
    Report("multiplication", mismatches);
}

TEST_F(ExtendedDifferential, Division)
{
    Operands operands(seed_ + 3);
    Mismatches mismatches;
    CompareBinary(operands, samples_, '/', "/", mismatches,
                  [](SoftExtended a, SoftExtended b) { return a / b; }, [](X87Extended a, X87Extended b) { return a / b; });
    Report("division", mismatches);
}

TEST_F(ExtendedDifferential, SquareRoot)
{
    Operands operands(seed_ + 4);
    Mismatches mismatches;
    for (std::uint64_t i = 0; i < samples_; ++i) {
        const Bits a = operands.ForSquareRoot();
        const Bits expected = BitsOf(Sqrt(X87(a)));
        const Bits actual = BitsOf(Sqrt(Soft(a)));
        if (!(expected == actual)) {
            mismatches.Add("sqrt " + Show(a) + ": x87 " + Show(expected) + ", soft " + Show(actual));
        }
    }
    Report("square root", mismatches);
}

TEST_F(ExtendedDifferential, ConversionToDouble)
{
    Operands operands(seed_ + 5);
    Mismatches mismatches;
    for (std::uint64_t i = 0; i < samples_; ++i) {
        const Bits a = operands.ForDouble();
        const auto expected = std::bit_cast<std::uint64_t>(X87(a).ToDouble());
        const auto actual = std::bit_cast<std::uint64_t>(Soft(a).ToDouble());
        if (expected != actual) {
            char text[64];
            std::snprintf(text, sizeof text, ": x87 %016" PRIX64 ", soft %016" PRIX64, expected, actual);
            mismatches.Add("double " + Show(a) + text);
        }
    }
    Report("conversion to double", mismatches);
}

TEST_F(ExtendedDifferential, ConversionsIntoTheFormat)
{
    Operands operands(seed_ + 6);
    Mismatches mismatches;
    for (std::uint64_t i = 0; i < samples_; ++i) {
        // Any double bits: normal, subnormal, zero, infinity, NaN.
        std::uint64_t doubleBits = operands.Word();
        if (operands.OneIn(4)) doubleBits &= 0x800FFFFFFFFFFFFFull;          // subnormal or zero
        if (operands.OneIn(20)) doubleBits |= 0x7FF0000000000000ull;         // infinity or NaN
        const double d = std::bit_cast<double>(doubleBits);
        if (!(BitsOf(X87Extended::FromDouble(d)) == BitsOf(SoftExtended::FromDouble(d)))) {
            mismatches.Add("FromDouble " + std::to_string(doubleBits));
        }
        const std::uint64_t n = operands.Word() >> operands.Between(0, 63);
        if (!(BitsOf(X87Extended::FromUint64(n)) == BitsOf(SoftExtended::FromUint64(n)))) {
            mismatches.Add("FromUint64 " + std::to_string(n));
        }
        // Representable significand × 2^exponent across the whole range.
        const std::uint64_t significand = operands.Significand() >> operands.Between(0, 63);
        const int exponent = operands.Between(-16445, 16383 - 63);
        if (!(BitsOf(X87Extended::FromParts(significand, exponent)) == BitsOf(SoftExtended::FromParts(significand, exponent)))) {
            mismatches.Add("FromParts " + std::to_string(significand) + " " + std::to_string(exponent));
        }
    }
    Report("conversions into the format", mismatches);
}

TEST_F(ExtendedDifferential, TruncationToInt64)
{
    Operands operands(seed_ + 7);
    Mismatches mismatches;
    for (std::uint64_t i = 0; i < samples_; ++i) {
        const Bits a = operands.ForTruncation();
        const std::optional<std::int64_t> expected = X87(a).TruncateToInt64();
        const std::optional<std::int64_t> actual = Soft(a).TruncateToInt64();
        if (expected != actual) {
            mismatches.Add("truncate " + Show(a) + ": x87 " + (expected ? std::to_string(*expected) : "none") +
                           ", soft " + (actual ? std::to_string(*actual) : "none"));
        }
    }
    Report("truncation", mismatches);
}

TEST_F(ExtendedDifferential, ComparisonsAndClassification)
{
    Operands operands(seed_ + 8);
    Mismatches mismatches;
    const auto name = [](std::partial_ordering o) {
        return o == 0 ? "equal" : o < 0 ? "less" : o > 0 ? "greater" : "unordered";
    };
    for (std::uint64_t i = 0; i < samples_; ++i) {
        const Bits a = operands.Any();
        Bits b = operands.OneIn(4) ? a : operands.Partner(a, '+');
        if (operands.OneIn(8)) b.signExponent ^= 0x8000;  // ±0, x and −x
        const X87Extended xa = X87(a);
        const X87Extended xb = X87(b);
        const SoftExtended sa = Soft(a);
        const SoftExtended sb = Soft(b);
        if (name(xa <=> xb) != name(sa <=> sb) || (xa == xb) != (sa == sb)) {
            mismatches.Add(Show(a) + " <=> " + Show(b) + ": x87 " + name(xa <=> xb) + ", soft " + name(sa <=> sb));
        }
        if (xa.IsNegative() != sa.IsNegative() || xa.IsZero() != sa.IsZero() || xa.IsInfinite() != sa.IsInfinite() ||
            xa.IsNaN() != sa.IsNaN() || !(BitsOf(-xa) == BitsOf(-sa))) {
            mismatches.Add("classification or negation of " + Show(a));
        }
    }
    Report("comparisons", mismatches);
}

}  // namespace
}  // namespace calc
