// The transmission after the effect: each channel through its own codec over one lossy
// network, then the radio's keying, static and squelch. One instance per file (its state is
// the file's: codecs, loss, static), fed interleaved float frames in pieces of any size.
//
// The output lines up with the input: output frame k is input frame k transmitted (the
// resamplers' and codec's delays removed). Frames come out a little after they go in (a codec
// frame and the resamplers' filters later); finish() brings out the rest, so that exactly as
// many frames come out as went in, plus the squelch tail when a transmission is still on at
// the end.
#pragma once

#include "transmission/TransmissionSettings.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace transmission
{

class CodecChannel;
class PacketLoss;
class RadioLink;
struct KeyEvent;

class Transmission
{
public:
    // Throws SettingsError for a codec this build lacks; the seed decides the packets lost
    // and the static.
    Transmission(const TransmissionSettings& settings, double sampleRate, unsigned channels, std::uint64_t seed);
    ~Transmission();
    Transmission(const Transmission&) = delete;
    Transmission& operator=(const Transmission&) = delete;

    // Takes `frames` interleaved frames and appends the frames that are ready to `out`.
    void process(const float* interleaved, std::size_t frames, std::vector<float>& out);
    // Appends the rest; nothing may be processed after.
    void finish(std::vector<float>& out);

    // For a caller whose thread must not take memory (a plugin's audio thread): makes room for
    // calls of up to `framesPerCall` frames, and keeps no key events. `out` is the caller's to
    // size: at most `framesPerCall` frames plus what was held back before come out of a call.
    void prepareForRealTime(std::size_t framesPerCall);
    // The loss and the radio's levels and times while the line runs, taking no memory. What
    // was made with the line stays: the codec, whether there is a radio, its static's colour
    // and its keying.
    void setLossAndRadio(const LossSettings& loss, const RadioSettings& radio);

    // The most frames a line with this codec at this rate holds back after a call, whatever
    // the calls' sizes: a codec frame, the codec's look-ahead and the resamplers' filters.
    // Measured once per codec and rate in a process, by running a line on silence a frame at
    // a time; 0 without a codec (the radio and the loss hold nothing back).
    static std::size_t mostFramesHeldBack(const CodecSettings& codec, double sampleRate);

    unsigned channels() const { return m_channels; }
    // Codec frames sent and lost so far (per channel: every channel loses the same frames).
    std::uint64_t framesSent() const;
    std::uint64_t framesLost() const;
    // The radio's key down and key up, when it has one.
    const std::vector<KeyEvent>* keyEvents() const;

private:
    void emitReady(std::vector<float>& out, bool finishing);
    static std::size_t measureHeldBack(const CodecSettings& codec, double sampleRate);

    TransmissionSettings m_settings;
    unsigned m_channels;
    double m_sampleRate;
    std::unique_ptr<PacketLoss> m_loss;
    std::vector<std::unique_ptr<CodecChannel>> m_codecs;
    std::unique_ptr<RadioLink> m_radio;
    std::vector<std::vector<float>> m_pending; // per channel, transmitted, not yet handed out
    std::vector<float> m_levels;               // each input frame's peak, not yet handed out
    std::vector<float> m_ready;                // interleaved, for the radio
    std::uint64_t m_framesIn = 0;
    std::uint64_t m_framesOut = 0;
    bool m_finished = false;
};

} // namespace transmission
