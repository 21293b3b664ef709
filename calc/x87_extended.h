// X87Extended: the 80-bit extended format as the x87 `long double` of x86.
// Results depend on the x87 control word; X87Environment sets the one that
// rounds every result to a 64-bit significand, to nearest with ties to even.
// Only available where `long double` is that format (x86 and x86-64).
#pragma once

#include <cfenv>
#include <cmath>
#include <cstring>
#include <compare>
#include <cstdint>
#include <limits>
#include <optional>

#if !defined(__x86_64__) && !defined(__i386__)
#error "X87Extended needs the x87 extended format (x86 or x86-64)."
#endif
static_assert(std::numeric_limits<long double>::digits == 64,
              "long double must be the x87 80-bit format with a 64-bit significand");

namespace calc {

class X87Extended {
public:
    constexpr X87Extended() = default;  // +0

    static constexpr X87Extended FromDouble(double d) { return X87Extended(d); }
    static constexpr X87Extended FromUint64(std::uint64_t n) { return X87Extended(static_cast<long double>(n)); }
    // significand × 2^exponent, for constants that must be bit-exact. The
    // caller keeps the value representable; no rounding is intended.
    static X87Extended FromParts(std::uint64_t significand, int exponent);
    // The value with this x87 encoding: sign/exponent word and significand.
    static X87Extended FromBits(std::uint16_t signExponent, std::uint64_t significand);

    // Nearest double, ties to even, with gradual underflow; ±infinity when
    // the value is beyond the double range (the caller checks before).
    double ToDouble() const { return static_cast<double>(v_); }

    // Truncation toward zero into a signed 64-bit integer; empty when the
    // truncated value lies outside −2^63 … 2^63 − 1, or for NaN.
    std::optional<std::int64_t> TruncateToInt64() const;

    bool IsNegative() const;  // the sign bit: true for −0
    bool IsZero() const { return v_ == 0; }
    bool IsInfinite() const { return v_ == std::numeric_limits<long double>::infinity() || v_ == -std::numeric_limits<long double>::infinity(); }
    bool IsNaN() const { return v_ != v_; }

    friend X87Extended operator+(X87Extended a, X87Extended b) { return X87Extended(a.v_ + b.v_); }
    friend X87Extended operator-(X87Extended a, X87Extended b) { return X87Extended(a.v_ - b.v_); }
    friend X87Extended operator*(X87Extended a, X87Extended b) { return X87Extended(a.v_ * b.v_); }
    friend X87Extended operator/(X87Extended a, X87Extended b) { return X87Extended(a.v_ / b.v_); }
    X87Extended operator-() const { return X87Extended(-v_); }
    friend X87Extended Sqrt(X87Extended a);  // correctly rounded; the caller rules out negatives

    friend std::partial_ordering operator<=>(X87Extended a, X87Extended b) { return a.v_ <=> b.v_; }
    friend bool operator==(X87Extended a, X87Extended b) { return a.v_ == b.v_; }

    // The raw bits, for tests and diagnostics: significand and sign/exponent.
    std::uint64_t SignificandBits() const;
    std::uint16_t SignExponentBits() const;

private:
    constexpr explicit X87Extended(long double v) : v_(v) {}
    long double v_ = 0.0L;
};

// The small operations are defined here so that they inline: an extended
// value that crosses a call goes through memory as 80 bits, which the x87
// stores and loads slowly.

inline std::optional<std::int64_t> X87Extended::TruncateToInt64() const
{
    // −2^63 − 1 and 2^63 are both exact in the extended format, so these two
    // comparisons decide the range without rounding; NaN fails both.
    constexpr long double kUpper = 9223372036854775808.0L;   // 2^63
    constexpr long double kLower = -9223372036854775809.0L;  // −2^63 − 1
    if (!(v_ < kUpper && v_ > kLower)) {
        return std::nullopt;
    }
    // Truncated from the bits: shifting the significand right drops exactly
    // the fraction, without switching the unit's rounding to truncation and
    // back as a cast would.
    constexpr int kBias = 16383;
    const int exponent = (SignExponentBits() & 0x7FFF) - kBias;  // value = 1.f × 2^exponent
    if (exponent < 0) {
        return 0;  // below 1 in magnitude, −0 and subnormals included
    }
    if (exponent == 63) {
        return std::numeric_limits<std::int64_t>::min();  // in range only as −2^63 itself
    }
    const auto magnitude = static_cast<std::int64_t>(SignificandBits() >> (63 - exponent));
    return (SignExponentBits() & 0x8000) != 0 ? -magnitude : magnitude;
}

inline bool X87Extended::IsNegative() const { return std::signbit(v_); }

inline X87Extended Sqrt(X87Extended a) { return X87Extended(std::sqrt(a.v_)); }

inline std::uint64_t X87Extended::SignificandBits() const
{
    std::uint64_t bits;
    std::memcpy(&bits, &v_, sizeof bits);
    return bits;
}

inline std::uint16_t X87Extended::SignExponentBits() const
{
    std::uint16_t bits;
    std::memcpy(&bits, reinterpret_cast<const unsigned char*>(&v_) + 8, sizeof bits);
    return bits;
}


// For the lifetime of an instance, the x87 unit rounds to a 64-bit
// significand, to nearest, with every exception masked (a fault is detected
// by testing its condition beforehand, never by a trap: the process also runs
// a GUI toolkit that must never receive SIGFPE). The SSE unit, which the
// compiler uses for plain double arithmetic, is set to nearest as well.
// The destructor puts back the caller's complete environment, control words
// and exception flags alike, on every way out.
class X87Environment {
public:
    X87Environment();
    ~X87Environment();
    X87Environment(const X87Environment&) = delete;
    X87Environment& operator=(const X87Environment&) = delete;

private:
    // The caller's x87 control word and flags and its MXCSR (controls and
    // flags in one register). Only what differs is loaded or put back: the
    // usual caller has the control words set here already, and flags that it
    // had raised before stay raised whatever this operation raises.
    std::uint16_t savedControlWord_;
    std::uint16_t savedStatusWord_;
    std::uint32_t savedMxcsr_;
};

}  // namespace calc
