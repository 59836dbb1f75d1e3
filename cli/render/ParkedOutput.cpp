#include "cli/render/ParkedOutput.h"

#include "cli/io/OutputFiles.h"
#include "cli/settings/UsageError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

struct ParkedOutput::ScratchFile
{
    std::FILE* file = std::tmpfile();
    ~ScratchFile()
    {
        if (file != nullptr)
            std::fclose(file);
    }
};

ParkedOutput::ParkedOutput(std::string output, std::uint32_t channels, std::size_t memorySamples)
    : m_output(std::move(output)), m_channels(channels), m_memorySamples(memorySamples)
{
}

ParkedOutput::~ParkedOutput() = default;

bool ParkedOutput::park(const float* interleaved, std::uint32_t frames)
{
    if (!m_error.empty())
        return false;
    std::size_t count = static_cast<std::size_t>(frames) * m_channels;
    m_frames += frames;
    while (count > 0 && m_held < m_memorySamples)
    {
        const std::size_t offset = m_held % kBlockSamples;
        if (offset == 0)
            m_blocks.emplace_back(new float[kBlockSamples]); // filled before it is read
        const std::size_t n = std::min({count, kBlockSamples - offset, m_memorySamples - m_held});
        std::memcpy(m_blocks.back().get() + offset, interleaved, n * sizeof(float));
        m_held += n;
        interleaved += n;
        count -= n;
    }
    return count == 0 || spill(interleaved, count);
}

bool ParkedOutput::spill(const float* samples, std::size_t count)
{
    if (!m_scratch)
    {
        m_scratch = std::make_unique<ScratchFile>();
        if (m_scratch->file == nullptr)
        {
            m_error = "cannot render \"" + m_output + "\": no room for a scratch file: " + systemReason(errno);
            return false;
        }
    }
    if (std::fwrite(samples, sizeof(float), count, m_scratch->file) == count)
        return true;
    m_error = "cannot render \"" + m_output + "\": the scratch file: " + systemReason(errno);
    return false;
}

void ParkedOutput::playBack(float gain, const Taker& take)
{
    const std::size_t chunkSamples = static_cast<std::size_t>(kPlayFrames) * m_channels;
    std::vector<float> chunk(chunkSamples);
    const auto fail = [&] {
        throw IoError("cannot render \"" + m_output + "\": the scratch file: " + systemReason(errno));
    };
    if (m_scratch && (std::fflush(m_scratch->file) != 0 || std::fseek(m_scratch->file, 0, SEEK_SET) != 0))
        fail();
    std::size_t fromMemory = 0; // samples of memory played back
    for (std::uint64_t left = m_frames * m_channels; left > 0;)
    {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(chunkSamples, left));
        std::size_t filled = 0;
        while (filled < want && fromMemory < m_held)
        {
            const float* block = m_blocks[fromMemory / kBlockSamples].get() + fromMemory % kBlockSamples;
            const std::size_t n =
                std::min({want - filled, kBlockSamples - fromMemory % kBlockSamples, m_held - fromMemory});
            for (std::size_t i = 0; i < n; ++i)
                chunk[filled + i] = block[i] * gain;
            filled += n;
            fromMemory += n;
        }
        if (filled < want)
        {
            const std::size_t n = std::fread(chunk.data() + filled, sizeof(float), want - filled, m_scratch->file);
            if (n != want - filled)
                fail();
            for (std::size_t i = filled; i < want; ++i)
                chunk[i] *= gain;
            filled = want;
        }
        left -= filled;
        if (!take(chunk.data(), static_cast<std::uint32_t>(filled / m_channels)))
            return;
    }
}
