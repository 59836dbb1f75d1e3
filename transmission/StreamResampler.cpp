#include "transmission/StreamResampler.h"

#include <soxr.h>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace transmission
{

StreamResampler::StreamResampler(double fromRate, double toRate, Resampling resampling)
{
    if (fromRate == toRate)
        return;
    m_ratio = toRate / fromRate;
    soxr_error_t error = nullptr;
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
    if (resampling == Resampling::SmallBlocks)
    {
        // The smallest transforms libsoxr takes: about half of what it holds back at 8 kHz.
        runtime.log2_min_dft_size = 6;
        runtime.log2_large_dft_size = 8;
    }
    m_soxr = soxr_create(fromRate, toRate, 1, &error, &io, &quality,
                         resampling == Resampling::SmallBlocks ? &runtime : nullptr);
    if (error != nullptr || m_soxr == nullptr)
        throw std::runtime_error(std::string("the resampler: ") + (error != nullptr ? error : "no memory"));
}

StreamResampler::~StreamResampler()
{
    if (m_soxr != nullptr)
        soxr_delete(m_soxr);
}

void StreamResampler::run(const float* in, std::size_t count, std::vector<float>& out)
{
    // Room for all the input makes at once, so that the input is taken in one step.
    const std::size_t chunk = std::max(kChunk, static_cast<std::size_t>(count * m_ratio) + kChunk);
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
    if (m_soxr == nullptr)
        out.insert(out.end(), in, in + count);
    else if (count > 0)
        run(in, count, out);
}

void StreamResampler::finish(std::vector<float>& out)
{
    if (m_soxr != nullptr)
        run(nullptr, 0, out);
}

} // namespace transmission
