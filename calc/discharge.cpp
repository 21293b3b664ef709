#include "discharge.h"

namespace calc {

double NozzleBore = 0.0;
double Pressure = 0.0;
double Discharge = 0.0;

namespace {

// The extended values nearest to the two decimal constants, given by their
// bits so that every representation of Extended starts from the same values.
const Extended kDischargeCoefficient = Extended::FromParts(0xA72B020C49BA5E35u, -64);  // 0.653
const Extended kMPaPerKgfPerCm2 = Extended::FromParts(0xC8D716D2AA5C5F7Cu, -67);      // 0.0980665
const Extended kHalf = Extended::FromDouble(0.5);
const Extended kHundred = Extended::FromDouble(100.0);

// Halfway between the largest double and 2^1024: 2^1024 − 2^970. From here on
// a value rounds to infinity when stored as a double.
const Extended kDoubleOverflowThreshold = Extended::FromParts((std::uint64_t{1} << 54) - 1, 970);

// Stores a value as a double, as a store to one of the state variables does.
double StoreAsDouble(Extended value)
{
    if (!(value < kDoubleOverflowThreshold && value > -kDoubleOverflowThreshold)) {
        throw EOverflow();
    }
    return value.ToDouble();
}

// Runs inside the caller's ExtendedEnvironment. Inlined: an extended value
// passed to a call goes through memory as 80 bits, which the x87 stores and
// loads slowly.
[[gnu::always_inline]] inline std::int64_t RoundToWholeHere(Extended value)
{
    // For every value of one half or more that reaches here the sum is exact
    // in 64 bits; below one half it stays below 1. So nothing under a half is
    // carried up, which a double-precision sum would do for 0.49999999999999994.
    const auto whole = (value + kHalf).TruncateToInt64();
    if (!whole) {
        throw EInvalidOp();
    }
    return *whole;
}

}  // namespace

void SetDefaultNozzleBore() { NozzleBore = 13.0; }

void SelectNozzleBore(std::int32_t itemIndex)
{
    // Each test stands on its own; an index that matches none changes nothing.
    if (itemIndex == 0) NozzleBore = 8.0;
    if (itemIndex == 1) NozzleBore = 13.0;
    if (itemIndex == 2) NozzleBore = 19.0;
}

std::int64_t RoundToWhole(Extended value)
{
    const ExtendedEnvironment environment;
    return RoundToWholeHere(value);
}

double CalculateDischarge(Extended pressure)
{
    const ExtendedEnvironment environment;

    Pressure = StoreAsDouble(pressure);

    const Extended storedPressure = Extended::FromDouble(Pressure);
    if (storedPressure.IsNegative() && !storedPressure.IsZero()) {
        throw EInvalidOp();  // √ of a negative; −0 passes and gives −0
    }
    const Extended root = Sqrt(storedPressure);

    const Extended bore = Extended::FromDouble(NozzleBore);
    Extended k = kDischargeCoefficient * bore;
    k = k * bore;
    const Extended q = root * k;

    Discharge = q.ToDouble();  // below about 3.2e156: cannot overflow
    // The whole number converts to a double exactly (so under any SSE mode):
    // below 2^52 it is at most 2^52; from 2^52 on Discharge is whole already
    // and the half added is truncated away again.
    Discharge = static_cast<double>(RoundToWholeHere(Extended::FromDouble(Discharge)));
    return Discharge;
}

double ConvertPressureToMPa()
{
    const ExtendedEnvironment environment;

    const Extended mpa = kMPaPerKgfPerCm2 * Extended::FromDouble(Pressure);
    Pressure = mpa.ToDouble();  // a factor below 1: cannot overflow

    // 100 × a double needs at most 53 + 7 significant bits: exact here.
    const std::int64_t hundredths = RoundToWholeHere(kHundred * Extended::FromDouble(Pressure));
    Pressure = (Extended::FromUint64(static_cast<std::uint64_t>(hundredths)) / kHundred).ToDouble();
    return Pressure;
}

}  // namespace calc
