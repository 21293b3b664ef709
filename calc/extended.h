// Extended: the 80-bit extended floating-point format (sign, 15-bit exponent,
// 64-bit significand) in which the calculation does all of its arithmetic.
// Every operation rounds its result to a 64-bit significand, to nearest with
// ties to even, exactly as IEEE 754 prescribes for that format.
//
// All extended arithmetic of the calculation goes through this type, chosen
// when the program is built:
//   – the x87 `long double` (X87Extended) where the processor has it, under
//     the control word that ExtendedEnvironment sets; CALC_EXTENDED_X87 is
//     then defined;
//   – elsewhere, or when the build asks for it (CALC_SOFT_EXTENDED), the
//     integer implementation SoftExtended, which gives the same bits for every
//     operation on every processor; CALC_EXTENDED_SOFT is then defined.
// ExtendedEnvironment is the floating-point environment in which the
// calculation runs: for its lifetime the arithmetic rounds as above with every
// exception masked, and its destructor restores the caller's environment
// (a raised inexact flag may stay raised, as after any IEEE arithmetic).
#pragma once

#if !defined(CALC_SOFT_EXTENDED) && !defined(__x86_64__) && !defined(__i386__)
#define CALC_SOFT_EXTENDED 1  // no x87 here: the software format is the only one
#endif

#include "soft_extended.h"

#if defined(CALC_SOFT_EXTENDED)

#define CALC_EXTENDED_SOFT 1

namespace calc {
using Extended = SoftExtended;
using ExtendedEnvironment = SoftEnvironment;
}  // namespace calc

#else

#include "x87_extended.h"

#define CALC_EXTENDED_X87 1

namespace calc {
using Extended = X87Extended;
using ExtendedEnvironment = X87Environment;
}  // namespace calc

#endif
