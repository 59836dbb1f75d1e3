#include "cli/metering/KWeightedLoudness.h"

#include "cli/metering/KWeightingDesign.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

namespace
{
constexpr std::uint32_t kGatingQuarters = 4;    // a 400 ms block
constexpr std::uint32_t kShortTermQuarters = 30; // a 3 s block
constexpr std::uint32_t kShortTermEvery = 10;    // quarters between 3 s blocks
// The additions per incoming frame that finish a block's chains by the time the next block of
// its kind is due: 400 ms in 100 ms, 3 s in 1 s.
constexpr std::uint32_t kGatingPerFrame = kGatingQuarters;
constexpr std::uint32_t kShortTermPerFrame = kShortTermQuarters / kShortTermEvery;

// The quarters kept: a 3 s block is summed during the 1 s after it ends, reading quarters
// up to 39 back; a 400 ms block during the 100 ms after it, up to 4 back.
constexpr std::uint32_t kStoredForRange = kShortTermQuarters + kShortTermEvery;
constexpr std::uint32_t kStoredForGating = kGatingQuarters + 1;

double absoluteGate()
{
    return std::pow(10.0, (-70.0 + 0.691) / 10.0);
}

double toLufs(double energy)
{
    return 10.0 * (std::log(energy) / std::log(10.0)) - 0.691;
}

// The two stages multiplied out into one fourth-order section, as libebur128 does.
void designKWeighting(std::uint32_t sampleRate, std::array<double, 5>& b, std::array<double, 5>& a)
{
    const KWeightingBiquad shelf = kWeightingHeadShelf(sampleRate), high = kWeightingHighPass(sampleRate);
    const double shelfB[3] = {shelf.b0, shelf.b1, shelf.b2}, shelfA[3] = {1.0, shelf.a1, shelf.a2};
    const double highB[3] = {high.b0, high.b1, high.b2}, highA[3] = {1.0, high.a1, high.a2};
    for (int i = 0; i < 5; ++i)
    {
        // Written out in libebur128's order of terms: lowest index of the shelf first.
        double bSum = 0.0, aSum = 0.0;
        bool first = true;
        for (int j = 0; j < 3; ++j)
            if (i - j >= 0 && i - j < 3)
            {
                bSum = first ? shelfB[j] * highB[i - j] : bSum + shelfB[j] * highB[i - j];
                aSum = first ? shelfA[j] * highA[i - j] : aSum + shelfA[j] * highA[i - j];
                first = false;
            }
        b[i] = bSum;
        a[i] = aSum;
    }
}

// Flush to zero while filtering, as libebur128 does: a result too small for a normal double
// becomes zero. Restores the caller's setting.
class FlushToZero
{
public:
#if defined(__SSE2__)
    FlushToZero() : m_saved(_mm_getcsr()) { _mm_setcsr(m_saved | _MM_FLUSH_ZERO_ON); }
    ~FlushToZero() { _mm_setcsr(m_saved); }

private:
    unsigned int m_saved;
#endif
};
} // namespace

KWeightedLoudness::KWeightedLoudness(std::uint32_t channels, std::uint32_t sampleRate, bool range)
    : m_channels(channels), m_quarterFrames((sampleRate + 5) / 10), m_range(range)
{
    // libebur128 keeps 3 s for the range, 400 ms otherwise, rounded up to whole quarters; a
    // block's quarters are summed in the order of their places in that window.
    std::uint64_t window = static_cast<std::uint64_t>(sampleRate) * (range ? 3000 : 400) / 1000;
    if (window % m_quarterFrames != 0)
        window += m_quarterFrames - window % m_quarterFrames;
    m_windowQuarters = static_cast<std::uint32_t>(window / m_quarterFrames);
    m_storedQuarters = range ? kStoredForRange : kStoredForGating;
    designKWeighting(sampleRate, m_b, m_a);
    m_state.assign(channels, {0.0, 0.0, 0.0, 0.0});
    // Written before it is read: a quarter is stored before any block that holds it is summed.
    m_squares.reset(new double[static_cast<std::size_t>(channels) * m_storedQuarters * m_quarterFrames]);
}

