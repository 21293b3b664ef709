#include "soft_extended.h"

#include <algorithm>
#include <bit>
#include <utility>

// How the rounding works, once for all operations.
//
// Every finite nonzero operand is unpacked into an integer significand m with
// its top bit (bit 63) set and the exponent of its last bit, so that its value
// is m × 2^lsb exactly. Each operation then forms its exact result, or, where
// that is unbounded (a quotient, a root, an alignment shift past 128 bits), a
// truncated integer R together with a flag "sticky" that says whether the
// exact result lies strictly above R × 2^lsb (by less than 2^lsb).
//
// RoundToExtended then rounds R (+ sticky) once, to nearest with ties to
// even, at the last bit that the result may keep: bit 63 below the top bit
// for a normal result, the fixed last bit 2^−16445 for a subnormal one,
// whichever is higher. Rounding to nearest needs only
//   – every bit of the exact value down to the round bit (the first bit below
//     the kept ones), and
//   – whether anything below the round bit is nonzero;
// so R + sticky is enough whenever the round bit lies within R, that is at
// bit 0 of R or above. Each operation below shows that it does.
// A tie (round bit 1, nothing below it) goes to the even neighbour. A carry
// out of the top after rounding up moves the result up one binade, with
// significand 2^63; a subnormal that rounds up to 2^63 becomes the smallest
// normal number. Overflow is decided after rounding, as IEEE 754 does: a
// rounded result of 2^16384 or more is infinity (to nearest, the overflow
// result is always the infinity of the sign).

