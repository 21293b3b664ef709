// Any result the calculation can return, through FormatResultText and back
// through ParsePressureText: the text follows the result grammar (at most 15
// significant digits, fixed from 0.0001 up to 10^15, scientific otherwise),
// and the value read back, rounded to a double, has the same 15-digit text.
//
// Input bytes: the first chooses the kind (whole number or hundredth) and the
// decimal mark; the next eight are n, taken below 2^63.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "discharge.h"

namespace {

[[noreturn]] void Fail(const char* what, double value, const std::string& text)
{
    std::fprintf(stderr, "FAULT: %s; value %.17g, text \"%s\"\n", what, value, text.c_str());
    std::abort();
}

bool Digit(char c) { return c >= '0' && c <= '9'; }

// The result grammar: digits, at most one mark followed by digits ending in a
// nonzero one, then optionally "E", "-" and an exponent without leading zeros.
// Returns the number of significant digits, or -1 when the text breaks it.
int SignificantDigits(const std::string& t, char mark)
{
    std::size_t i = 0;
    std::string digits;
    while (i < t.size() && Digit(t[i])) digits += t[i++];
    if (digits.empty()) return -1;
    if (digits.size() > 1 && digits[0] == '0') return -1;
    bool fraction = false;
    if (i < t.size() && t[i] == mark) {
        fraction = true;
        ++i;
        const std::size_t start = i;
        while (i < t.size() && Digit(t[i])) digits += t[i++];
        if (i == start || t[i - 1] == '0') return -1;  // no trailing zero, no bare mark
    }
    if (i < t.size() && t[i] == 'E') {
        ++i;
        if (digits.size() > 1 && !fraction) return -1;  // scientific: one digit before the mark
        if (digits[0] == '0') return -1;
        if (i < t.size() && t[i] == '-') ++i;
        if (i == t.size() || t[i] == '0') return -1;
        while (i < t.size() && Digit(t[i])) ++i;
    }
    if (i != t.size()) return -1;
    if (t == "0") return 1;
    // Significant digits: leading and trailing zeros aside (the trailing
    // zeros of a whole number in fixed layout carry no digit either).
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) return -1;
    const auto count = static_cast<int>(digits.find_last_not_of('0') - first + 1);
    return count <= 15 ? count : -1;
}

bool Fixed(double v) { return v == 0 || (v >= 0.0001 * (1 - 1e-16) && v < 1e15); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 9) return 0;
    const bool hundredths = (data[0] & 1) != 0;
    const char mark = (data[0] & 2) != 0 ? ',' : '.';
    std::uint64_t n = 0;
    std::memcpy(&n, data + 1, sizeof n);
    n &= (std::uint64_t{1} << 63) - 1;
    // The shift spreads the inputs over all magnitudes, not only huge ones.
    n >>= data[0] >> 2;

    // As the calculation forms them: a whole number stored as a double, or n
    // divided by 100 in extended precision and then stored as a double.
    const double value = hundredths ? static_cast<double>(static_cast<long double>(n) / 100.0L)
                                    : static_cast<double>(n);
    if (!hundredths && value >= 0x1p63) return 0;  // not a whole number the calculation can give

    calc::DecimalMark = mark;
    const std::string text = calc::FormatResultText(value);
    if (SignificantDigits(text, mark) < 0) Fail("text breaks the result grammar", value, text);
    const bool scientific = text.find('E') != std::string::npos;
    if (value != 0 && scientific == Fixed(value) && std::fabs(value - 1e15) > 1 && std::fabs(value - 0.0001) > 1e-19) {
        Fail("fixed or scientific layout for the wrong magnitude", value, text);
    }

    double back = 0;
    try {
        back = calc::ParsePressureText(text).ToDouble();
    } catch (const calc::Exception& e) {
        Fail("the result text does not read back", value, text);
    }
    if (calc::FormatResultText(back) != text) Fail("read back to a value with another text", value, text);
    // Half a unit in the 15th digit for the text, and one step of a double
    // for reading it back.
    if (value != 0) {
        const long double e = std::floor(std::log10(static_cast<long double>(value))) + 1;
        const long double halfUnit = 0.5L * std::pow(10.0L, e - 15);
        const long double step = std::nextafter(back, HUGE_VAL) - back;
        const long double error = std::fabs(static_cast<long double>(back) - static_cast<long double>(value));
        if (error > halfUnit * (1 + 1e-12L) + step) Fail("more than half a unit in the 15th digit", value, text);
    }
    return 0;
}