void KWeightedLoudness::startChain(Chain& chain, std::uint32_t quarters)
{
    // The block's quarters, oldest first, put in the order of their places in the window.
    std::vector<std::uint64_t> order(quarters);
    for (std::uint32_t i = 0; i < quarters; ++i)
        order[i] = m_quarters - quarters + i;
    std::sort(order.begin(), order.end(),
              [&](std::uint64_t x, std::uint64_t y) { return x % m_windowQuarters < y % m_windowQuarters; });
    chain.quarterSlots.resize(quarters);
    for (std::uint32_t i = 0; i < quarters; ++i)
        chain.quarterSlots[i] = static_cast<std::uint32_t>(order[i] % m_storedQuarters);
    chain.sums.assign(m_channels, 0.0);
    chain.active = true;
}

const double* KWeightedLoudness::chainPointer(const Chain& chain, const ChainPosition& at, std::uint32_t channel) const
{
    return m_squares.get() +
           (static_cast<std::size_t>(channel) * m_storedQuarters + chain.quarterSlots[at.quarter]) * m_quarterFrames +
           at.offset;
}

// Moves the chain on by `elements` squares; with `sum`, adds them to it on the way, one at a
// time, for `channel`.
void KWeightedLoudness::advanceChain(const Chain& chain, ChainPosition& at, std::uint32_t channel,
                                     std::uint32_t elements, double* sum) const
{
    while (elements > 0 && at.quarter < chain.quarterSlots.size())
    {
        const std::uint32_t n = std::min(elements, m_quarterFrames - at.offset);
        if (sum != nullptr)
        {
            const double* squares = chainPointer(chain, at, channel);
            double s = *sum;
            for (std::uint32_t i = 0; i < n; ++i)
                s += squares[i];
            *sum = s;
        }
        elements -= n;
        at.offset += n;
        if (at.offset == m_quarterFrames)
        {
            at.offset = 0;
            ++at.quarter;
        }
    }
}

template <bool Gating, bool ShortTerm>
void KWeightedLoudness::filterFused(std::uint32_t channel, const float* x, std::uint32_t from, std::uint32_t frames,
                                    double* gatingSum, const double* gatingAt, double* shortSum, const double* shortAt)
{
    const std::uint32_t stride = m_channels;
    const double a1 = m_a[1], a2 = m_a[2], a3 = m_a[3], a4 = m_a[4];
    const double b0 = m_b[0], b1 = m_b[1], b2 = m_b[2], b3 = m_b[3], b4 = m_b[4];
    auto& state = m_state[channel];
    double v1 = state[0], v2 = state[1], v3 = state[2], v4 = state[3];
    double* __restrict out =
        m_squares.get() +
        (static_cast<std::size_t>(channel) * m_storedQuarters + m_quarters % m_storedQuarters) * m_quarterFrames + from;
    double g = Gating ? *gatingSum : 0.0;
    double s = ShortTerm ? *shortSum : 0.0;
    for (std::uint32_t i = 0; i < frames; ++i)
    {
        const double v0 = static_cast<double>(x[static_cast<std::size_t>(i) * stride]) - a1 * v1 - a2 * v2 - a3 * v3 - a4 * v4;
        const double y = b0 * v0 + b1 * v1 + b2 * v2 + b3 * v3 + b4 * v4;
        v4 = v3;
        v3 = v2;
        v2 = v1;
        v1 = v0;
        // Squared under flush-to-zero too, where libebur128 squares without it: a square below
        // the smallest normal double only ever meets a block far under the absolute gate, or
        // vanishes beside the block's other squares, so no kept energy differs.
        out[i] = y * y;
        if (Gating)
        {
            g += gatingAt[0];
            g += gatingAt[1];
            g += gatingAt[2];
            g += gatingAt[3];
            gatingAt += kGatingPerFrame;
        }
        if (ShortTerm)
        {
            s += shortAt[0];
            s += shortAt[1];
            s += shortAt[2];
            shortAt += kShortTermPerFrame;
        }
    }
    state = {v1, v2, v3, v4};
    if (Gating)
        *gatingSum = g;
    if (ShortTerm)
        *shortSum = s;
}

