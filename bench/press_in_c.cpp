#include "press_in_c.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace bench {

CPressResult PressWithCLibrary(const char* text, long double bore)
{
    CPressResult r{};
    char* end = nullptr;
    const long double pressure = std::strtold(text, &end);
    if (end == text || *end != '\0') {
        return r;
    }
    const double stored = static_cast<double>(pressure);
    const long double q = 0.653L * bore * bore * std::sqrt(static_cast<long double>(stored));
    const auto discharge = static_cast<double>(static_cast<long long>(static_cast<double>(q) + 0.5L));
    const auto mpa = static_cast<double>(0.0980665L * stored);
    const auto hundredths = static_cast<long long>(100.0L * mpa + 0.5L);
    const auto mpaRounded = static_cast<double>(static_cast<long double>(hundredths) / 100.0L);
    std::snprintf(r.discharge, sizeof r.discharge, "%.15G", discharge);
    std::snprintf(r.mpa, sizeof r.mpa, "%.15G", mpaRounded);
    r.ok = true;
    return r;
}

}  // namespace bench
