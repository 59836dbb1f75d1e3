// The decay of an impulse response, measured as room acoustics measures it: the response in
// one octave band (a sixth-order Butterworth band-pass, run backwards in time so that the
// filter's own ringing does not lengthen a short decay), the band's energy decay curve by
// Schroeder's backward integration, and the reverberation time from that curve's fall
// between -5 and -35 dB (T30), extrapolated to 60 dB.
#pragma once

#include <vector>

namespace space
{

std::vector<double> octaveBand(const std::vector<float>& response, double sampleRate, double centreHz);
// dB against the whole energy, one value per sample: 0 at the start, falling.
std::vector<double> energyDecayCurve(const std::vector<double>& response);
// Seconds; NaN when the curve does not fall by 35 dB.
double reverberationTimeT30(const std::vector<double>& curveDb, double sampleRate);

} // namespace space
