#include "x87_extended.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace calc {

namespace {

// x87 control word: all exceptions masked (bits 0–5), 64-bit significand
// (bits 8–9 = 11), round to nearest (bits 10–11 = 00).
constexpr std::uint16_t kX87ControlWord = 0x037F;
// MXCSR: all exceptions masked, round to nearest, no flush-to-zero, no
// denormals-are-zero.
constexpr std::uint32_t kMxcsr = 0x1F80;

}  // namespace

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

X87Environment::X87Environment()
{
    std::uint16_t status;
    asm volatile("fnstcw %0\n\tfnstsw %1\n\tstmxcsr %2"
                 : "=m"(savedControlWord_), "=m"(status), "=m"(savedMxcsr_));
    constexpr std::uint16_t kX87Flags = 0x3F;
    if ((status & kX87Flags) != 0) {
        // Raised flags can only be put back whole, from a saved environment.
        savedWholeEnvironment_ = true;
        std::fegetenv(&saved_);
    }
    if (savedControlWord_ != kX87ControlWord) {
        const std::uint16_t cw = kX87ControlWord;
        asm volatile("fldcw %0" : : "m"(cw));
    }
    if (savedMxcsr_ != kMxcsr) {
        const std::uint32_t mxcsr = kMxcsr;
        asm volatile("ldmxcsr %0" : : "m"(mxcsr));
    }
}

X87Environment::~X87Environment()
{
    if (savedWholeEnvironment_) {
        std::fesetenv(&saved_);
        return;
    }
    // The caller had no x87 flag raised: clear what this operation raised.
    asm volatile("fnclex");
    if (savedControlWord_ != kX87ControlWord) {
        asm volatile("fldcw %0" : : "m"(savedControlWord_));
    }
    // The MXCSR holds its flags beside its controls, so reloading the saved
    // value restores both.
    asm volatile("ldmxcsr %0" : : "m"(savedMxcsr_));
}

}  // namespace calc
