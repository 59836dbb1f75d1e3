// Loudness of a signal too short for EBU R128's integrated measure: a line under one 400 ms
// gating block has no block to gate, so libebur128 reads it as silence. Here it is the
// ungated mean square over the whole signal, K-weighted as BS.1770 weights it, summed over
// the channels: -0.691 + 10 log10(sum of the channels' mean squares). The first block's worth
// of samples is kept; a longer signal is left to the integrated measure and costs nothing
// more than the copy of its first 400 ms.
#pragma once

#include <cstdint>
#include <vector>

class ShortLineLoudness
{
public:
    static constexpr double kGatingBlockSeconds = 0.4;

    // Reserves the block's samples once; add() never allocates.
    ShortLineLoudness(std::uint32_t channels, std::uint32_t sampleRate);

    // Finite samples only (the level meter silences the others first).
    void add(const float* interleaved, std::uint32_t frames);

    // True while everything added fits in one gating block.
    bool shorterThanGatingBlock() const { return !m_overflowed; }

    // True when some sample added was not zero.
    bool heardSomething() const { return m_heard; }

    // The ungated K-weighted loudness of what was added, in LUFS; -inf for silence or for a
    // signal longer than a gating block (which the integrated measure covers).
    double lufs() const;

private:
    std::uint32_t m_channels;
    std::uint32_t m_sampleRate;
    std::size_t m_capacityFrames;
    std::vector<float> m_samples;
    bool m_overflowed = false;
    bool m_heard = false;
};
