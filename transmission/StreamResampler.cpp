#include "transmission/StreamResampler.h"

#include "transmission/ResamplerKernels.h"

#include <soxr.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace transmission
{
namespace
{
std::uint32_t wholeRate(double rate)
{
    if (!(rate >= 1.0 && rate <= 4.0e6) || rate != std::floor(rate))
        throw std::invalid_argument("a resampler takes whole-number rates from 1 Hz to 4 MHz");
    return static_cast<std::uint32_t>(rate);
}

// Room libsoxr's blocks write beyond what their input makes.
constexpr std::size_t kSoxrChunk = 4096;
} // namespace

StreamResampler::StreamResampler(double fromRate, double toRate)
{
    const std::uint32_t from = wholeRate(fromRate), to = wholeRate(toRate);
    m_ratio = double(to) / from;
    if (from == to)
    {
        m_passThrough = true;
        return;
    }
    m_kernels = resamplerKernels(from, to);
    if (m_kernels == nullptr)
        m_soxr = makeHighQualityConverter(from, to);
}

StreamResampler::~StreamResampler()
{
    if (m_soxr != nullptr)
        soxr_delete(m_soxr);
}

void StreamResampler::reserve(std::size_t count)
{
    if (m_kernels == nullptr)
        return;
    std::size_t longest = 0;
    for (const auto& phase : m_kernels->phases)
        longest = std::max<std::size_t>(longest, static_cast<std::size_t>(std::max<std::int64_t>(phase.offset, 0)) + phase.length);
    // What is open, the outputs the call's inputs make and the longest response, twice: the
    // open outputs move to the front only once they fill half the room.
    const std::size_t room = mostHeldBack() + static_cast<std::size_t>(std::ceil(count * m_ratio)) + longest;
    m_sums.reserve(2 * room + 2);
}

std::size_t StreamResampler::mostHeldBack() const
{
    if (m_passThrough)
        return 0;
    if (m_kernels == nullptr)
        return 2 * kSoxrChunk;
    return static_cast<std::size_t>(std::ceil(m_kernels->lookAheadInputs * m_ratio)) + 1;
}

void StreamResampler::add(float sample)
{
    const ResamplerKernels& k = *m_kernels;
    const ResamplerKernels::Phase& phase = k.phases[m_phase];
    std::int64_t first = m_period * k.outPeriod + phase.offset;
    const float* taps = k.taps.data() + phase.begin;
    std::size_t length = phase.length;
    if (first < m_sumsStart) // before the first output: the signal starts at input 0
    {
        const auto skip = static_cast<std::size_t>(std::min<std::int64_t>(m_sumsStart - first, length));
        taps += skip;
        length -= skip;
        first = m_sumsStart;
    }
    const std::size_t at = m_head + static_cast<std::size_t>(first - m_sumsStart);
    if (m_sums.size() < at + length)
        m_sums.resize(at + length, 0.f);
    float* sums = m_sums.data() + at;
    for (std::size_t i = 0; i < length; ++i)
        sums[i] += sample * taps[i];
    if (++m_phase == k.phases.size())
    {
        m_phase = 0;
        ++m_period;
    }
}

void StreamResampler::handOut(std::int64_t end, std::vector<float>& out)
{
    if (end <= m_sumsStart)
        return;
    const auto count = static_cast<std::size_t>(end - m_sumsStart);
    const std::size_t open = m_sums.size() - m_head;
    const std::size_t have = std::min(count, open);
    out.insert(out.end(), m_sums.begin() + static_cast<std::ptrdiff_t>(m_head),
               m_sums.begin() + static_cast<std::ptrdiff_t>(m_head + have));
    out.insert(out.end(), count - have, 0.f);
    m_head += have;
    m_sumsStart = end;
    // The open outputs move to the front once the finished ones take half the room.
    if (m_head == m_sums.size())
    {
        m_sums.clear();
        m_head = 0;
    }
    else if (m_head > m_sums.size() / 2)
    {
        m_sums.erase(m_sums.begin(), m_sums.begin() + static_cast<std::ptrdiff_t>(m_head));
        m_head = 0;
    }
}

void StreamResampler::runSoxr(const float* in, std::size_t count, std::vector<float>& out)
{
    // Room for all the input makes at once, so that the input is taken in one step.
    const std::size_t chunk = std::max(kSoxrChunk, static_cast<std::size_t>(count * m_ratio) + kSoxrChunk);
    for (;;)
    {
        const std::size_t start = out.size();
        out.resize(start + chunk);
        std::size_t used = 0, made = 0;
        soxr_process(m_soxr, in, count, &used, out.data() + start, chunk, &made);
        out.resize(start + made);
        if (in != nullptr)
        {
            in += used;
            count -= used;
            if (count == 0 && made < chunk)
                return;
        }
        else if (made == 0)
            return;
    }
}

void StreamResampler::process(const float* in, std::size_t count, std::vector<float>& out)
{
    if (m_passThrough)
        out.insert(out.end(), in, in + count);
    else if (m_soxr != nullptr)
    {
        if (count > 0)
            runSoxr(in, count, out);
    }
    else if (count > 0)
    {
        for (std::size_t i = 0; i < count; ++i)
            add(in[i]);
        m_inputs += count;
        handOut(m_period * m_kernels->outPeriod + m_kernels->firstOpen[m_phase], out);
    }
}

void StreamResampler::finish(std::vector<float>& out)
{
    if (m_soxr != nullptr)
        runSoxr(nullptr, 0, out);
    else if (m_kernels != nullptr)
    {
        // Nearest to inputs * outPeriod / inPeriod, halves up, in whole numbers.
        const auto p = static_cast<std::uint64_t>(m_kernels->inPeriod), q = static_cast<std::uint64_t>(m_kernels->outPeriod);
        const auto total = static_cast<std::int64_t>((2 * m_inputs * q + p) / (2 * p));
        handOut(total, out);
    }
}

} // namespace transmission
