// Extended: the 80-bit extended floating-point format (sign, 15-bit exponent,
// 64-bit significand) in which the calculation does all of its arithmetic.
// Every operation rounds its result to a 64-bit significand, to nearest with
// ties to even, exactly as IEEE 754 prescribes for that format.
//
// All extended arithmetic of the calculation goes through this type, so the
// representation can be swapped: here it is the x87 `long double` of x86.
// Results depend on the x87 control word; ExtendedEnvironment sets the one
// that gives the rounding above.
#pragma once

#include <cfenv>
#include <compare>
#include <cstdint>
#include <limits>
#include <optional>

#if !defined(__x86_64__) && !defined(__i386__)
#error "This build needs the x87 extended format (x86 or x86-64)."
#endif
static_assert(std::numeric_limits<long double>::digits == 64,
              "long double must be the x87 80-bit format with a 64-bit significand");

namespace calc {

class Extended {
public:
    constexpr Extended() = default;  // +0

    static constexpr Extended FromDouble(double d) { return Extended(d); }
    static constexpr Extended FromUint64(std::uint64_t n) { return Extended(static_cast<long double>(n)); }
    // significand × 2^exponent, for constants that must be bit-exact. The
    // caller keeps the value representable; no rounding is intended.
    static Extended FromParts(std::uint64_t significand, int exponent);

    // Nearest double, ties to even, with gradual underflow; ±infinity when
    // the value is beyond the double range (the caller checks before).
    double ToDouble() const { return static_cast<double>(v_); }

    // Truncation toward zero into a signed 64-bit integer; empty when the
    // truncated value lies outside −2^63 … 2^63 − 1, or for NaN.
    std::optional<std::int64_t> TruncateToInt64() const;

    bool IsNegative() const;  // the sign bit: true for −0
    bool IsZero() const { return v_ == 0; }
    bool IsInfinite() const { return v_ == std::numeric_limits<long double>::infinity() || v_ == -std::numeric_limits<long double>::infinity(); }

    friend Extended operator+(Extended a, Extended b) { return Extended(a.v_ + b.v_); }
    friend Extended operator-(Extended a, Extended b) { return Extended(a.v_ - b.v_); }
    friend Extended operator*(Extended a, Extended b) { return Extended(a.v_ * b.v_); }
    friend Extended operator/(Extended a, Extended b) { return Extended(a.v_ / b.v_); }
    Extended operator-() const { return Extended(-v_); }
    friend Extended Sqrt(Extended a);  // correctly rounded; the caller rules out negatives

    friend std::partial_ordering operator<=>(Extended a, Extended b) { return a.v_ <=> b.v_; }
    friend bool operator==(Extended a, Extended b) { return a.v_ == b.v_; }

    // The raw bits, for tests and diagnostics: significand and sign/exponent.
    std::uint64_t SignificandBits() const;
    std::uint16_t SignExponentBits() const;

private:
    constexpr explicit Extended(long double v) : v_(v) {}
    long double v_ = 0.0L;
};

// For the lifetime of an instance, the x87 unit rounds to a 64-bit
// significand, to nearest, with every exception masked (a fault is detected
// by testing its condition beforehand, never by a trap: the process also runs
// a GUI toolkit that must never receive SIGFPE). The SSE unit, which the
// compiler uses for plain double arithmetic, is set to nearest as well.
// The destructor puts back the caller's complete environment, control words
// and exception flags alike, on every way out.
class ExtendedEnvironment {
public:
    ExtendedEnvironment();
    ~ExtendedEnvironment();
    ExtendedEnvironment(const ExtendedEnvironment&) = delete;
    ExtendedEnvironment& operator=(const ExtendedEnvironment&) = delete;

private:
    std::fenv_t saved_;
};

}  // namespace calc
