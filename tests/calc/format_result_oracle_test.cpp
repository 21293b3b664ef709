// FormatResultText against an independent oracle: glibc's printf writes the
// exact decimal expansion of a double rounded to 18 significant digits
// ("%.17e"), which is the first step of the rule; the rest of the rule is
// applied here to those digits as text.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "discharge.h"

namespace calc {
namespace {

std::string OracleText(double value)
{
    if (value == 0) {
        return "0";
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17e", value);  // d.ddddddddddddddddde±x
    std::string digits18 = std::string(1, buffer[0]) + std::string(buffer + 2, 17);
    int E = std::atoi(std::strchr(buffer, 'e') + 1) + 1;

    std::string digits = digits18.substr(0, 15);
    if (digits18[15] >= '5') {
        int i = 14;
        while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') {
            digits[static_cast<std::size_t>(i--)] = '0';
        }
        if (i < 0) {
            digits = "1";
            ++E;
        } else {
            ++digits[static_cast<std::size_t>(i)];
        }
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    const auto k = static_cast<int>(digits.size());
    if (E >= -3 && E <= 15) {
        if (E <= 0) {
            return "0." + std::string(static_cast<std::size_t>(-E), '0') + digits;
        }
        if (k <= E) {
            return digits + std::string(static_cast<std::size_t>(E - k), '0');
        }
        return digits.substr(0, static_cast<std::size_t>(E)) + "." + digits.substr(static_cast<std::size_t>(E));
    }
    return digits.substr(0, 1) + (k > 1 ? "." + digits.substr(1) : "") + "E" + std::to_string(E - 1);
}

TEST(FormatResultOracle, AgreesOnRandomDoublesOfEveryMagnitude)
{
    DecimalMark = '.';
    std::mt19937_64 random(20261211);
    std::uniform_int_distribution<std::uint64_t> bits(0, 0x7FEFFFFFFFFFFFFFu);  // finite, positive
    for (int i = 0; i < 200000; ++i) {
        double value;
        const std::uint64_t b = bits(random);
        std::memcpy(&value, &b, sizeof value);
        ASSERT_EQ(FormatResultText(value), OracleText(value)) << "bits " << std::hex << b;
    }
}

TEST(FormatResultOracle, AgreesOnTheValuesTheCalculationReturns)
{
    // Whole discharges below 2^63 and hundredths n/100 with n below 2^63.
    DecimalMark = '.';
    std::mt19937_64 random(7);
    for (int i = 0; i < 200000; ++i) {
        const std::uint64_t n = random() >> (random() % 64);
        const double whole = static_cast<double>(n >> 1);
        const double hundredth = static_cast<double>(static_cast<long double>(n >> 1) / 100.0L);
        ASSERT_EQ(FormatResultText(whole), OracleText(whole)) << n;
        ASSERT_EQ(FormatResultText(hundredth), OracleText(hundredth)) << n;
    }
}

}  // namespace
}  // namespace calc
