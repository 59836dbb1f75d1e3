#include "python/src/Effect.h"

#include "cli/render/EffectHost.h"
#include "cli/settings/Presets.h"
#include "cli/settings/SettingsOptions.h"
#include "cli/settings/TransmissionOptions.h"
#include "pipeline/ServedAudio.h"
#include "python/src/PathText.h"
#include "python/src/PropertyValues.h"
#include "python/src/SampleArrays.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <stdexcept>

namespace py = pybind11;

namespace crumlet_python
{
namespace
{
// A few milliseconds of work at the default buffer size.
constexpr std::uint64_t kBuffersBetweenSignalChecks = 64;

// Python's signal handlers, run from a thread without Python's lock: false when one raised
// (Ctrl-C's KeyboardInterrupt), which is then the thread's Python error.
bool signalsLetItGoOn()
{
    py::gil_scoped_acquire locked;
    return PyErr_CheckSignals() == 0;
}

// The text the tool's option would be given; None: the option left out.
std::optional<std::string> optionText(const py::object& value, const char* keyword)
{
    if (value.is_none())
        return std::nullopt;
    return withoutNul(valueText(value), keyword);
}

// Feeds the whole input to `stream` in pieces, running Python's signal handlers between them;
// false when one raised, the stream then fed only in part.
bool feedWatchingSignals(pipeline::EffectRun& stream, const InputFrames& in, OutputSamples& out)
{
    const std::uint64_t piece = kBuffersBetweenSignalChecks * stream.blockFrames();
    std::vector<float> converted; // a piece of float64 input as float32
    for (std::uint64_t first = 0; first < in.frames; first += piece)
    {
        if (first > 0 && !signalsLetItGoOn())
            return false;
        const auto n = static_cast<std::uint32_t>(std::min(piece, in.frames - first));
        if (in.floats != nullptr)
        {
            stream.feed(in.floats + first * in.channels, n, out.sink());
            continue;
        }
        converted.resize(static_cast<std::size_t>(n) * in.channels);
        in.read(first, n, converted.data());
        stream.feed(converted.data(), n, out.sink());
    }
    return true;
}
} // namespace

Effect::Effect(const py::object& preset, const py::object& bank, std::uint32_t blockFrames, const py::object& codec,
               const py::object& loss, const py::object& radio, const py::object& space, std::uint64_t seed,
               const py::dict& properties)
    : m_settings(EffectHost::instance().description()), m_blockFrames(blockFrames), m_seed(seed)
{
    TransmissionOptions options;
    options.codec = optionText(codec, "codec").value_or("");
    options.loss = optionText(loss, "loss").value_or("");
    options.radio = optionText(radio, "radio");
    options.space = optionText(space, "space").value_or("");
    if (blockFrames < 1 || blockFrames > pipeline::kMaxBlockFrames)
        throw py::value_error("block_frames takes 1 to " + std::to_string(pipeline::kMaxBlockFrames) + " frames");
    readingAsTheTool([&] {
        if (py::isinstance<py::bytes>(bank) || py::isinstance<py::bytearray>(bank))
        {
            const std::string bytes = py::bytes(bank);
            m_settings.loadBlock(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        }
        else if (!bank.is_none())
        {
            m_settings.loadBlock(readBankFile(pathText(bank, "bank"), blockSizeOf(m_settings.description())));
        }
        PresetSettings read;
        if (!preset.is_none())
        {
            read = readPresetSettings(m_settings, pathText(preset, "preset"));
            for (const ParameterSettings::Value& v : read.values)
                m_settings.apply(v);
        }
        const TransmissionChoice choice = readTransmissionOptions(options);
        m_transmission = transmissionFrom(read.transmission, choice);
        m_space = spaceFrom(read.space, choice);
    });
    for (const auto& [name, value] : properties)
        setProperty(m_settings, py::str(name).cast<std::string>(), value);
}

py::object Effect::get(const std::string& name) const
{
    return propertyValue(m_settings, name);
}

void Effect::set(const std::string& name, const py::handle& value)
{
    setProperty(m_settings, name, value);
    m_blockCurrent = false;
    ++m_settingsVersion;
}

py::dict Effect::settings() const
{
    py::dict values = propertyValues(m_settings);
    values["codec"] = transmission::codecText(m_transmission.codec);
    values["loss"] = transmission::lossText(m_transmission.loss);
    values["radio"] = transmission::radioText(m_transmission.radio);
    values["space"] = space::spaceText(m_space);
    values["seed"] = m_seed;
    return values;
}

bool Effect::hasProperty(const std::string& name) const
{
    return findProperty(m_settings.description(), name) >= 0;
}

const std::vector<std::uint8_t>& Effect::currentBlock()
{
    if (!m_blockCurrent)
    {
        m_block = EffectHost::instance().bankBlock(m_settings);
        m_blockCurrent = true;
    }
    return m_block;
}

std::unique_ptr<pipeline::EffectRun> Effect::newRun(const std::vector<std::uint8_t>& block, std::uint32_t sampleRate,
                                                    std::uint32_t channels) const
{
    const std::string unserved = unservedReason(channels, sampleRate);
    if (!unserved.empty())
        throw std::invalid_argument("cannot render audio of " + unserved);
    return std::make_unique<pipeline::EffectRun>(EffectHost::instance().effect(),
                                                 pipeline::RunSettings{block, m_blockFrames, m_transmission, m_seed, m_space},
                                                 sampleRate, channels);
}

py::bytes Effect::block()
{
    const auto& block = currentBlock();
    return py::bytes(reinterpret_cast<const char*>(block.data()), block.size());
}

py::array Effect::render(const py::handle& samples, std::uint32_t sampleRate)
{
    const InputFrames in = inputFrames(samples);
    if (in.frames == 0)
        return OutputSamples(in.channels, 0).release(in.perChannel);
    const std::vector<std::uint8_t> block = currentBlock();
    // Room for the input and a second of tail.
    OutputSamples out(in.channels, in.frames + sampleRate);
    // Ctrl-C stops a long render: Python's signal handlers run every so many buffers.
    bool interrupted = false;
    auto signalsChecked = [&interrupted](std::uint64_t buffer) {
        if (buffer == 0 || buffer % kBuffersBetweenSignalChecks != 0)
            return true;
        interrupted = !signalsLetItGoOn();
        return !interrupted;
    };
    {
        py::gil_scoped_release unlocked;
        std::uint64_t position = 0;
        auto source = [&](float* into, std::uint32_t wanted) {
            const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(wanted, in.frames - position));
            in.read(position, n, into);
            position += n;
            return n;
        };
        const pipeline::RunResult result =
            newRun(block, sampleRate, in.channels)->run(source, out.sink(), signalsChecked);
        if (!result.succeeded())
            throw pipeline::RunError(result.failure());
    }
    if (interrupted)
        throw py::error_already_set();
    return out.release(in.perChannel);
}

py::array Effect::process(const py::handle& samples, std::uint32_t sampleRate, bool reset)
{
    const InputFrames in = inputFrames(samples);
    const std::vector<std::uint8_t> block = currentBlock();
    const std::uint64_t version = m_settingsVersion;
    std::optional<OutputSamples> out;
    bool interrupted = false;
    {
        py::gil_scoped_release unlocked;
        std::lock_guard<std::mutex> lock(m_streamLock);
        if (reset)
            m_stream.reset();
        if (in.frames == 0 && !m_stream)
        {
            // Nothing to start a stream with.
        }
        else if (!m_stream)
        {
            m_stream = newRun(block, sampleRate, in.channels);
            m_streamPerChannel = in.perChannel;
            m_streamSettingsVersion = version;
        }
        else if (m_stream->sampleRate() != sampleRate || m_stream->channels() != in.channels)
        {
            throw std::invalid_argument(
                "the stream in hand runs at " + std::to_string(m_stream->sampleRate()) + " Hz with " +
                std::to_string(m_stream->channels()) + " channel" + (m_stream->channels() == 1 ? "" : "s") +
                "; end it with tail() or start a new one with reset=True");
        }
        if (m_stream)
        {
            if (m_streamSettingsVersion != version)
            {
                m_stream->update(block);
                m_streamSettingsVersion = version;
            }
            // Room for the input and what the stream holds back.
            out.emplace(in.channels, in.frames + m_stream->pendingFrames() + m_blockFrames);
            // A stream that took part of the input and not the rest would go on with a gap
            // where the output thrown away was: one that stops midway is dropped.
            try
            {
                interrupted = !feedWatchingSignals(*m_stream, in, *out);
            }
            catch (...)
            {
                m_stream.reset();
                throw;
            }
            if (interrupted)
                m_stream.reset();
        }
    }
    if (interrupted)
        throw py::error_already_set();
    return out ? out->release(in.perChannel) : OutputSamples(in.channels, 0).release(in.perChannel);
}

py::array Effect::tail()
{
    std::optional<OutputSamples> out;
    bool perChannel = false;
    {
        py::gil_scoped_release unlocked;
        std::lock_guard<std::mutex> lock(m_streamLock);
        if (m_stream)
        {
            std::unique_ptr<pipeline::EffectRun> stream = std::move(m_stream);
            // Room for what it holds and a second of tail.
            out.emplace(stream->channels(), stream->pendingFrames() + stream->sampleRate());
            perChannel = m_streamPerChannel;
            stream->finish(out->sink());
        }
    }
    return out ? out->release(perChannel) : OutputSamples(1, 0).release(false);
}

std::uint64_t Effect::pendingFrames()
{
    py::gil_scoped_release unlocked;
    std::lock_guard<std::mutex> lock(m_streamLock);
    return m_stream ? m_stream->pendingFrames() : 0;
}

std::string Effect::repr() const
{
    std::string text = "crumlet.Effect(";
    bool first = true;
    const auto& properties = m_settings.description().properties;
    for (std::size_t i = 0; i < properties.size(); ++i)
    {
        const auto& p = properties[i];
        if (m_settings.value(p.name) == static_cast<double>(static_cast<float>(p.defaultValue)) ||
            m_settings.value(p.name) == p.defaultValue)
            continue;
        text += (first ? "" : ", ") + p.name + "=" + py::repr(propertyValue(m_settings, p.name)).cast<std::string>();
        first = false;
    }
    // The transmission's parts and the seed where they are not the effect alone's.
    const transmission::TransmissionSettings alone;
    const std::pair<const char*, std::string> parts[] = {
        {"codec", transmission::codecText(m_transmission.codec)},
        {"loss", transmission::lossText(m_transmission.loss)},
        {"radio", transmission::radioText(m_transmission.radio)}};
    const std::string aloneTexts[] = {transmission::codecText(alone.codec), transmission::lossText(alone.loss),
                                      transmission::radioText(alone.radio)};
    for (std::size_t i = 0; i < 3; ++i)
        if (parts[i].second != aloneTexts[i])
        {
            text += (first ? "" : ", ") + std::string(parts[i].first) + "=" + py::repr(py::str(parts[i].second)).cast<std::string>();
            first = false;
        }
    if (m_space.active())
    {
        text += (first ? "" : ", ") + std::string("space=") + py::repr(py::str(space::spaceText(m_space))).cast<std::string>();
        first = false;
    }
    if (m_seed != 0)
        text += (first ? "" : ", ") + std::string("seed=") + std::to_string(m_seed);
    return text + ")";
}
} // namespace crumlet_python