namespace calc {

namespace {

__extension__ typedef unsigned __int128 U128;  // g++ on every target it builds for

constexpr int kBias = 16383;
constexpr std::uint16_t kExponentMask = 0x7FFF;
constexpr std::uint16_t kSignBit = 0x8000;
constexpr std::uint64_t kIntegerBit = std::uint64_t{1} << 63;
constexpr std::uint64_t kQuietBit = std::uint64_t{1} << 62;
// The exponent of the last significand bit of every subnormal number and of
// the smallest normal binade: 2^(1 − 16383 − 63).
constexpr int kSubnormalLsb = 1 - kBias - 63;  // −16445

constexpr SoftExtended Make(bool negative, std::uint16_t biasedExponent, std::uint64_t significand)
{
    return SoftExtended::FromBits(static_cast<std::uint16_t>((negative ? kSignBit : 0u) | biasedExponent), significand);
}
constexpr SoftExtended Zero(bool negative) { return Make(negative, 0, 0); }
constexpr SoftExtended Infinity(bool negative) { return Make(negative, kExponentMask, kIntegerBit); }
// The x87 "real indefinite", the result of every invalid operation.
constexpr SoftExtended DefaultNaN() { return Make(true, kExponentMask, kIntegerBit | kQuietBit); }

enum class Kind { Zero, Finite, Infinite, NaN, Unsupported };

Kind Classify(SoftExtended x)
{
    const unsigned exponent = x.SignExponentBits() & kExponentMask;
    const std::uint64_t m = x.SignificandBits();
    if (exponent == kExponentMask) {
        if ((m & kIntegerBit) == 0) {
            return Kind::Unsupported;  // pseudo-infinity, pseudo-NaN
        }
        return m == kIntegerBit ? Kind::Infinite : Kind::NaN;
    }
    if (exponent == 0) {
        return m == 0 ? Kind::Zero : Kind::Finite;  // subnormal or pseudo-denormal
    }
    return (m & kIntegerBit) != 0 ? Kind::Finite : Kind::Unsupported;  // unnormal
}

// A finite nonzero value m × 2^lsb with bit 63 of m set.
struct Unpacked {
    bool negative;
    int lsb;
    std::uint64_t m;
};

Unpacked Unpack(SoftExtended x)
{
    const int exponent = x.SignExponentBits() & kExponentMask;
    // Exponent 0 (subnormal, pseudo-denormal) has the scale of exponent 1.
    int lsb = std::max(exponent, 1) - kBias - 63;
    std::uint64_t m = x.SignificandBits();
    const int leadingZeros = std::countl_zero(m);
    m <<= leadingZeros;
    lsb -= leadingZeros;
    return {x.IsNegative(), lsb, m};
}

int BitWidth(U128 x)
{
    const auto high = static_cast<std::uint64_t>(x >> 64);
    return high != 0 ? 128 - std::countl_zero(high) : 64 - std::countl_zero(static_cast<std::uint64_t>(x));
}

// (x + sticky) / 2^shift rounded to nearest, ties to even, for shift ≥ 1;
// sticky stands for a fraction strictly between 0 and 1 added to x.
U128 ShiftRightRounded(U128 x, int shift, bool sticky)
{
    if (shift > 128) {
        return 0;  // x + sticky < 2^128 ≤ half of 2^shift
    }
    const U128 kept = shift == 128 ? 0 : x >> shift;
    const bool round = ((x >> (shift - 1)) & 1) != 0;
    const U128 belowRound = (U128{1} << (shift - 1)) - 1;
    const bool rest = (x & belowRound) != 0 || sticky;
    return (round && (rest || (kept & 1) != 0)) ? kept + 1 : kept;
}

// (r + sticky) × 2^lsb rounded to the extended format; r must not be 0.
SoftExtended RoundToExtended(bool negative, int lsb, U128 r, bool sticky)
{
    // Put the top bit at bit 127 (exact; sticky stays below bit 0).
    const int normalise = 128 - BitWidth(r);
    r <<= normalise;
    lsb -= normalise;
    // Keep 64 bits, or fewer when that would put the last kept bit below the
    // subnormal last bit: one rounding, straight to the final precision.
    const int shift = std::max(64, kSubnormalLsb - lsb);
    U128 kept = ShiftRightRounded(r, shift, sticky);
    int keptLsb = lsb + shift;
    if (kept == (U128{1} << 64)) {  // carry out of the top: only when shift is 64
        kept >>= 1;
        ++keptLsb;
    }
    const auto m = static_cast<std::uint64_t>(kept);
    if (m == 0) {
        return Zero(negative);  // underflow below half the smallest subnormal
    }
    if ((m & kIntegerBit) == 0) {
        return Make(negative, 0, m);  // subnormal: keptLsb is kSubnormalLsb
    }
    const int biased = keptLsb - kSubnormalLsb + 1;  // normal: lsb = biased − 16446
    if (biased >= kExponentMask) {
        return Infinity(negative);
    }
    return Make(negative, static_cast<std::uint16_t>(biased), m);
}

SoftExtended Quiet(SoftExtended x) { return SoftExtended::FromBits(x.SignExponentBits(), x.SignificandBits() | kQuietBit); }

// The x87 result when an operand is a NaN: a quiet NaN beats a signalling
// one; of two NaNs of the same kind the one with the larger significand wins
// (the positive one on equal significands); a signalling NaN that wins is
// quietened.
SoftExtended PropagateNaN(SoftExtended a, SoftExtended b, Kind ka, Kind kb)
{
    if (ka == Kind::NaN && kb == Kind::NaN) {
        const bool quietA = (a.SignificandBits() & kQuietBit) != 0;
        const bool quietB = (b.SignificandBits() & kQuietBit) != 0;
        if (quietA != quietB) {
            return quietA ? a : b;
        }
        if (a.SignificandBits() == b.SignificandBits()) {
            return Quiet(a.IsNegative() ? b : a);
        }
        return Quiet(b.SignificandBits() > a.SignificandBits() ? b : a);
    }
    return Quiet(ka == Kind::NaN ? a : b);
}

// A pseudo-denormal in the encoding that the x87 gives it as a result: the
// same value with exponent 1.
SoftExtended Canonical(SoftExtended x)
{
    if ((x.SignExponentBits() & kExponentMask) == 0 && (x.SignificandBits() & kIntegerBit) != 0) {
        return SoftExtended::FromBits(static_cast<std::uint16_t>(x.SignExponentBits() | 1u), x.SignificandBits());
    }
    return x;
}

// a + b when both are finite and nonzero.
SoftExtended AddFinite(SoftExtended a, SoftExtended b)
{
    Unpacked x = Unpack(a);
    Unpacked y = Unpack(b);
    if (y.lsb > x.lsb || (y.lsb == x.lsb && y.m > x.m)) {
        std::swap(x, y);  // now |x| ≥ |y|, so d ≥ 0
    }
    const int d = x.lsb - y.lsb;
    // Both significands get 62 zero bits below them; x sits at bits 125–62,
    // so a sum stays below 2^127.
    const U128 big = U128{x.m} << 62;
    const U128 wide = U128{y.m} << 62;
    U128 small = 0;
    bool lost = true;  // y shifted out completely when d ≥ 126
    if (d < 126) {
        small = wide >> d;
        lost = (wide & ((U128{1} << d) - 1)) != 0;
    }
    const int lsb = x.lsb - 62;
    // Bits of y are lost only when d > 62, and then |y| < 2^−62 |x|.
    //  Same signs: exact sum = big + small + f with 0 < f < 1 when lost.
    //    big + small ≥ 2^125, so the round bit (64 bits below the top) is at
    //    bit 61 or above: within the integer, and sticky = lost is exact.
    //  Opposite signs: exact difference = big − small − f
    //                                   = (big − small − 1) + (1 − f),
    //    with 0 < 1 − f < 1, so R = big − small − 1 with sticky set. Here
    //    small < 2^63, so R > 2^124 and the round bit is again at bit 60 or
    //    above. Without loss (d ≤ 62) the difference is exact, whatever the
    //    cancellation; an exact zero is +0 when rounding to nearest.
    if (x.negative == y.negative) {
        return RoundToExtended(x.negative, lsb, big + small, lost);
    }
    const U128 difference = big - small - (lost ? 1 : 0);
    if (difference == 0 && !lost) {
        return Zero(false);
    }
    return RoundToExtended(x.negative, lsb, difference, lost);
}

SoftExtended Add(SoftExtended a, SoftExtended b)
{
    const Kind ka = Classify(a);
    const Kind kb = Classify(b);
    if (ka == Kind::Unsupported || kb == Kind::Unsupported) {
        return DefaultNaN();
    }
    if (ka == Kind::NaN || kb == Kind::NaN) {
        return PropagateNaN(a, b, ka, kb);
    }
    if (ka == Kind::Infinite || kb == Kind::Infinite) {
        if (ka == Kind::Infinite && kb == Kind::Infinite && a.IsNegative() != b.IsNegative()) {
            return DefaultNaN();  // ∞ − ∞
        }
        return ka == Kind::Infinite ? a : b;
    }
    if (ka == Kind::Zero && kb == Kind::Zero) {
        return Zero(a.IsNegative() && b.IsNegative());  // −0 only from −0 + −0
    }
    if (ka == Kind::Zero) {
        return Canonical(b);  // exact, subnormals included
    }
    if (kb == Kind::Zero) {
        return Canonical(a);
    }
    return AddFinite(a, b);
}

// Floor of the square root of x and the remainder x − root², digit by digit
// (two bits of x per step). The root of a 128-bit number fits in 64 bits.
std::pair<std::uint64_t, U128> IntegerSquareRoot(U128 x)
{
    U128 root = 0;
    U128 bit = U128{1} << 126;
    while (bit > x) {
        bit >>= 2;
    }
    while (bit != 0) {
        if (x >= root + bit) {
            x -= root + bit;
            root = (root >> 1) + bit;
        } else {
            root >>= 1;
        }
        bit >>= 2;
    }
    return {static_cast<std::uint64_t>(root), x};
}

}  // namespace

bool SoftExtended::IsNaN() const
{
    const Kind kind = Classify(*this);
    return kind == Kind::NaN || kind == Kind::Unsupported;
}

SoftExtended SoftExtended::FromDouble(double d)
{
    const auto bits = std::bit_cast<std::uint64_t>(d);
    const bool negative = (bits >> 63) != 0;
    const auto exponent = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (exponent == 0x7FF) {
        if (fraction == 0) {
            return Infinity(negative);
        }
        // The payload moves to the top; loading a signalling NaN quietens it.
        return Make(negative, kExponentMask, kIntegerBit | kQuietBit | (fraction << 11));
    }
    if (exponent == 0) {
        // Every subnormal double is a normal extended number: exact.
        return fraction == 0 ? Zero(negative) : RoundToExtended(negative, -1074, fraction, false);
    }
    return RoundToExtended(negative, exponent - 1075, fraction | (std::uint64_t{1} << 52), false);
}

SoftExtended SoftExtended::FromUint64(std::uint64_t n)
{
    return n == 0 ? Zero(false) : RoundToExtended(false, 0, n, false);
}

SoftExtended SoftExtended::FromParts(std::uint64_t significand, int exponent)
{
    return significand == 0 ? Zero(false) : RoundToExtended(false, exponent, significand, false);
}

double SoftExtended::ToDouble() const
{
    const bool negative = IsNegative();
    const std::uint64_t sign = negative ? std::uint64_t{1} << 63 : 0;
    switch (Classify(*this)) {
    case Kind::Zero:
        return std::bit_cast<double>(sign);
    case Kind::Infinite:
        return std::bit_cast<double>(sign | (std::uint64_t{0x7FF} << 52));
    case Kind::NaN:
        // The top 52 fraction bits are kept; the quiet bit is set.
        return std::bit_cast<double>(sign | (std::uint64_t{0x7FF} << 52) | (std::uint64_t{1} << 51) |
                                     ((significand_ >> 11) & ((std::uint64_t{1} << 52) - 1)));
    case Kind::Unsupported:
        return std::bit_cast<double>(std::uint64_t{0xFFF8} << 48);  // the double default NaN
    case Kind::Finite:
        break;
    }
    // m × 2^lsb to 53 bits (last bit at least 2^−1074), one rounding with the
    // exact m: the round bit is inside m for every shift below 65, and from
    // 65 on the value is below 2^−1075, half the smallest subnormal.
    const Unpacked x = Unpack(*this);
    const int shift = std::max(11, -1074 - x.lsb);
    U128 kept = ShiftRightRounded(x.m, shift, false);
    int keptLsb = x.lsb + shift;
    if (kept == (U128{1} << 53)) {  // carry out of the top
        kept >>= 1;
        ++keptLsb;
    }
    const auto m = static_cast<std::uint64_t>(kept);
    if (m == 0) {
        return std::bit_cast<double>(sign);
    }
    if ((m >> 52) == 0) {
        return std::bit_cast<double>(sign | m);  // subnormal: keptLsb is −1074
    }
    const int biased = keptLsb + 1075;
    if (biased >= 0x7FF) {
        return std::bit_cast<double>(sign | (std::uint64_t{0x7FF} << 52));
    }
    return std::bit_cast<double>(sign | (static_cast<std::uint64_t>(biased) << 52) | (m & ((std::uint64_t{1} << 52) - 1)));
}

std::optional<std::int64_t> SoftExtended::TruncateToInt64() const
{
    switch (Classify(*this)) {
    case Kind::Zero:
        return 0;
    case Kind::Finite:
        break;
    default:
        return std::nullopt;
    }
    const Unpacked x = Unpack(*this);
    // m ≥ 2^63: from lsb 1 on, |value| ≥ 2^64; at lsb 0 it is m itself.
    if (x.lsb > 0) {
        return std::nullopt;
    }
    const std::uint64_t magnitude = x.lsb <= -64 ? 0 : x.m >> -x.lsb;  // truncation drops the fraction
    constexpr std::uint64_t kLimit = std::uint64_t{1} << 63;
    if (x.negative) {
        if (magnitude > kLimit) {
            return std::nullopt;
        }
        return magnitude == kLimit ? INT64_MIN : -static_cast<std::int64_t>(magnitude);
    }
    if (magnitude >= kLimit) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(magnitude);
}

SoftExtended operator+(SoftExtended a, SoftExtended b) { return Add(a, b); }

SoftExtended operator-(SoftExtended a, SoftExtended b)
{
    // A NaN operand passes with its own sign, so it must not be negated.
    if (Classify(b) == Kind::NaN) {
        return Add(a, b);
    }
    return Add(a, -b);
}

SoftExtended operator*(SoftExtended a, SoftExtended b)
{
    const Kind ka = Classify(a);
    const Kind kb = Classify(b);
    const bool negative = a.IsNegative() != b.IsNegative();
    if (ka == Kind::Unsupported || kb == Kind::Unsupported) {
        return DefaultNaN();
    }
    if (ka == Kind::NaN || kb == Kind::NaN) {
        return PropagateNaN(a, b, ka, kb);
    }
    if (ka == Kind::Infinite || kb == Kind::Infinite) {
        return (ka == Kind::Zero || kb == Kind::Zero) ? DefaultNaN() : Infinity(negative);  // 0 × ∞ is invalid
    }
    if (ka == Kind::Zero || kb == Kind::Zero) {
        return Zero(negative);
    }
    // The product of two 64-bit significands is exact in 128 bits.
    const Unpacked x = Unpack(a);
    const Unpacked y = Unpack(b);
    return RoundToExtended(negative, x.lsb + y.lsb, U128{x.m} * y.m, false);
}

SoftExtended operator/(SoftExtended a, SoftExtended b)
{
    const Kind ka = Classify(a);
    const Kind kb = Classify(b);
    const bool negative = a.IsNegative() != b.IsNegative();
    if (ka == Kind::Unsupported || kb == Kind::Unsupported) {
        return DefaultNaN();
    }
    if (ka == Kind::NaN || kb == Kind::NaN) {
        return PropagateNaN(a, b, ka, kb);
    }
    if ((ka == Kind::Infinite && kb == Kind::Infinite) || (ka == Kind::Zero && kb == Kind::Zero)) {
        return DefaultNaN();
    }
    if (ka == Kind::Infinite || kb == Kind::Zero) {
        return Infinity(negative);  // a division by zero gives ∞ when masked
    }
    if (ka == Kind::Zero || kb == Kind::Infinite) {
        return Zero(negative);
    }
    const Unpacked x = Unpack(a);
    const Unpacked y = Unpack(b);
    // Scale the dividend so that the first quotient word lies in
    // [2^63, 2^64): mx/my is in [1, 2) when mx ≥ my, else in (1/2, 1).
    const int scale = x.m >= y.m ? 63 : 64;
    const U128 dividend = U128{x.m} << scale;
    const U128 high = dividend / y.m;
    const U128 remainder = dividend % y.m;
    // A second word of 64 quotient bits (remainder < my, so it fits), and the
    // final remainder as sticky:
    //   mx × 2^scale / my = high + remainder/my
    //                     = (high × 2^64 + low + finalRemainder/my) / 2^64.
    // The 128-bit integer has its top bit at 127, the round bit at 63.
    const U128 shifted = remainder << 64;
    const U128 low = shifted / y.m;
    const bool sticky = shifted % y.m != 0;
    return RoundToExtended(negative, x.lsb - y.lsb - scale - 64, (high << 64) | low, sticky);
}

SoftExtended Sqrt(SoftExtended a)
{
    switch (Classify(a)) {
    case Kind::Unsupported:
        return DefaultNaN();
    case Kind::NaN:
        return Quiet(a);
    case Kind::Zero:
        return a;  // √±0 = ±0
    case Kind::Infinite:
        return a.IsNegative() ? DefaultNaN() : a;
    case Kind::Finite:
        break;
    }
    if (a.IsNegative()) {
        return DefaultNaN();
    }
    const Unpacked x = Unpack(a);
    // X = m × 2^k with an even exponent lsb − k and X in [2^126, 2^128), so
    // that r = ⌊√X⌋ lies in [2^63, 2^64): √value = √X × 2^((lsb − k)/2).
    const int k = (x.lsb % 2 == 0) ? 64 : 63;
    const auto [r, rem] = IntegerSquareRoot(U128{x.m} << k);
    // With √X = r + t, 0 ≤ t < 1 and rem = X − r²:
    //   t ≥ 1/2  ⇔  X ≥ r² + r + 1/4  ⇔  rem > r (both sides integers), and
    //   t = 1/2 is impossible (r² + r + 1/4 is no integer): no ties.
    // So 2√X = (2r + [rem > r]) + a fraction that is nonzero exactly when
    // t ∉ {0, 1/2}, that is when rem ≠ 0: the round bit is bit 0 of 2r + b.
    const U128 doubled = (U128{r} << 1) | (rem > r ? 1 : 0);
    return RoundToExtended(false, (x.lsb - k) / 2 - 1, doubled, rem != 0);
}

std::partial_ordering operator<=>(SoftExtended a, SoftExtended b)
{
    if (a.IsNaN() || b.IsNaN()) {
        return std::partial_ordering::unordered;
    }
    if (a.IsZero() && b.IsZero()) {
        return std::partial_ordering::equivalent;  // +0 == −0
    }
    // For the encodings that remain, (exponent, significand) orders the
    // magnitudes; a pseudo-denormal counts as exponent 1.
    const auto magnitude = [](SoftExtended x) {
        unsigned exponent = x.SignExponentBits() & kExponentMask;
        if (exponent == 0 && (x.SignificandBits() & kIntegerBit) != 0) {
            exponent = 1;
        }
        return (U128{exponent} << 64) | x.SignificandBits();
    };
    const bool negativeA = a.IsNegative() && !a.IsZero();
    const bool negativeB = b.IsNegative() && !b.IsZero();
    if (negativeA != negativeB) {
        return negativeA ? std::partial_ordering::less : std::partial_ordering::greater;
    }
    const U128 ma = magnitude(a);
    const U128 mb = magnitude(b);
    if (ma == mb) {
        return std::partial_ordering::equivalent;
    }
    return (ma < mb) != negativeA ? std::partial_ordering::less : std::partial_ordering::greater;
}

SoftEnvironment::SoftEnvironment()
{
    std::fegetenv(&saved_);
    std::fesetenv(FE_DFL_ENV);
}

SoftEnvironment::~SoftEnvironment() { std::fesetenv(&saved_); }

}  // namespace calc
