// How a value maps to a position along a control's travel (a proportion in [0, 1]) and
// back, for the three laws of the slider family. Closed form, double precision.
#pragma once

namespace slider_laws
{
// Linear without skew.
double linearToValue(double min, double max, double proportion);
double linearToProportion(double min, double max, double value);

// Logarithmic; min and max must be positive.
double logToValue(double min, double max, double proportion);
double logToProportion(double min, double max, double value);

// Level fader in dB: the fourth root of the amplitude is linear in travel. For
// min < 0 <= max the top of the travel is 0 dB, whatever max is.
double faderToValue(double min, double max, double proportion);
double faderToProportion(double min, double max, double value);
} // namespace slider_laws
