// Any byte string through ParsePressureText, with "." and with "," as the
// decimal mark: it gives a finite value or raises EConvertError quoting
// exactly that text, and nothing else. An independent reading of the number
// grammar decides which of the two must happen, and strtold checks the value.
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "discharge.h"

namespace {

[[noreturn]] void Fail(const char* what, std::string_view text, char mark)
{
    std::fprintf(stderr, "FAULT (mark '%c'): %s; text of %zu bytes\n", mark, what, text.size());
    std::abort();
}

struct Grammar {
    bool valid = false;
    std::string plain;       // the number with "." as mark, for strtold
    long decimalExponent = 0;  // roughly log10 of the value (first significant digit)
    bool zero = true;        // no nonzero mantissa digit
    bool exactRange = false; // mantissa below 2^64 and |n| ≤ 27: one correct rounding
};

// The x87 long double with the same encoding (sign/exponent word, significand).
long double AsLongDouble(const calc::Extended& v)
{
    long double x = 0.0L;
    const std::uint64_t significand = v.SignificandBits();
    const std::uint16_t signExponent = v.SignExponentBits();
    std::memcpy(&x, &significand, sizeof significand);
    std::memcpy(reinterpret_cast<unsigned char*>(&x) + 8, &signExponent, sizeof signExponent);
    return x;
}

bool Digit(char c) { return c >= '0' && c <= '9'; }

// The number grammar, read again from scratch.
Grammar Read(std::string_view s, char mark)
{
    Grammar g;
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) g.plain += s[i++];
    bool any = false;
    long integerDigitsAfterLead = 0;  // integer digits from the first nonzero one
    long leadingFractionZeros = 0;    // fraction zeros before the first nonzero digit
    long fractionDigits = 0;
    unsigned __int128 mantissa = 0;
    bool mantissaBig = false;
    std::string digits;
    while (i < s.size() && Digit(s[i])) {
        if (!g.zero || s[i] != '0') { g.zero = false; ++integerDigitsAfterLead; }
        digits += s[i++];
        any = true;
    }
    // A leading zero keeps strtold reading texts such as "." and "-.".
    g.plain += '0' + digits;
    if (i < s.size() && s[i] == mark) {
        ++i;
        any = true;
        g.plain += '.';
        while (i < s.size() && Digit(s[i])) {
            if (g.zero && s[i] == '0') ++leadingFractionZeros;
            if (s[i] != '0') g.zero = false;
            ++fractionDigits;
            digits += s[i];
            g.plain += s[i++];
        }
    }
    if (!any) return g;
    long exponent = 0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        ++i;
        bool negative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
        while (exponent < 500 && i < s.size() && Digit(s[i])) exponent = 10 * exponent + (s[i++] - '0');
        if (negative) exponent = -exponent;
    }
    while (i < s.size() && s[i] == ' ') ++i;
    if (i != s.size()) return g;
    g.valid = true;
    g.plain += 'E' + std::to_string(exponent);
    for (char c : digits) {
        mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
        if (mantissa >> 64) { mantissaBig = true; break; }
    }
    const long n = exponent - fractionDigits;
    g.exactRange = !mantissaBig && n >= -27 && n <= 27;
    g.decimalExponent = integerDigitsAfterLead > 0 ? integerDigitsAfterLead + exponent
                                                   : exponent - leadingFractionZeros;
    return g;
}

void Check(std::string_view text, char mark)
{
    calc::DecimalMark = mark;
    const Grammar g = Read(text, mark);
    try {
        const calc::Extended v = calc::ParsePressureText(text);
        if (v.IsInfinite() || v.IsNaN()) Fail("accepted with a value that is not finite", text, mark);
        if (!g.valid) Fail("accepted a text outside the grammar", text, mark);
        if (!g.zero && g.decimalExponent > 4935) Fail("accepted a value beyond the extended range", text, mark);
        errno = 0;
        const long double expected = std::strtold(g.plain.c_str(), nullptr);
        const long double actual = AsLongDouble(v);
        if (g.exactRange && !(actual == expected && std::signbit(actual) == std::signbit(expected))) {
            Fail("value differs from the correctly rounded one", text, mark);
        }
        if (std::fabs(expected) >= LDBL_MIN && std::isfinite(expected) &&
            std::fabs(actual - expected) > std::fabs(expected) * 0x1p-54L) {
            Fail("value far from the decimal number", text, mark);
        }
    } catch (const calc::EConvertError& e) {
        const std::string expected = "'" + std::string(text) + "' は浮動小数点数ではありません";
        if (e.Message() != expected) Fail("message does not quote the text exactly", text, mark);
        if (g.valid && (g.zero || g.decimalExponent < 4925)) Fail("rejected a number within range", text, mark);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Check(text, '.');
    Check(text, ',');
    return 0;
}
