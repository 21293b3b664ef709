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
// a GUI toolkit that must never receive SIGFPE).
//
// The destructor gives the caller back its control word on every way out, and
// its exception flags with one allowance: a raised inexact flag may be left
// raised, as by any IEEE 754 arithmetic. Clearing it would cost more than the
// whole calculation, because FNCLEX waits for every x87 instruction still in
// flight; and inexact is raised by nearly every step. Any other flag that the
// operation raised (underflow, overflow of a text's value) is taken away.
//
// The SSE unit's MXCSR is neither read nor written: the calculation does no
// SSE arithmetic that could round (its only SSE conversion is of a whole
// number that is a double already), so the caller's SSE modes cannot reach
// its results.
class X87Environment {
public:
    X87Environment()
    {
        asm volatile("fnstcw %0\n\tfnstsw %1" : "=m"(savedControlWord_), "=m"(savedStatusWord_));
        if (savedControlWord_ != kControlWord) {
            asm volatile("fldcw %0" : : "m"(kControlWord));
        }
    }

    ~X87Environment()
    {
        std::uint16_t status;
        asm volatile("fnstsw %0" : "=m"(status));
        const auto added = static_cast<std::uint16_t>(status & kFlags & ~savedStatusWord_);
        if ((added & ~kInexactFlag) != 0) {
            RestoreFlags(static_cast<std::uint16_t>(savedStatusWord_ & kFlags));
        }
        if (savedControlWord_ != kControlWord) {
            asm volatile("fldcw %0" : : "m"(savedControlWord_));
        }
    }

    X87Environment(const X87Environment&) = delete;
    X87Environment& operator=(const X87Environment&) = delete;

private:
    // All exceptions masked (bits 0–5), 64-bit significand (bits 8–9 = 11),
    // round to nearest (bits 10–11 = 00).
    static constexpr std::uint16_t kControlWord = 0x037F;
    static constexpr std::uint16_t kFlags = 0x3F;
    static constexpr std::uint16_t kInexactFlag = 0x20;

    // Sets the exception flags to exactly these: the rare way back.
    static void RestoreFlags(std::uint16_t flags);

    std::uint16_t savedControlWord_;
    std::uint16_t savedStatusWord_;
};

}  // namespace calc
