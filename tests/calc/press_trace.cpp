// Prints what one press of 計算 does for a long run of random pressure texts
// (fixed seed), one line per text: the converted pressure's bits, the
// discharge and the MPa value with their texts, or the error at the step that
// raised it. Built against each extended format; the two outputs must be the
// same byte for byte (and the aarch64 build's output the same as x86-64's).
// Usage: press_trace [count] [seed]
#include <bit>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "discharge.h"

namespace {

// Texts of every shape the grammar accepts, biased toward values that round
// at the edges: many digits, tiny and huge exponents, the failure thresholds.
std::string RandomText(std::mt19937_64& random)
{
    const auto between = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    std::string text;
    if (between(0, 9) == 0) text += '-';
    const int integerDigits = between(0, between(0, 3) == 0 ? 30 : 4);
    for (int i = 0; i < integerDigits; ++i) text += static_cast<char>('0' + between(0, 9));
    if (integerDigits == 0 || between(0, 1) == 0) {
        text += '.';
        const int fractionDigits = between(integerDigits == 0 ? 1 : 0, between(0, 3) == 0 ? 30 : 3);
        for (int i = 0; i < fractionDigits; ++i) text += static_cast<char>('0' + between(0, 9));
    }
    switch (between(0, 5)) {
    case 0: text += "E" + std::to_string(between(-30, 30)); break;
    case 1: text += "E" + std::to_string(between(-4999, 4999)); break;
    case 2: text += "E" + std::to_string(between(15, 36)); break;  // the rounding thresholds
    default: break;
    }
    return text;
}

std::string Result(double value)
{
    char bits[24];
    std::snprintf(bits, sizeof bits, "%016" PRIX64, std::bit_cast<std::uint64_t>(value));
    return std::string(bits) + " " + calc::FormatResultText(value);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::uint64_t count = argc > 1 ? std::strtoull(argv[1], nullptr, 0) : 100000;
    const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 0) : 0x5EEDF00D2024ull;
    std::mt19937_64 random(seed);
    calc::DecimalMark = '.';
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::string text = RandomText(random);
        calc::SelectNozzleBore(static_cast<std::int32_t>(random() % 3));
        std::string line = text + " |";
        try {
            const calc::Extended pressure = calc::ParsePressureText(text);
            char bits[32];
            std::snprintf(bits, sizeof bits, " %04X:%016" PRIX64, pressure.SignExponentBits(), pressure.SignificandBits());
            line += bits;
            line += " | " + Result(calc::CalculateDischarge(pressure));
            line += " | " + Result(calc::ConvertPressureToMPa());
        } catch (const calc::EConvertError&) {
            line += " EConvertError";
        } catch (const calc::EOverflow&) {
            line += " EOverflow";
        } catch (const calc::EInvalidOp&) {
            line += " EInvalidOp";
        }
        std::printf("%s\n", line.c_str());
    }
    return 0;
}
