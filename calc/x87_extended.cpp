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

namespace {

constexpr std::uint16_t kX87Flags = 0x3F;

// The x87 flags can only be written through a whole saved environment: the
// rare way back for a caller whose flags this operation added to.
void SetX87Flags(std::uint16_t flags)
{
    struct {
        std::uint16_t controlWord, unused1, statusWord, unused2;
        std::uint32_t rest[5];
    } environment;
    asm volatile("fnstenv %0" : "=m"(environment));
    environment.statusWord = static_cast<std::uint16_t>((environment.statusWord & ~kX87Flags) | flags);
    asm volatile("fldenv %0" : : "m"(environment));
}

}  // namespace

X87Environment::X87Environment()
{
    asm volatile("fnstcw %0\n\tfnstsw %1\n\tstmxcsr %2"
                 : "=m"(savedControlWord_), "=m"(savedStatusWord_), "=m"(savedMxcsr_));
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
    std::uint16_t status;
    asm volatile("fnstsw %0" : "=m"(status));
    const auto before = static_cast<std::uint16_t>(savedStatusWord_ & kX87Flags);
    if ((status & kX87Flags & ~before) != 0) {
        // This operation raised flags the caller did not have: take them away.
        if (before == 0) {
            asm volatile("fnclex");
        } else {
            SetX87Flags(before);
        }
    }
    if (savedControlWord_ != kX87ControlWord) {
        asm volatile("fldcw %0" : : "m"(savedControlWord_));
    }
    if (savedMxcsr_ != kMxcsr) {
        asm volatile("ldmxcsr %0" : : "m"(savedMxcsr_));
    } else {
        // Same controls: only flags this operation raised can differ.
        std::uint32_t now;
        asm volatile("stmxcsr %0" : "=m"(now));
        if (now != savedMxcsr_) {
            asm volatile("ldmxcsr %0" : : "m"(savedMxcsr_));
        }
    }
}

}  // namespace calc
