#include "big_uint.h"

#include <cassert>

namespace calc {

namespace {
constexpr std::uint32_t kPow10[] = {1,      10,      100,      1000,      10000,
                                    100000, 1000000, 10000000, 100000000, 1000000000};
constexpr int kLargestSmallPow10 = 9;
}  // namespace

BigUint::BigUint(std::uint64_t value)
{
    limbs_[0] = static_cast<std::uint32_t>(value);
    limbs_[1] = static_cast<std::uint32_t>(value >> 32);
    size_ = 2;
    Trim();
}

void BigUint::Trim()
{
    while (size_ > 0 && limbs_[size_ - 1] == 0) {
        --size_;
    }
}

void BigUint::MultiplySmall(std::uint32_t factor)
{
    std::uint64_t carry = 0;
    for (std::size_t i = 0; i < size_; ++i) {
        const std::uint64_t product = std::uint64_t{limbs_[i]} * factor + carry;
        limbs_[i] = static_cast<std::uint32_t>(product);
        carry = product >> 32;
    }
    if (carry != 0) {
        assert(size_ < kCapacity);
        limbs_[size_++] = static_cast<std::uint32_t>(carry);
    }
}

void BigUint::MultiplyByPowerOfTen(int exponent)
{
    for (; exponent > kLargestSmallPow10; exponent -= kLargestSmallPow10) {
        MultiplySmall(kPow10[kLargestSmallPow10]);
    }
    MultiplySmall(kPow10[exponent]);
}

void BigUint::ShiftLeft(int bits)
{
    const auto limbShift = static_cast<std::size_t>(bits / 32);
    const int bitShift = bits % 32;
    assert(size_ + limbShift + 1 <= kCapacity);
    if (size_ == 0) {
        return;
    }
    limbs_[size_ + limbShift] = 0;
    for (std::size_t i = size_; i-- > 0;) {
        const std::uint64_t wide = std::uint64_t{limbs_[i]} << bitShift;
        limbs_[i + limbShift + 1] |= static_cast<std::uint32_t>(wide >> 32);
        limbs_[i + limbShift] = static_cast<std::uint32_t>(wide);
    }
    for (std::size_t i = 0; i < limbShift; ++i) {
        limbs_[i] = 0;
    }
    size_ += limbShift + 1;
    Trim();
}

BigUint::Remainder BigUint::ShiftRight(int bits)
{
    if (bits == 0) {
        return Remainder::Zero;
    }
    // The discarded bits, read as a fraction: the highest of them is the
    // half; any bit below it makes the fraction more than a half.
    const auto bitAt = [this](int index) {
        const auto limb = static_cast<std::size_t>(index / 32);
        return limb < size_ && ((limbs_[limb] >> (index % 32)) & 1u) != 0;
    };
    const bool half = bitAt(bits - 1);
    bool below = false;
    for (int i = 0; i < bits - 1 && !below; ++i) {
        below = bitAt(i);
    }

    const auto limbShift = static_cast<std::size_t>(bits / 32);
    const int bitShift = bits % 32;
    if (limbShift >= size_) {
        size_ = 0;
    } else {
        for (std::size_t i = 0; i + limbShift < size_; ++i) {
            std::uint64_t wide = limbs_[i + limbShift];
            if (i + limbShift + 1 < size_) {
                wide |= std::uint64_t{limbs_[i + limbShift + 1]} << 32;
            }
            limbs_[i] = static_cast<std::uint32_t>(wide >> bitShift);
        }
        size_ -= limbShift;
        Trim();
    }

    if (!half) {
        return below ? Remainder::BelowHalf : Remainder::Zero;
    }
    return below ? Remainder::AboveHalf : Remainder::Half;
}

std::uint32_t BigUint::DivideSmall(std::uint32_t divisor)
{
    std::uint64_t remainder = 0;
    for (std::size_t i = size_; i-- > 0;) {
        const std::uint64_t dividend = (remainder << 32) | limbs_[i];
        limbs_[i] = static_cast<std::uint32_t>(dividend / divisor);
        remainder = dividend % divisor;
    }
    Trim();
    return static_cast<std::uint32_t>(remainder);
}

BigUint::Remainder BigUint::DivideByPowerOfTen(int exponent)
{
    if (exponent == 0) {
        return Remainder::Zero;
    }
    // Divide by 10^(exponent − 1) in chunks, remembering only whether anything
    // non-zero was discarded; the last division by 10 then gives the digit
    // that decides the side of the half.
    bool sticky = false;
    int rest = exponent - 1;
    for (; rest > kLargestSmallPow10; rest -= kLargestSmallPow10) {
        sticky |= DivideSmall(kPow10[kLargestSmallPow10]) != 0;
    }
    sticky |= DivideSmall(kPow10[rest]) != 0;
    const std::uint32_t digit = DivideSmall(10);
    if (digit < 5) {
        return (digit == 0 && !sticky) ? Remainder::Zero : Remainder::BelowHalf;
    }
    if (digit == 5) {
        return sticky ? Remainder::AboveHalf : Remainder::Half;
    }
    return Remainder::AboveHalf;
}

std::uint64_t BigUint::ToUint64() const
{
    assert(size_ <= 2);
    std::uint64_t value = 0;
    for (std::size_t i = size_; i-- > 0;) {
        value = (value << 32) | limbs_[i];
    }
    return value;
}

}  // namespace calc
