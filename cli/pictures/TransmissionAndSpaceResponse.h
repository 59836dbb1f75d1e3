// What follows the effect, as a response to draw beside the effect's own: the codec's band,
// measured on pink noise through the codec alone (a codec is not a filter, but what it keeps of
// a band shows as one), and the space's response from its impulse response (the dry share and
// the predelay included), both smoothed to third octaves. What has no curve (the packets lost,
// the radio's static, squelch and click) is named.
#pragma once

#include "cli/pictures/PresetResponse.h"
#include "space/SpaceSettings.h"
#include "transmission/TransmissionSettings.h"

#include <string>
#include <vector>

class TransmissionAndSpaceResponse
{
public:
    // Measures at `rate`; throws UsageError for a space that cannot be made.
    TransmissionAndSpaceResponse(const transmission::TransmissionSettings& transmission,
                                 const space::SpaceSettings& space, unsigned rate = 48000);

    // Appends the codec's and the space's parts at `frequencies` to `response` (its total
    // too).
    void addTo(PresetResponse& response, const std::vector<double>& frequencies) const;

    // What the transmission does that has no curve, in words: "DTX: quiet frames not sent",
    // "5 % of packets lost in bursts of 3", the radio's "static at -40 dB (pink)", "squelch
    // tail 220 ms", "key click at -20 dB", "keyed above -32 dB, silent between overs".
    std::vector<std::string> notDrawn() const;

    // How the picture's title names what follows the effect: "its codec", "its radio and its
    // space"; empty when nothing does.
    std::string followingText() const;

    // Where the codec's band ends: the highest frequency at most 10 dB under its level between
    // 300 Hz and 3 kHz (third-octave smoothed); 0 without a codec.
    double codecTopHz() const { return m_codecTopHz; }

private:
    std::vector<double> codecDb(const std::vector<double>& frequencies) const;
    std::vector<double> spaceDb(const std::vector<double>& frequencies) const;

    transmission::TransmissionSettings m_transmission;
    space::SpaceSettings m_space;
    unsigned m_rate;
    std::vector<double> m_codecIn, m_codecOut; // energy per bin of the pink noise and of what the codec made of it
    std::vector<double> m_spaceEnergy;         // energy per bin of the space's response to an impulse
    double m_codecTopHz = 0.0;
};
