// ParsePressureText against an independent oracle. Where the mantissa digits
// read as one whole number are below 2^64 and the scale n lies within ±27,
// the result must be the extended value nearest to the decimal number, which
// is exactly what glibc's strtold returns (it rounds correctly).
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "discharge.h"

namespace calc {
namespace {

struct Bits {
    std::uint64_t significand;
    std::uint16_t signExponent;
    bool operator==(const Bits&) const = default;
};

// strtold is the oracle only where long double is the extended format itself.
constexpr bool kLongDoubleIsExtended = std::numeric_limits<long double>::digits == 64 &&
                                       std::numeric_limits<long double>::max_exponent == 16384;

Bits BitsOf(long double v)
{
    unsigned char raw[sizeof v];
    std::memcpy(raw, &v, sizeof v);
    Bits b{};
    std::memcpy(&b.significand, raw, 8);
    std::memcpy(&b.signExponent, raw + 8, 2);
    return b;
}

Bits BitsOf(Extended v) { return {v.SignificandBits(), v.SignExponentBits()}; }

// A random text of the oracle's range: up to 20 mantissa digits below 2^64,
// split anywhere by the decimal point, with an exponent chosen so that
// n = exponent − fraction digits stays within ±27.
std::string RandomText(std::mt19937_64& random)
{
    const int digitCount = 1 + static_cast<int>(random() % 20);
    std::string digits;
    for (int i = 0; i < digitCount; ++i) {
        digits += static_cast<char>('0' + random() % 10);
    }
    if (digitCount == 20 && digits > "18446744073709551615") {
        digits[0] = '1';
        digits[1] = '0';
    }
    const int fractionDigits = static_cast<int>(random() % static_cast<std::uint64_t>(digitCount + 1));
    const int n = static_cast<int>(random() % 55) - 27;
    const int exponent = n + fractionDigits;

    std::string text = random() % 2 ? "-" : "";
    text += digits.substr(0, static_cast<std::size_t>(digitCount - fractionDigits));
    if (fractionDigits > 0 || random() % 4 == 0) {
        text += '.';
        text += digits.substr(static_cast<std::size_t>(digitCount - fractionDigits));
    }
    if (exponent != 0 || random() % 4 == 0) {
        text += random() % 2 ? 'E' : 'e';
        text += std::to_string(exponent);
    }
    return text;
}

TEST(ParsePressureOracle, AgreesBitForBitWithStrtoldWithinTheExactRange)
{
    if (!kLongDoubleIsExtended) {
        GTEST_SKIP() << "long double is not the 80-bit extended format here";
    }
    ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");  // strtold reads "."
    DecimalMark = '.';
    std::mt19937_64 random(20261211);
    for (int i = 0; i < 300000; ++i) {
        const std::string text = RandomText(random);
        const long double expected = std::strtold(text.c_str(), nullptr);
        ASSERT_EQ(BitsOf(ParsePressureText(text)), BitsOf(expected)) << "text: " << text;
    }
}

TEST(ParsePressureOracle, AgreesOnHalfwayCases)
{
    if (!kLongDoubleIsExtended) {
        GTEST_SKIP() << "long double is not the 80-bit extended format here";
    }
    // 2^64 − 1 digits scaled by powers of ten make the hardest ties of the
    // range: the exact product needs more than 64 bits.
    DecimalMark = '.';
    const char* mantissas[] = {"18446744073709551615", "9223372036854775809", "18446744073709551613",
                               "12345678901234567891", "4611686018427387905"};
    for (const char* mantissa : mantissas) {
        for (int n = -27; n <= 27; ++n) {
            const std::string text = std::string(mantissa) + "E" + std::to_string(n);
            ASSERT_EQ(BitsOf(ParsePressureText(text)), BitsOf(std::strtold(text.c_str(), nullptr)))
                << "text: " << text;
        }
    }
}

}  // namespace
}  // namespace calc
