// Powers of ten in the extended format, for scaling a decimal mantissa.
#pragma once

#include <cstdint>

#include "extended.h"

namespace calc {

// 10^n for 0 ≤ n ≤ 8191, built from the binary powers 10^(2^k). Exact, and
// so the scaling by it correctly rounded, for n ≤ 27 (10^27 = 5^27 × 2^27 and
// 5^27 < 2^64). Beyond that each factor carries at most half an ulp of error.
// Infinite when 10^n exceeds the extended range (n ≥ 4933).
Extended PowerOfTen(std::uint32_t n);

// v × 10^n for n > 0, v / 10^−n for n < 0, without an intermediate overflow
// for any n: v / 10^12000 underflows to zero as it should, not to NaN.
Extended ScaleByPowerOfTen(Extended v, std::int64_t n);

}  // namespace calc
