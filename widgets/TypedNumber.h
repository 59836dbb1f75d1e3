// The number a user types into a value label, read the same way whatever the process's
// locale: the leading decimal number of the text, as the C locale writes it.
#pragma once

#include <string_view>

// After white space: an optional sign, decimal digits with an optional '.' and fraction
// (one digit at least in all), and an optional decimal exponent ("2.5e3"); reading stops
// at the first character that does not continue the number ("12 dB" reads 12). Text that
// does not start with such a number reads 0: "nan", "inf", "abc", "" and "," alike, and
// "0x10" reads 0 as its leading "0". Beyond the float range a number reads as the largest
// float of its sign, below it as 0; never as an infinity or NaN, and never as -0.
float leadingDecimalNumber(std::string_view text);
