// The transmission between the effect and the file: what the effect renders goes through the
// file's own Transmission (codec, loss, radio) before it is measured and written. Frames come
// out aligned with the effect's, a codec frame or so later; finish() hands on the rest.
#pragma once

#include "cli/render/TransmissionReport.h"
#include "transmission/Transmission.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TransmittedOutput
{
public:
    using Sink = std::function<bool(const float* interleaved, std::uint32_t frames)>;

    // Passes the frames straight to `sink` when the settings are inactive.
    TransmittedOutput(const transmission::TransmissionSettings& settings, std::uint32_t sampleRate,
                      std::uint32_t channels, std::uint64_t seed, Sink sink);

    // As the sink: false when it refused the frames.
    bool operator()(const float* interleaved, std::uint32_t frames);
    // The frames still in the transmission (and a radio's squelch tail).
    bool finish();
    // What it did so far.
    TransmissionReport report() const;

private:
    bool hand(const std::vector<float>& samples);

    transmission::TransmissionSettings m_settings;
    std::unique_ptr<transmission::Transmission> m_line;
    std::uint32_t m_channels;
    Sink m_sink;
    std::vector<float> m_out;
};
