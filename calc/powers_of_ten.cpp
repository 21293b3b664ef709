#include "powers_of_ten.h"

#include <algorithm>
#include <array>

namespace calc {

namespace {

struct Bits {
    std::uint64_t significand;
    int exponent;
};

// 10^(2^k) rounded to nearest with a 64-bit significand: significand × 2^exponent.
// Rows 0–4 are exact.
constexpr std::array<Bits, 13> kBinaryPowers{{
    {0xA000000000000000u, -60},   // 10^1
    {0xC800000000000000u, -57},   // 10^2
    {0x9C40000000000000u, -50},   // 10^4
    {0xBEBC200000000000u, -37},   // 10^8
    {0x8E1BC9BF04000000u, -10},   // 10^16
    {0x9DC5ADA82B70B59Eu, 43},    // 10^32
    {0xC2781F49FFCFA6D5u, 149},   // 10^64
    {0x93BA47C980E98CE0u, 362},   // 10^128
    {0xAA7EEBFB9DF9DE8Eu, 787},   // 10^256
    {0xE319A0AEA60E91C7u, 1637},  // 10^512
    {0xC976758681750C17u, 3338},  // 10^1024
    {0x9E8B3B5DC53D5DE5u, 6740},  // 10^2048
    {0xC46052028A20979Bu, 13543}, // 10^4096
}};

Extended BinaryPower(std::size_t k)
{
    // Built once: every text with a decimal mark or an exponent needs some.
    static const std::array<Extended, kBinaryPowers.size()> powers = [] {
        std::array<Extended, kBinaryPowers.size()> built;
        for (std::size_t i = 0; i < built.size(); ++i) {
            built[i] = Extended::FromParts(kBinaryPowers[i].significand, kBinaryPowers[i].exponent);
        }
        return built;
    }();
    return powers[k];
}

constexpr std::uint32_t kLargestBinaryPower = 4096;
constexpr std::int64_t kLargestExponent = 2 * kLargestBinaryPower - 1;  // uses every row

// Past this, v / 10^n is below half the smallest subnormal for every finite v
// (the largest extended value is below 1.2 × 10^4932, the smallest subnormal
// above 3.6 × 10^−4951).
constexpr std::int64_t kVanishingExponent = 10000;

}  // namespace

Extended PowerOfTen(std::uint32_t n)
{
    Extended power = Extended::FromUint64(1);
    for (std::size_t k = 0; n != 0; ++k, n >>= 1) {
        if (n & 1u) {
            power = power * BinaryPower(k);
        }
    }
    return power;
}

Extended ScaleByPowerOfTen(Extended v, std::int64_t n)
{
    if (n == 0 || v.IsZero()) {
        return v;  // also keeps 0 × ∞ from turning into NaN
    }
    if (n > 0) {
        // From 10^4933 on the power is infinite, and so is v times it.
        return v * PowerOfTen(static_cast<std::uint32_t>(std::min<std::int64_t>(n, kLargestExponent)));
    }
    if (n <= -kVanishingExponent) {
        return v.IsNegative() ? -Extended() : Extended();
    }
    auto m = static_cast<std::uint32_t>(-n);
    while (m > kLargestBinaryPower) {
        v = v / BinaryPower(12);
        m -= kLargestBinaryPower;
    }
    return v / PowerOfTen(m);
}

}  // namespace calc
