// crumlet.Effect: the effect with its forty properties, run over numpy arrays as the host
// runs it. Settings are read as the tool reads them; the parameter block the plugin object
// writes from them makes each run of the effect, and reaches a stream in hand as an update
// at its next buffer.
#pragma once

#include "cli/settings/ParameterSettings.h"
#include "space/SpaceSettings.h"
#include "transmission/TransmissionSettings.h"
#include "pipeline/EffectRun.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <memory>
#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace crumlet_python
{
class Effect
{
public:
    // bank: a parameter block (bytes) or a block file to start from; then the preset (a
    // shipped one's name or a preset file), then the properties in the order given. The
    // transmission is the preset's, with codec, loss and radio (texts as --codec, --loss and
    // --radio take them; None: the preset's) over it; the seed is the tool's --seed.
    // keep_length, loudness and match_input shape what a whole-array call returns (see
    // render).
    Effect(const pybind11::object& preset, const pybind11::object& bank, std::uint32_t blockFrames,
           const pybind11::object& codec, const pybind11::object& loss, const pybind11::object& radio,
           const pybind11::object& space, const pybind11::handle& seed, const pybind11::dict& properties,
           bool keepLength = false, const pybind11::handle& loudness = pybind11::none(), bool matchInput = false);

    pybind11::object get(const std::string& name) const;
    void set(const std::string& name, const pybind11::handle& value);
    // The forty properties, then the transmission's codec, loss and radio (as codec=, loss=
    // and radio= take them) and the seed: what makes the same run again.
    pybind11::dict settings() const;
    bool hasProperty(const std::string& name) const;

    // The parameter block the plugin object writes for the settings.
    pybind11::bytes block();
    std::uint32_t blockFrames() const { return m_blockFrames; }
    const transmission::TransmissionSettings& transmission() const { return m_transmission; }
    const space::SpaceSettings& space() const { return m_space; }
    std::uint64_t seed() const { return m_seed; }
    // TypeError or ValueError in Python's words for anything but a whole number 0..2**64-1.
    void setSeed(const pybind11::handle& seed);
    bool keepLength() const { return m_keepLength; }
    void setKeepLength(bool keep) { m_keepLength = keep; }
    pybind11::object loudness() const;
    void setLoudness(const pybind11::handle& lufs);
    bool matchInput() const { return m_matchInput; }
    void setMatchInput(bool match);
    // The state pickle and copy carry: the settings, block_frames and how a call's output is
    // shaped; and the effect made from it.
    pybind11::tuple state() const;
    static std::unique_ptr<Effect> fromState(const pybind11::tuple& state);

    // The whole input through a run of its own, tail included (or as long as the input with
    // keep_length), brought to the loudness asked for; streams are left alone.
    pybind11::array render(const pybind11::handle& samples, const pybind11::handle& sampleRate,
                           const pybind11::handle& layout);
    // The stream in hand, fed; a new one when there is none or when reset.
    pybind11::array process(const pybind11::handle& samples, const pybind11::handle& sampleRate, bool reset,
                            const pybind11::handle& layout);
    // The stream's end: what it still holds, its tail; no stream is in hand after it.
    pybind11::array tail();
    // Frames fed to the stream in hand and not yet returned.
    std::uint64_t pendingFrames();
    // The most pendingFrames can be for the stream in hand; none when there is no stream.
    std::optional<std::uint64_t> latencyFrames();

    std::string repr() const;

private:
    const std::vector<std::uint8_t>& currentBlock();
    // A run of the effect with the current settings over a stream of this shape; throws
    // std::invalid_argument for a shape the effect does not serve.
    // The seed is the caller's, read while it held Python's lock.
    std::unique_ptr<pipeline::EffectRun> newRun(const std::vector<std::uint8_t>& block, std::uint64_t seed,
                                                std::uint32_t sampleRate, std::uint32_t channels,
                                                bool ringOut = true) const;
    // A Python warning, once per instance, for a rate below what the settings need.
    void warnAboutRate(std::uint32_t sampleRate);

    ParameterSettings m_settings;
    std::uint32_t m_blockFrames;
    transmission::TransmissionSettings m_transmission;
    space::SpaceSettings m_space; // where the listener hears it, after the transmission
    std::uint64_t m_seed = 0;
    bool m_keepLength = false;
    std::optional<double> m_loudness; // LUFS
    bool m_matchInput = false;
    std::vector<std::string> m_warned; // the rate warnings given
    std::vector<std::uint8_t> m_block; // for m_settings once m_blockCurrent
    bool m_blockCurrent = false;
    std::uint64_t m_settingsVersion = 0;

    // The stream in hand, touched only under m_streamLock, which is taken with Python's lock
    // released (so that a thread waiting for it never holds that lock).
    std::mutex m_streamLock;
    std::unique_ptr<pipeline::EffectRun> m_stream;
    bool m_streamPerChannel = false;
    bool m_streamChannelsFirst = false;
    // The stream's channel count when its chunks have two axes, else 0: read before the
    // stream's lock is taken, to read a chunk's axes.
    std::atomic<std::uint32_t> m_streamChannels{0};
    std::uint64_t m_streamSettingsVersion = 0;
};
} // namespace crumlet_python
