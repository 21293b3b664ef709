#include "x87_extended.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace calc {

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

void X87Environment::RestoreFlags(std::uint16_t flags)
{
    if (flags == 0) {
        asm volatile("fnclex");
        return;
    }
    // Raised flags can only be written through a whole saved environment.
    struct {
        std::uint16_t controlWord, unused1, statusWord, unused2;
        std::uint32_t rest[5];
    } environment;
    asm volatile("fnstenv %0" : "=m"(environment));
    environment.statusWord = static_cast<std::uint16_t>((environment.statusWord & ~kFlags) | flags);
    asm volatile("fldenv %0" : : "m"(environment));
}

}  // namespace calc
