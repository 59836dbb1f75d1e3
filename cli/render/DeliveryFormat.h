// The format a render delivers in, where it differs from the input's: a sample rate that the
// input is resampled to and a channel count it is folded to, both before the effect, and
// whether integer samples are written with dither.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class ResamplingReader;

struct DeliveryFormat
{
    std::uint32_t sampleRate = 0; // 0: the input's
    std::uint32_t channels = 0;   // 0: the input's; 1 folds every channel into one
    bool dither = true;           // TPDF dither on 16- and 24-bit outputs (floats never)
};

// The input as the effect takes it: folded to mono, then resampled, where asked.
class DeliveryInput
{
public:
    using Reader = std::function<std::uint32_t(float*, std::uint32_t)>;

    // Throws UsageError for a channel count it cannot make, IoError when the resampler fails.
    DeliveryInput(Reader read, std::uint32_t channels, std::uint32_t sampleRate, const DeliveryFormat& format);
    ~DeliveryInput();
    DeliveryInput(const DeliveryInput&) = delete;
    DeliveryInput& operator=(const DeliveryInput&) = delete;

    std::uint32_t read(float* interleaved, std::uint32_t frames);

    std::uint32_t channels() const { return m_channels; }
    std::uint32_t sampleRate() const { return m_sampleRate; }
    // Frames that `inputFrames` at the input's rate become.
    std::uint64_t frames(std::uint64_t inputFrames) const;

private:
    std::uint32_t readFolded(float* mono, std::uint32_t frames);

    Reader m_source; // the input as it is
    Reader m_read;   // folded where asked
    std::uint32_t m_inputChannels;
    std::uint32_t m_inputRate;
    std::uint32_t m_channels;
    std::uint32_t m_sampleRate;
    std::vector<float> m_wide;
    std::unique_ptr<ResamplingReader> m_resampler;
};
