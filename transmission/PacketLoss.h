// Which codec frames the network loses: each on its own with the loss rate (random), or in
// bursts from a two-state Gilbert-Elliott model (every frame in the bad state is lost, none in
// the good one; a burst ends with chance 1/B after each lost frame, so bursts last B frames in
// the mean, and bursts start so that the share lost is the rate).
#pragma once

#include "transmission/SeededRandom.h"
#include "transmission/TransmissionSettings.h"

#include <cstdint>
#include <vector>

namespace transmission
{

class PacketLoss
{
public:
    PacketLoss(const LossSettings& settings, std::uint64_t seed);

    // A new rate, burst length and concealment from the next frame decided on (the frames
    // already decided for some channel keep their answers).
    void setSettings(const LossSettings& settings);

    // Whether frame `index` (from 0) is lost; the same answer for every channel.
    bool lost(std::uint64_t index);
    // Drops the answers for the frames before `index`, which no channel asks about again, so
    // that a line of any length keeps only the frames between its channels.
    void forgetBefore(std::uint64_t index);

private:
    bool draw();

    LossSettings m_settings;
    SeededRandom m_random;
    double m_startBurst = 0; // chance of going from good to bad
    double m_endBurst = 1;   // chance of going from bad to good
    bool m_bad = false;
    std::vector<bool> m_decided; // from frame m_firstDecided
    std::uint64_t m_firstDecided = 0;
};

} // namespace transmission
