// A small unsigned big integer with a fixed capacity, just large enough for
// the exact decimal digits of any double: m × 2^e × 10^s with m < 2^53 and
// the exponents of the double range needs under 1,200 bits.
#pragma once

#include <array>
#include <cstdint>

namespace calc {

class BigUint {
public:
    static constexpr std::size_t kCapacity = 40;  // 32-bit limbs: 1,280 bits

    explicit BigUint(std::uint64_t value);

    void MultiplySmall(std::uint32_t factor);
    void MultiplyByPowerOfTen(int exponent);  // exponent ≥ 0
    void ShiftLeft(int bits);                 // bits ≥ 0

    // Divides by 2^bits (bits ≥ 0). Returns whether the discarded part is
    // exactly zero, exactly one half, or which side of a half it lies on.
    enum class Remainder { Zero, BelowHalf, Half, AboveHalf };
    Remainder ShiftRight(int bits);

    // Divides by 10^exponent (exponent ≥ 0), with the same report.
    Remainder DivideByPowerOfTen(int exponent);

    // The value, which the caller knows to be below 2^64.
    std::uint64_t ToUint64() const;

private:
    std::uint32_t DivideSmall(std::uint32_t divisor);  // returns the remainder
    void Trim();

    std::array<std::uint32_t, kCapacity> limbs_{};  // least significant first
    std::size_t size_ = 0;                          // no leading zero limbs
};

}  // namespace calc
