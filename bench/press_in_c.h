// One press of 計算 as a programmer would write it with the C library alone:
// strtold for the entry, the same formula in long double, and snprintf
// "%.15G" for the two results. The yardstick of press_benchmark.
#pragma once

#include <cstddef>

namespace bench {

struct CPressResult {
    bool ok;            // false when strtold rejected the text
    char discharge[32]; // "%.15G" of the rounded discharge
    char mpa[32];       // "%.15G" of the MPa value rounded to hundredths
};

// bore in millimetres; text NUL-terminated.
CPressResult PressWithCLibrary(const char* text, long double bore);

}  // namespace bench
