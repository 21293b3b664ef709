// The discharge calculation: the selected nozzle bore, Q = 0.653 × D² × √P in
// whole litres per minute, and the same pressure in MPa rounded to hundredths,
// together with the text conversions that feed and show them.
//
// One press of the calculate button runs, in this order:
//   ParsePressureText → CalculateDischarge → FormatResultText
//                     → ConvertPressureToMPa → FormatResultText
// An error ends the sequence at its step; nothing done before is undone.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "errors.h"
#include "extended.h"

namespace calc {

// The calculation state: zero at program start, alive until it ends.
extern double NozzleBore;  // millimetres: 8, 13 or 19 once the window exists
extern double Pressure;    // kgf/cm² as entered; after a calculation, MPa to hundredths
extern double Discharge;   // litres per minute; after a calculation, a whole number

// The decimal separator of the user's locale, one byte ("." by default).
extern char DecimalMark;

// Sets NozzleBore to 13, the bore that the window selects at start.
void SetDefaultNozzleBore();

// Sets NozzleBore from the bore group's item index: 0 → 8, 1 → 13, 2 → 19.
// Any other index changes nothing.
void SelectNozzleBore(std::int32_t itemIndex);

// Stores the pressure in Pressure, computes the discharge for NozzleBore,
// rounds it to whole litres per minute, leaves it in Discharge and returns it.
// Raises EOverflow when the pressure has no finite double, EInvalidOp for a
// negative pressure or a discharge of 2^63 or more.
double CalculateDischarge(Extended pressure);

// Converts the Pressure left by CalculateDischarge to MPa rounded to
// hundredths, leaves it in Pressure and returns it. Raises EInvalidOp when
// 100 × the MPa value is 2^63 or more.
double ConvertPressureToMPa();

// Adds one half in extended precision and truncates toward zero: the whole
// number nearest to value, an exact half going up. Raises EInvalidOp when the
// sum is outside the signed 64-bit range.
std::int64_t RoundToWhole(Extended value);

// Reads a pressure text (UTF-8; only ASCII bytes and DecimalMark have a
// meaning) as a number. Raises EConvertError, quoting the whole text, when it
// is not one.
Extended ParsePressureText(std::string_view text);

// Writes a result (finite, not negative) with at most 15 significant digits,
// in fixed layout from 0.0001 up to 10^15 and in scientific layout otherwise.
std::string FormatResultText(double value);

// Reads DecimalMark from the user's locale (LC_ALL, LC_NUMERIC, LANG), without
// touching the process's own locale. A separator of other than one byte, or a
// locale that cannot be loaded, gives ".".
void ReadDecimalMark();

}  // namespace calc
