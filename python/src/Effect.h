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
    Effect(const pybind11::object& preset, const pybind11::object& bank, std::uint32_t blockFrames,
           const pybind11::object& codec, const pybind11::object& loss, const pybind11::object& radio,
           const pybind11::object& space,
           std::uint64_t seed, const pybind11::dict& properties);

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

    // The whole input through a run of its own, tail included; streams are left alone.
    pybind11::array render(const pybind11::handle& samples, std::uint32_t sampleRate);
    // The stream in hand, fed; a new one when there is none or when reset.
    pybind11::array process(const pybind11::handle& samples, std::uint32_t sampleRate, bool reset);
    // The stream's end: what it still holds, its tail; no stream is in hand after it.
    pybind11::array tail();
    // Frames fed to the stream in hand and not yet returned (under one buffer's worth).
    std::uint64_t pendingFrames();

    std::string repr() const;

private:
    const std::vector<std::uint8_t>& currentBlock();
    // A run of the effect with the current settings over a stream of this shape; throws
    // std::invalid_argument for a shape the effect does not serve.
    std::unique_ptr<pipeline::EffectRun> newRun(const std::vector<std::uint8_t>& block, std::uint32_t sampleRate,
                                                std::uint32_t channels) const;

    ParameterSettings m_settings;
    std::uint32_t m_blockFrames;
    transmission::TransmissionSettings m_transmission;
    space::SpaceSettings m_space; // where the listener hears it, after the transmission
    std::uint64_t m_seed;
    std::vector<std::uint8_t> m_block; // for m_settings once m_blockCurrent
    bool m_blockCurrent = false;
    std::uint64_t m_settingsVersion = 0;

    // The stream in hand, touched only under m_streamLock, which is taken with Python's lock
    // released (so that a thread waiting for it never holds that lock).
    std::mutex m_streamLock;
    std::unique_ptr<pipeline::EffectRun> m_stream;
    bool m_streamPerChannel = false;
    std::uint64_t m_streamSettingsVersion = 0;
};
} // namespace crumlet_python
