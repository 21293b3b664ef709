#include "x87_extended.h"

#include <cmath>
#include <cstring>

namespace calc {

namespace {

// x87 control word: all exceptions masked (bits 0–5), 64-bit significand
// (bits 8–9 = 11), round to nearest (bits 10–11 = 00).
constexpr std::uint16_t kX87ControlWord = 0x037F;
// MXCSR: all exceptions masked, round to nearest, no flush-to-zero, no
// denormals-are-zero.
constexpr std::uint32_t kMxcsr = 0x1F80;

}  // namespace

X87Extended X87Extended::FromParts(std::uint64_t significand, int exponent)
{
    return X87Extended(std::ldexp(static_cast<long double>(significand), exponent));
}

X87Extended X87Extended::FromBits(std::uint16_t signExponent, std::uint64_t significand)
{
    long double v = 0.0L;
    std::memcpy(&v, &significand, sizeof significand);
    std::memcpy(reinterpret_cast<unsigned char*>(&v) + 8, &signExponent, sizeof signExponent);
    return X87Extended(v);
}

std::optional<std::int64_t> X87Extended::TruncateToInt64() const
{
    // −2^63 − 1 and 2^63 are both exact in the extended format, so these two
    // comparisons decide the range without rounding; NaN fails both.
    constexpr long double kUpper = 9223372036854775808.0L;   // 2^63
    constexpr long double kLower = -9223372036854775809.0L;  // −2^63 − 1
    if (!(v_ < kUpper && v_ > kLower)) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(v_);  // the cast truncates whatever the rounding mode
}

bool X87Extended::IsNegative() const { return std::signbit(v_); }

X87Extended Sqrt(X87Extended a) { return X87Extended(std::sqrt(a.v_)); }

std::uint64_t X87Extended::SignificandBits() const
{
    std::uint64_t bits;
    std::memcpy(&bits, &v_, sizeof bits);
    return bits;
}

std::uint16_t X87Extended::SignExponentBits() const
{
    std::uint16_t bits;
    std::memcpy(&bits, reinterpret_cast<const unsigned char*>(&v_) + 8, sizeof bits);
    return bits;
}

X87Environment::X87Environment()
{
    std::fegetenv(&saved_);
    const std::uint16_t cw = kX87ControlWord;
    const std::uint32_t mxcsr = kMxcsr;
    asm volatile("fnclex\n\tfldcw %0" : : "m"(cw));
    asm volatile("ldmxcsr %0" : : "m"(mxcsr));
}

X87Environment::~X87Environment()
{
    std::fesetenv(&saved_);
}

}  // namespace calc
