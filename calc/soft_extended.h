// SoftExtended: the 80-bit extended format (sign, 15-bit exponent, explicit
// 64-bit significand) computed with integer arithmetic alone, so that it gives
// the same bits on every processor. It keeps exactly the x87 encoding and
// rounds every result to nearest with ties to even, as the x87 unit does with
// the precision control at 64 bits and every exception masked:
//
//   normal     exponent 1 … 0x7FFE, integer bit set;
//   subnormal  exponent 0, integer bit clear, value significand × 2^−16445
//              (gradual underflow, one rounding from the exact result);
//   zero       exponent 0, significand 0, either sign;
//   infinity   exponent 0x7FFF, significand 2^63;
//   NaN        exponent 0x7FFF, any other significand with the integer bit set;
//              an invalid operation gives the x87 default NaN (the
//              "indefinite": sign set, significand 0xC000000000000000).
//
// A pseudo-denormal (exponent 0 with the integer bit set) is read as the x87
// reads it, as the normal number of the same value. Unnormals and the other
// encodings that the x87 rejects as operands never arise from these
// operations; as operands they give the default NaN, as on the x87.
#pragma once

#include <cfenv>
#include <compare>
#include <cstdint>
#include <optional>

namespace calc {

class SoftExtended {
public:
    constexpr SoftExtended() = default;  // +0

    static SoftExtended FromDouble(double d);  // exact
    static SoftExtended FromUint64(std::uint64_t n);  // exact
    // significand × 2^exponent, rounded to nearest (exact when representable).
    static SoftExtended FromParts(std::uint64_t significand, int exponent);
    // The value with this x87 encoding: the sign/exponent word and the
    // 64-bit significand with its explicit integer bit.
    static constexpr SoftExtended FromBits(std::uint16_t signExponent, std::uint64_t significand)
    {
        SoftExtended x;
        x.signExponent_ = signExponent;
        x.significand_ = significand;
        return x;
    }

    // Nearest double, ties to even, with gradual underflow (one rounding
    // straight to the subnormal precision) and ±infinity beyond the range.
    double ToDouble() const;

    // Truncation toward zero into a signed 64-bit integer; empty when the
    // truncated value lies outside −2^63 … 2^63 − 1, for ±infinity and NaN.
    std::optional<std::int64_t> TruncateToInt64() const;

    bool IsNegative() const { return (signExponent_ & 0x8000u) != 0; }  // the sign bit: true for −0
    bool IsZero() const { return (signExponent_ & 0x7FFFu) == 0 && significand_ == 0; }
    bool IsInfinite() const { return (signExponent_ & 0x7FFFu) == 0x7FFFu && significand_ == (std::uint64_t{1} << 63); }
    bool IsNaN() const;

    friend SoftExtended operator+(SoftExtended a, SoftExtended b);
    friend SoftExtended operator-(SoftExtended a, SoftExtended b);
    friend SoftExtended operator*(SoftExtended a, SoftExtended b);
    friend SoftExtended operator/(SoftExtended a, SoftExtended b);
    SoftExtended operator-() const { return FromBits(static_cast<std::uint16_t>(signExponent_ ^ 0x8000u), significand_); }
    friend SoftExtended Sqrt(SoftExtended a);  // correctly rounded; √−0 = −0; negative → NaN

    friend std::partial_ordering operator<=>(SoftExtended a, SoftExtended b);
    friend bool operator==(SoftExtended a, SoftExtended b) { return (a <=> b) == 0; }

    std::uint64_t SignificandBits() const { return significand_; }
    std::uint16_t SignExponentBits() const { return signExponent_; }

private:
    std::uint64_t significand_ = 0;
    std::uint16_t signExponent_ = 0;
};

SoftExtended operator+(SoftExtended a, SoftExtended b);
SoftExtended operator-(SoftExtended a, SoftExtended b);
SoftExtended operator*(SoftExtended a, SoftExtended b);
SoftExtended operator/(SoftExtended a, SoftExtended b);
SoftExtended Sqrt(SoftExtended a);
std::partial_ordering operator<=>(SoftExtended a, SoftExtended b);

// The floating-point environment for the software path. SoftExtended needs
// none, but the calculation also does plain double arithmetic: for the
// lifetime of an instance the processor's default environment (round to
// nearest, every exception masked) is in force; the destructor puts back the
// caller's environment, control and flags alike.
class SoftEnvironment {
public:
    SoftEnvironment();
    ~SoftEnvironment();
    SoftEnvironment(const SoftEnvironment&) = delete;
    SoftEnvironment& operator=(const SoftEnvironment&) = delete;

private:
    std::fenv_t saved_;
};

}  // namespace calc
