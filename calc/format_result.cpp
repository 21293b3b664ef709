#include <charconv>
#include <cstdint>
#include <cstring>

#include "big_uint.h"
#include "discharge.h"

namespace calc {

namespace {

constexpr std::uint64_t k10To17 = 100000000000000000u;
constexpr std::uint64_t k10To18 = 1000000000000000000u;
constexpr std::uint64_t k10To15 = 1000000000000000u;
constexpr int kFirstDigits = 18;

// Fixed layout serves E from −3 (0.0001) up to 15 (just below 10^15).
constexpr int kFixedLowestE = -3;
constexpr int kFixedHighestE = 15;

struct Floor {
    std::uint64_t value;
    BigUint::Remainder remainder;
};

__extension__ typedef unsigned __int128 U128;

constexpr std::uint64_t kPow10[] = {1u,
                                    10u,
                                    100u,
                                    1000u,
                                    10000u,
                                    100000u,
                                    1000000u,
                                    10000000u,
                                    100000000u,
                                    1000000000u,
                                    10000000000u,
                                    100000000000u,
                                    1000000000000u,
                                    10000000000000u,
                                    100000000000000u,
                                    1000000000000000u,
                                    10000000000000000u,
                                    100000000000000000u,
                                    1000000000000000000u,
                                    10000000000000000000u};

// The values the calculation shows, whole litres and hundredths of an MPa,
// need only 128 bits: m < 2^53 times 10^s ≤ 10^22 < 2^74 stays below 2^127.
// Returns false where the general big-integer path is needed.
bool ScaledFloor128(std::uint64_t m, int e, int s, Floor& floor)
{
    constexpr int kLargestExponent = 22;
    if (s < 0 || s > kLargestExponent) {
        return false;
    }
    const int low = s < 19 ? s : 19;
    U128 n = U128{m} * kPow10[low] * kPow10[s - low];
    const int bits = 128 - (static_cast<std::uint64_t>(n >> 64) != 0
                                ? __builtin_clzll(static_cast<std::uint64_t>(n >> 64))
                                : 64 + __builtin_clzll(static_cast<std::uint64_t>(n)));
    if (e >= 0) {
        if (bits + e > 127) {
            return false;
        }
        floor = {static_cast<std::uint64_t>(n << e), BigUint::Remainder::Zero};
        return true;
    }
    const int shift = -e;
    if (shift >= 128) {
        return false;
    }
    const U128 cut = n & ((U128{1} << shift) - 1);
    const U128 half = U128{1} << (shift - 1);
    floor.value = static_cast<std::uint64_t>(n >> shift);
    floor.remainder = cut == 0      ? BigUint::Remainder::Zero
                      : cut < half  ? BigUint::Remainder::BelowHalf
                      : cut == half ? BigUint::Remainder::Half
                                    : BigUint::Remainder::AboveHalf;
    return true;
}

// ⌊m × 2^e × 10^s⌋ computed exactly, with how much was cut off. Only used
// where that floor is below 10^19, so it fits 64 bits.
Floor ScaledFloor(std::uint64_t m, int e, int s)
{
    if (Floor floor{}; ScaledFloor128(m, e, s, floor)) {
        return floor;
    }
    BigUint n(m);
    if (s >= 0) {
        n.MultiplyByPowerOfTen(s);
    }
    if (e >= 0) {
        n.ShiftLeft(e);
    }
    // For s < 0 the value is at least 10^17 > 2^53, so e > 0 there: the two
    // divisions below never both apply, and each is exact bookkeeping.
    BigUint::Remainder remainder = BigUint::Remainder::Zero;
    if (s < 0) {
        remainder = n.DivideByPowerOfTen(-s);
    } else if (e < 0) {
        remainder = n.ShiftRight(-e);
    }
    return {n.ToUint64(), remainder};
}

// The 18 significant digits of value (nearest, ties to even) and its decimal
// exponent E, 10^(E−1) ≤ value < 10^E.
struct Digits18 {
    std::uint64_t digits;
    int exponent;
};

// value = m × 2^e exactly, from the bits of the double.
struct Binary {
    std::uint64_t m;
    int e;
};

Binary Decompose(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const auto biased = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (biased == 0) {
        return {fraction, -1074};  // subnormal
    }
    return {fraction | (std::uint64_t{1} << 52), biased - 1075};
}

// A guess at E from the binary exponent alone: log10(2) ≈ 78913 / 2^18. It is
// off by at most one, and the exact floor below corrects it. All of this is
// integer arithmetic, so formatting touches no floating-point flag.
int GuessDecimalExponent(const Binary& b)
{
    const int bitLength = 64 - __builtin_clzll(b.m);
    const int log2 = b.e + bitLength - 1;  // 2^log2 ≤ value < 2^(log2+1)
    return ((log2 * 78913) >> 18) + 1;
}

Digits18 FirstDigits(double value)
{
    const Binary b = Decompose(value);
    const std::uint64_t m = b.m;
    const int e = b.e;
    int E = GuessDecimalExponent(b);
    for (;;) {
        const Floor floor = ScaledFloor(m, e, kFirstDigits - E);
        if (floor.value >= k10To18) {
            ++E;
            continue;
        }
        if (floor.value < k10To17) {
            --E;
            continue;
        }
        std::uint64_t digits = floor.value;
        if (floor.remainder == BigUint::Remainder::AboveHalf ||
            (floor.remainder == BigUint::Remainder::Half && (digits & 1u) != 0)) {
            ++digits;
        }
        if (digits == k10To18) {
            return {k10To17, E + 1};
        }
        return {digits, E};
    }
}

// A whole number below 10^15 has at most 15 digits, all exact, so its text is
// its decimal digits: the rounding below would change none of them. Returns
// false for anything else.
bool WholeBelow10To15(const Binary& b, std::uint64_t& whole)
{
    // From 2^53 on e ≥ 0, and 2^53 > 10^15; below 2^−52 nothing is whole.
    if (b.e >= 0 || b.e < -52) {
        return false;
    }
    const int shift = -b.e;
    if ((b.m & ((std::uint64_t{1} << shift) - 1)) != 0) {
        return false;
    }
    whole = b.m >> shift;
    return whole < k10To15;
}

// The longest text: "0" mark "000" and 15 digits, or 15 digits with mark,
// "E" and "-324".
constexpr std::size_t kLongestText = 24;

char* WriteDigits(char* out, std::uint64_t n)
{
    return std::to_chars(out, out + 20, n).ptr;
}

char* WriteZeros(char* out, int count)
{
    std::memset(out, '0', static_cast<std::size_t>(count));
    return out + count;
}

}  // namespace

std::string FormatResultText(double value)
{
    const char mark = DecimalMark;
    if (value == 0) {
        return "0";
    }

    char text[kLongestText];
    char* end = text;

    if (std::uint64_t whole = 0; WholeBelow10To15(Decompose(value), whole)) {
        end = WriteDigits(text, whole);
        return std::string(text, end);
    }

    auto [digits18, E] = FirstDigits(value);

    // Down to 15 digits by the 16th digit alone: digits 17 and 18 take no
    // part, so an exact half in the 15th place always goes up.
    std::uint64_t digits = digits18 / 1000;
    if ((digits18 / 100) % 10 >= 5) {
        ++digits;
        if (digits == k10To15) {
            digits = k10To15 / 10;
            ++E;
        }
    }
    // Always 15 digits here; the zeros at the end are not written.
    char d[20];
    auto k = static_cast<int>(WriteDigits(d, digits) - d);
    while (d[k - 1] == '0') {
        --k;
    }
    // At most 15 bytes: a plain loop beats a call to memcpy.
    const auto copy = [&](int from, int to) {
        for (int i = from; i < to; ++i) {
            *end++ = d[i];
        }
    };

    if (E >= kFixedLowestE && E <= kFixedHighestE) {
        if (E >= 1) {
            if (k <= E) {
                copy(0, k);
                end = WriteZeros(end, E - k);
            } else {
                copy(0, E);
                *end++ = mark;
                copy(E, k);
            }
        } else {
            *end++ = '0';
            *end++ = mark;
            end = WriteZeros(end, -E);
            copy(0, k);
        }
    } else {
        copy(0, 1);
        if (k > 1) {
            *end++ = mark;
            copy(1, k);
        }
        *end++ = 'E';
        end = std::to_chars(end, text + kLongestText, E - 1).ptr;
    }
    return std::string(text, end);
}

}  // namespace calc
