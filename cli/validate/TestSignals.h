// The inputs the validator plays through the effect: silence, full-scale squares, DC,
// noise, subnormals, and noise with bursts of NaN and infinity, switching kind every
// fraction of a second.
#pragma once

#include "ZQ/QuarlSoundEngine.h"

#include <cstdint>
#include <random>

enum class SignalKind
{
    Silence,
    Square,
    Dc,
    Noise,
    Subnormal,
    NonFiniteBurst,
};

const char* toString(SignalKind kind);

class TestSignals
{
public:
    TestSignals(std::uint64_t seed, std::uint32_t sampleRate);

    // Fills the buffer's valid frames, channel after channel.
    void fill(ZQ::Quarl::AudioBuffer& buffer);

    // Whether the buffer last filled held a NaN or an infinity.
    bool lastHadNonFinite() const { return m_lastNonFinite; }
    // The largest finite magnitude in the buffer last filled.
    float lastPeak() const { return m_lastPeak; }

    // Plays only this kind from now on.
    void force(SignalKind kind);

private:
    void startSegment();
    float next(std::uint32_t channel);

    std::mt19937_64 m_random;
    std::uint32_t m_sampleRate;
    bool m_forced = false;
    SignalKind m_kind = SignalKind::Silence;
    std::uint64_t m_segmentLeft = 0;
    float m_level = 1.f;
    std::uint32_t m_period = 100;
    std::uint64_t m_phase = 0;
    bool m_lastNonFinite = false;
    float m_lastPeak = 0.f;
};
