// Decimal numbers as the map's files write them: a fixed number of decimals, '.' whatever the
// locale, read back exactly. A value held to the same decimals (Quantize) survives a write
// and a read bit for bit.
#pragma once

#include <string>
#include <string_view>

namespace odr::map {

// `value` rounded to `decimals` places (0 to 6), as the files hold it.
double Quantize(double value, int decimals);

// `value` rounded to `decimals` places, trailing zeros dropped: "42.5", "3", "-0.25".
std::string FormatDecimal(double value, int decimals);

// Reads "[-]digits[.digits]" (at most 9 digits before the point), rounded to `decimals`
// places as Quantize would. False for anything else, nothing after the number included.
bool ParseDecimal(std::string_view text, int decimals, double* value);

}  // namespace odr::map
