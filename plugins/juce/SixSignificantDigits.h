// A float as a person would set it, to six significant digits: a value that went through the
// host's normalised form comes back a rounding away (1 ms as 0.99999994 ms), and the
// parameter block and the state should carry the 1.
#pragma once

// The float nearest to `v` rounded to six significant decimal digits (halves to even): what
// printing `v` with "%.6g" and reading the text back with strtof gives, bit for bit, worked
// out in whole numbers instead, so that the audio thread may call it (no formatting, no
// parsing, no allocation). Zero, infinities and NaN come back as they are, and so does a
// subnormal where denormals are flushed to zero (it compares equal to zero there).
float toSixSignificantDigits(float v);
