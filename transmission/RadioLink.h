// A two-way radio's link, after the codec: the transmitter keys when the input's level reaches
// the threshold (or for the whole line) and unkeys once it has stayed below it for the hold
// time. Keying clicks and raises the carrier, whose static lies under the voice; unkeying
// clicks again and lets the receiver's squelch close after a burst of noise ("kssht"), white
// and 10 dB above the static. Between transmissions the squelched receiver is silent. Static
// and squelch come through the receiver's audio band (250 Hz to 3 kHz, the top falling at
// 24 dB per octave), as the voice does, and the receiver's audio stage saturates what the
// radio adds softly below full scale, so that no setting takes a quiet voice past it.
#pragma once

#include "transmission/SeededRandom.h"
#include "transmission/TransmissionSettings.h"

#include <cstdint>
#include <vector>

namespace transmission
{

struct KeyEvent
{
    std::uint64_t frame; // from the start of the line
    bool keyed;          // true: key down; false: key up
};

class RadioLink
{
public:
    RadioLink(const RadioSettings& settings, double sampleRate, unsigned channels, std::uint64_t seed);

    // Processes interleaved frames in place; `levels` holds each frame's input peak (all
    // channels), the level that keys the transmitter.
    void process(float* interleaved, const float* levels, std::size_t frames);
    // At the end of the line: a transmission still on unkeys here, and its squelch tail is
    // appended to `out`.
    void finish(std::vector<float>& out);

    const std::vector<KeyEvent>& events() const { return m_events; }
    // New levels and times while the link runs (the static's colour and the keying stay as
    // made); the next frame has them.
    void setLevelsAndTimes(const RadioSettings& settings);
    // Off: the key events are not kept (a line that runs for hours, on a thread that must not
    // allocate).
    void setKeepsEvents(bool keeps) { m_keepsEvents = keeps; }

private:
    // A biquad section in transposed direct form II.
    struct Section
    {
        double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
        double s1 = 0, s2 = 0;
        double run(double x)
        {
            const double y = b0 * x + s1;
            s1 = b1 * x - a1 * y + s2;
            s2 = b2 * x - a2 * y;
            return y;
        }
    };

    struct StaticSource
    {
        SeededRandom random;
        float pink[7] = {};
        float brown = 0;
        // The receiver's audio band (high-pass, then two low-pass sections), one for the static
        // and one for the squelch burst: the burst starts from rest, not from the state the
        // static's colour left in the filters, which would ring out as a spike.
        Section staticBand[3];
        Section burstBand[3];
    };

    StaticSource makeSource(std::uint64_t seed) const;
    float colouredSample(StaticSource& source) const;
    static float banded(Section (&band)[3], float x);
    float clickSample(std::uint64_t sinceEdge) const;
    void key(bool down);

    RadioSettings m_settings;
    double m_rate;
    unsigned m_channels;
    std::vector<StaticSource> m_sources;
    Section m_bandDesign[3];
    double m_colourRms = 1;     // the static's colour's RMS in the receiver's band, at unit gain
    double m_whiteRms = 1;      // white noise's, for the squelch burst
    float m_threshold = 0;
    float m_staticGain = 0;     // the static's RMS over its colour's
    float m_tailGain = 0;       // the squelch burst's
    float m_clickPeak = 0;
    std::uint64_t m_holdFrames = 0;
    std::uint64_t m_carrierFrames = 0;
    std::uint64_t m_tailFrames = 0;
    std::uint64_t m_clickFrames = 0;

    std::uint64_t m_frame = 0;      // frames processed
    bool m_keyed = false;
    std::uint64_t m_quietFrames = 0; // below the threshold while keyed
    std::uint64_t m_sinceKey = 0;    // frames since the last key down
    std::uint64_t m_sinceUnkey = ~0ull; // since the last key up; all ones: never
    std::vector<KeyEvent> m_events;
    bool m_keepsEvents = true;
};

} // namespace transmission
