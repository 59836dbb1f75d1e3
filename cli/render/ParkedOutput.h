// The effect's output between the two passes of a loudness-normalised render: the first
// samples held in memory (a line of dialogue stays there whole), any beyond a bound in a
// scratch file. Played back with one gain applied as the samples are handed on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class ParkedOutput
{
public:
    // Holds up to `memorySamples` in memory; a scratch file is made only when more come.
    // `output` names the render in messages.
    ParkedOutput(std::string output, std::uint32_t channels, std::size_t memorySamples = kMemorySamples);
    ~ParkedOutput();
    ParkedOutput(const ParkedOutput&) = delete;
    ParkedOutput& operator=(const ParkedOutput&) = delete;

    // Parks whole frames; false once the scratch file could not be made or written, and
    // error() says why.
    bool park(const float* interleaved, std::uint32_t frames);
    const std::string& error() const { return m_error; }

    // Hands every parked sample, in order, times `gain`, in chunks of at most kPlayFrames
    // frames, to `take`, until it returns false. Throws IoError when the scratch file
    // cannot be read back.
    using Taker = std::function<bool(const float* interleaved, std::uint32_t frames)>;
    void playBack(float gain, const Taker& take);

    std::uint64_t frames() const { return m_frames; }
    bool spilled() const { return m_scratch != nullptr; }

    // 16 MiB: over 80 s of mono 48 kHz, 40 s of stereo.
    static constexpr std::size_t kMemorySamples = std::size_t{1} << 22;
    // Small enough to stay in the processor's caches between the gain, the meters and the
    // conversion to the file's format; large enough that a write is a few pages.
    static constexpr std::uint32_t kPlayFrames = 4096;

private:
    struct ScratchFile;
    bool spill(const float* samples, std::size_t count);

    std::string m_output;
    std::uint32_t m_channels;
    std::size_t m_memorySamples;
    std::vector<std::unique_ptr<float[]>> m_blocks; // kBlockSamples each, the last one partly filled
    std::size_t m_held = 0;                         // samples in memory
    std::unique_ptr<ScratchFile> m_scratch;
    std::string m_error;
    std::uint64_t m_frames = 0;

    static constexpr std::size_t kBlockSamples = std::size_t{1} << 16;
};
