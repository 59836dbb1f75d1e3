// Watches a render's output to tell when it has really ended. An effect's reported tail may
// stop while the output still rings (resonances that coincide across sections fall more
// slowly than each section alone); the host then plays on, silence in, until the output's
// last stretch is quiet or no louder than the floor the settings make from silence (hiss
// is no tail), up to a cap.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace quarl
{
struct RingOutLimits
{
    double quietDbfs = -96.0;   // an end this quiet is an end
    double belowPeakDb = 90.0;  // and so is one this far below the render's peak
    double aboveFloorDb = 6.0;  // or one no louder (RMS) than this above the settings' floor
    double capSeconds = 10.0;   // played on past the effect's own tail at most
    double windowSeconds = 0.02; // the end is judged on this much output (half of what followed
                                 // the input, when less followed)
};

enum class TailEnd
{
    NotWatched, // the effect's own tail, unjudged
    Quiet,      // the last stretch is quiet
    Floor,      // the last stretch is the settings' own floor
    Cap,        // still ringing at the cap
};

class RingOutWatch
{
public:
    RingOutWatch(std::uint32_t channels, std::uint32_t sampleRate, const RingOutLimits& limits);

    // Output while the input lasts: it counts only towards the render's peak.
    void addProgramme(const float* interleaved, std::uint32_t frames);
    // Output after the input's end (padding, the effect's tail, frames played on).
    void addAfterInput(const float* interleaved, std::uint32_t frames);

    // Whether the output has ended. `floorRms` (the RMS the settings make from silence) is
    // asked at most once, and only when the end is not quiet. Between judgements at least
    // an eighth of the window passes; until then the last answer stands.
    bool ended(const std::function<double()>& floorRms);

    // The renderer played on as far as the cap allows and stopped there.
    void reachedCap() { m_end = TailEnd::Cap; }

    TailEnd end() const { return m_end; }
    // Linear levels: the render's peak, and the last judged stretch's peak.
    float renderPeak() const { return m_renderPeak; }
    float endPeak() const { return m_endPeak; }
    // The most frames to play on past the effect's own tail.
    std::uint64_t capFrames() const { return m_capFrames; }

private:
    std::uint32_t m_channels;
    RingOutLimits m_limits;
    std::uint64_t m_capFrames;
    std::uint32_t m_judgeEvery;
    // The last window's frames: each frame's peak and energy over the channels.
    std::vector<float> m_peaks, m_energies;
    std::uint64_t m_afterInput = 0;
    std::uint64_t m_sinceJudged = 0;
    bool m_judged = false;
    bool m_ended = false;
    bool m_floorKnown = false;
    double m_floorRms = 0.0;
    float m_renderPeak = 0.f;
    float m_endPeak = 0.f;
    TailEnd m_end = TailEnd::NotWatched;
};
} // namespace quarl