// Filters `frames` frames of `channel` into the current quarter from frame `from`, advancing
// this channel's share of the block chains as it goes. The chains' positions are left as they
// were (every channel starts from them); add() moves them on once all channels are done.
void KWeightedLoudness::filterRun(std::uint32_t channel, const float* x, std::uint32_t from, std::uint32_t frames)
{
    ChainPosition gatingAt = m_gatingAt, shortTermAt = m_shortTermAt; // this channel's pass
    double gatingSum = m_gating.active ? m_gating.sums[channel] : 0.0;
    double shortSum = m_shortTerm.active ? m_shortTerm.sums[channel] : 0.0;
    const float* in = x + channel;
    for (std::uint32_t i = 0; i < frames;)
    {
        const bool g = m_gating.active && gatingAt.quarter < m_gating.quarterSlots.size();
        const bool s = m_shortTerm.active && shortTermAt.quarter < m_shortTerm.quarterSlots.size();
        // Frames whose additions take neither chain across the end of one of its quarters; at
        // such an end, one frame with the chains' additions made one at a time.
        std::uint32_t run = frames - i;
        if (g)
            run = std::min(run, (m_quarterFrames - gatingAt.offset) / kGatingPerFrame);
        if (s)
            run = std::min(run, (m_quarterFrames - shortTermAt.offset) / kShortTermPerFrame);
        const bool straddles = run == 0;
        run = std::max(run, 1u);
        const float* at = in + static_cast<std::size_t>(i) * m_channels;
        if (straddles || (!g && !s))
            filterFused<false, false>(channel, at, from + i, run, nullptr, nullptr, nullptr, nullptr);
        else if (g && s)
            filterFused<true, true>(channel, at, from + i, run, &gatingSum, chainPointer(m_gating, gatingAt, channel),
                                    &shortSum, chainPointer(m_shortTerm, shortTermAt, channel));
        else if (g)
            filterFused<true, false>(channel, at, from + i, run, &gatingSum, chainPointer(m_gating, gatingAt, channel),
                                     nullptr, nullptr);
        else
            filterFused<false, true>(channel, at, from + i, run, nullptr, nullptr, &shortSum,
                                     chainPointer(m_shortTerm, shortTermAt, channel));
        if (g)
            advanceChain(m_gating, gatingAt, channel, run * kGatingPerFrame, straddles ? &gatingSum : nullptr);
        if (s)
            advanceChain(m_shortTerm, shortTermAt, channel, run * kShortTermPerFrame, straddles ? &shortSum : nullptr);
        i += run;
    }
    if (m_gating.active)
        m_gating.sums[channel] = gatingSum;
    if (m_shortTerm.active)
        m_shortTerm.sums[channel] = shortSum;
}

void KWeightedLoudness::add(const float* interleaved, std::uint32_t frames)
{
    const FlushToZero flushToZero;
    while (frames > 0)
    {
        const std::uint32_t n = std::min(frames, m_quarterFrames - m_inQuarter);
        for (std::uint32_t c = 0; c < m_channels; ++c)
            filterRun(c, interleaved, m_inQuarter, n);
        if (m_gating.active)
            advanceChain(m_gating, m_gatingAt, 0, n * kGatingPerFrame, nullptr);
        if (m_shortTerm.active)
            advanceChain(m_shortTerm, m_shortTermAt, 0, n * kShortTermPerFrame, nullptr);
        m_inQuarter += n;
        interleaved += static_cast<std::size_t>(n) * m_channels;
        frames -= n;
        if (m_inQuarter == m_quarterFrames)
            finishQuarter();
    }
}

