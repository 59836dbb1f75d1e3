// One signal made of signals given per octave band: each band's signal is kept to its band and
// the bands are summed. The split is done in the frequency domain, without phase change, with
// raised-cosine crossovers half an octave wide at the bands' edges, so that the bands add back
// to the whole: the same signal given to every band comes out unchanged.
#pragma once

#include "space/OctaveBands.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace space
{

class OctaveBandSum
{
public:
    OctaveBandSum(std::size_t frames, double sampleRate);
    ~OctaveBandSum();
    OctaveBandSum(const OctaveBandSum&) = delete;
    OctaveBandSum& operator=(const OctaveBandSum&) = delete;

    // Adds `signal` (`frames` long, time 0 first) in band `band` (0: 125 Hz ... 6: 8 kHz; the
    // lowest band reaches down to 0 Hz, the highest up to half the sample rate).
    void add(std::size_t band, const std::vector<float>& signal);
    // Gains per band for the whole sum, applied as a minimum-phase filter: the sum passes
    // through it without anything arriving before it would (a wall between source and
    // listener). All gains above zero.
    void setCausalGains(const BandValues& gains);
    // The sum, `frames` long; what the crossovers spread before time 0 is left out.
    std::vector<float> sum();

    // Band `band`'s share of frequency `hz`, 0 to 1; the shares of all bands add up to 1.
    static double share(std::size_t band, double hz);
    // Each band's mean power gain through an impulse response (the mean over its channels),
    // by the same split within the octaves' outer edges (88 Hz to 11.3 kHz): 1 in every band
    // for a unit sample; 0 for a band above half the sample rate.
    static BandValues powerGains(const std::vector<std::vector<float>>& channels, double sampleRate);

private:
    struct Transforms;
    void applyCausalGains();

    std::size_t m_frames;
    std::size_t m_margin; // room before time 0 and after the end for what the crossovers spread
    double m_sampleRate;
    std::unique_ptr<Transforms> m_fft;
    BandValues m_causalGains;
    bool m_shaped = false;
};

} // namespace space
