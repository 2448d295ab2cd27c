// Numbers as the range fields, readout labels and report show and read them, in the user's locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kurvana {

// In all functions below an empty decimal separator stands for the point.

// The general number format: the value rounded to `significant` digits (6 for
// fields, labels and the report; 15 where start-up fills the range fields;
// halves to even, on the exact binary value), then fixed notation when the
// rounded magnitude is in [0.0001, 10^significant) and "1.5E-06" style
// otherwise: no plus sign, at least two exponent digits. Trailing zeros and a
// trailing separator are dropped; zero and -0 give "0". A non-finite value (no
// range or sample should ever hold one) also gives "0", so whatever is written
// can be read back.
std::string formatGeneral(long double value, std::string_view decimalSeparator,
                          int significant = 6);

// Reads [spaces][+|-]digits[sep digits][(E|e)[+|-]digits][spaces] with at least
// one mantissa digit; only the given separator is accepted, and no thousands
// separators. Correctly rounded to extended precision and independent of the
// process locale. Fails on anything else and on a value beyond the extended range;
// a value below it reads as a denormal or 0.
std::optional<long double> parseLocaleNumber(std::string_view text,
                                             std::string_view decimalSeparator);

// A decimal int32 with optional sign, surrounded by optional spaces.
std::optional<std::int32_t> parseInteger(std::string_view text);

// The decimal separator of the LC_NUMERIC locale the environment selects
// (LC_ALL, LC_NUMERIC, LANG); "." when that locale is unavailable. The process's
// global locale is neither consulted nor changed.
std::string userDecimalSeparator();

}  // namespace kurvana

namespace kurvana {

// Fixed-point text of the grid labels: the value rounded to `precision`
// significant digits, then to `decimals` places (halves to even at each step),
// no thousands separators; "0.00" rather than "-0.00". A value with more than
// `precision` digits before the point is written as d.ddd...E[-]dd instead.
std::string formatFixed(long double value, int precision, int decimals,
                        std::string_view decimalSeparator);

}  // namespace kurvana
