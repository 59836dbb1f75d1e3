// Integrated loudness and loudness range of EBU R128 with the arithmetic of libebur128 1.2.6 as
// LevelMeter sets it up (every channel weighted 1, blocks kept in lists): the same K-weighting
// filter in double with the same coefficients and operation order, the same 400 ms and 3 s
// block energies summed in the same order, the same gates. Its figures are libebur128's to the
// last bit (KWeightedLoudnessTest compares them on many signals).
//
// Why it is faster: each block energy is one long chain of dependent additions, and
// libebur128 sums a 400 ms block every 100 ms and a 3 s block every second after filtering,
// so every sample waits in four (or seven) chains one after another. Here the chains advance
// inside the filter's loop, a few additions per sample, while the processor would otherwise
// wait on the filter's own recursion.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class KWeightedLoudness
{
public:
    // With `range`, the 3 s blocks of the loudness range are measured too (libebur128's
    // EBUR128_MODE_I | EBUR128_MODE_LRA; without it, EBUR128_MODE_I). The block energies' order
    // of summation follows from the window libebur128 keeps for the mode, so a meter of each
    // mode matches libebur128 set up in that mode.
    KWeightedLoudness(std::uint32_t channels, std::uint32_t sampleRate, bool range);

    void add(const float* interleaved, std::uint32_t frames);

    // Gated integrated loudness, LUFS; -inf when no 400 ms block passes the gates.
    double integratedLufs() const;
    // Loudness range, LU; 0 when no 3 s block passes the absolute gate. Needs `range`.
    double rangeLu() const;

private:
    // A block energy being summed: one chain per channel through the block's 100 ms quarters
    // in the order libebur128 adds them (by their place in its window), a few additions for
    // every frame that comes in.
    struct Chain
    {
        bool active = false;
        std::vector<std::uint32_t> quarterSlots; // where each quarter is stored, in summing order
        std::vector<double> sums;                // per channel
    };
    // How far a chain has come, the same for every channel.
    struct ChainPosition
    {
        std::uint32_t quarter = 0; // quarters added whole
        std::uint32_t offset = 0;  // samples of the next quarter added
    };

    void startChain(Chain& chain, std::uint32_t quarters);
    void finishQuarter();
    void filterRun(std::uint32_t channel, const float* x, std::uint32_t from, std::uint32_t frames);
    template <bool Gating, bool ShortTerm>
    void filterFused(std::uint32_t channel, const float* x, std::uint32_t from, std::uint32_t frames,
                     double* gatingSum, const double* gatingAt, double* shortSum, const double* shortAt);
    double pendingSum(const Chain& chain, const ChainPosition& at, std::uint32_t channel) const;
    const double* chainPointer(const Chain& chain, const ChainPosition& at, std::uint32_t channel) const;
    void advanceChain(const Chain& chain, ChainPosition& at, std::uint32_t channel, std::uint32_t elements,
                      double* sum) const;
    void keepBlock(const Chain& chain, const ChainPosition& at, std::vector<double>& blocks) const;

    std::uint32_t m_channels;
    std::uint32_t m_quarterFrames;  // libebur128's samples in 100 ms
    std::uint32_t m_windowQuarters; // libebur128's window (its ring buffer), in quarters
    std::uint32_t m_storedQuarters; // quarters of squared filter output kept here
    bool m_range;
    std::array<double, 5> m_b{};
    std::array<double, 5> m_a{};
    std::vector<std::array<double, 4>> m_state; // per channel: the last four filter states
    std::unique_ptr<double[]> m_squares;        // per channel, m_storedQuarters quarters of y * y
    std::uint64_t m_quarters = 0;               // quarters complete
    std::uint32_t m_inQuarter = 0;              // frames of the current quarter filtered
    Chain m_gating;
    Chain m_shortTerm;
    ChainPosition m_gatingAt;
    ChainPosition m_shortTermAt;
    std::vector<double> m_blocks;      // 400 ms block energies at or above the absolute gate, in order
    std::vector<double> m_shortBlocks; // the same of the 3 s blocks
};