void KWeightedLoudness::finishQuarter()
{
    // The chains that ran through this quarter are complete.
    if (m_gating.active)
    {
        keepBlock(m_gating, m_gatingAt, m_blocks);
        m_gating.active = false;
    }
    if (m_shortTerm.active && m_shortTermAt.quarter == kShortTermQuarters)
    {
        keepBlock(m_shortTerm, m_shortTermAt, m_shortBlocks);
        m_shortTerm.active = false;
    }
    ++m_quarters;
    m_inQuarter = 0;
    // The blocks that end here: a 400 ms block every quarter from the fourth, a 3 s block at
    // 3 s and every second after.
    if (m_quarters >= kGatingQuarters)
    {
        startChain(m_gating, kGatingQuarters);
        m_gatingAt = {};
    }
    if (m_range && m_quarters >= kShortTermQuarters && (m_quarters - kShortTermQuarters) % kShortTermEvery == 0)
    {
        startChain(m_shortTerm, kShortTermQuarters);
        m_shortTermAt = {};
    }
}

// The channel's sum of a chain, with the additions still to come done now.
double KWeightedLoudness::pendingSum(const Chain& chain, const ChainPosition& at, std::uint32_t channel) const
{
    ChainPosition rest = at;
    double sum = chain.sums[channel];
    const std::size_t elements = (chain.quarterSlots.size() - at.quarter) * std::size_t{m_quarterFrames} - at.offset;
    advanceChain(chain, rest, channel, static_cast<std::uint32_t>(elements), &sum);
    return sum;
}

// The block's energy as libebur128 forms it, the channels' sums added in channel order over the
// block's length, kept when it reaches the absolute gate.
void KWeightedLoudness::keepBlock(const Chain& chain, const ChainPosition& at, std::vector<double>& blocks) const
{
    double sum = 0.0;
    for (std::uint32_t c = 0; c < m_channels; ++c)
        sum += pendingSum(chain, at, c);
    sum /= static_cast<double>(chain.quarterSlots.size() * m_quarterFrames);
    if (sum >= absoluteGate())
        blocks.push_back(sum);
}

double KWeightedLoudness::integratedLufs() const
{
    std::vector<double> blocks = m_blocks;
    if (m_gating.active)
        keepBlock(m_gating, m_gatingAt, blocks);
    if (blocks.empty())
        return -HUGE_VAL;
    double threshold = 0.0;
    for (const double z : blocks)
        threshold += z;
    threshold /= static_cast<double>(blocks.size());
    const double relativeGate = -10.0;
    threshold *= std::pow(10.0, relativeGate / 10.0);
    double gated = 0.0;
    std::size_t above = 0;
    for (const double z : blocks)
        if (z >= threshold)
        {
            ++above;
            gated += z;
        }
    if (above == 0)
        return -HUGE_VAL;
    gated /= static_cast<double>(above);
    return toLufs(gated);
}

double KWeightedLoudness::rangeLu() const
{
    std::vector<double> blocks = m_shortBlocks;
    if (m_shortTerm.active)
        keepBlock(m_shortTerm, m_shortTermAt, blocks);
    if (blocks.empty())
        return 0.0;
    std::sort(blocks.begin(), blocks.end());
    double power = 0.0;
    for (const double z : blocks)
        power += z;
    power /= static_cast<double>(blocks.size());
    const double integrated = std::pow(10.0, -20.0 / 10.0) * power;
    const auto gated = std::find_if(blocks.begin(), blocks.end(), [&](double z) { return !(z < integrated); });
    const auto left = static_cast<std::size_t>(blocks.end() - gated);
    if (left == 0)
        return 0.0;
    const double high = gated[static_cast<std::size_t>(static_cast<double>(left - 1) * 0.95 + 0.5)];
    const double low = gated[static_cast<std::size_t>(static_cast<double>(left - 1) * 0.1 + 0.5)];
    return toLufs(high) - toLufs(low);
}
