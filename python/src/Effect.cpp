#include "python/src/Effect.h"

#include "cli/metering/LevelMeter.h"
#include "cli/metering/LoudnessNotes.h"
#include "cli/render/EffectHost.h"
#include "cli/settings/Presets.h"
#include "cli/settings/SettingsOptions.h"
#include "cli/settings/TransmissionOptions.h"
#include "pipeline/ServedAudio.h"
#include "python/src/PathText.h"
#include "python/src/PropertyValues.h"
#include "python/src/SampleArrays.h"

#include <algorithm>
#include <cmath>
#include <limits>
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

// A whole number from Python (an int, a numpy integer, or with `floats` a float without a
// fraction) in lowest..highest; TypeError or ValueError naming `what` otherwise.
std::uint64_t wholeNumber(const py::handle& value, const char* what, std::uint64_t lowest, std::uint64_t highest,
                          const char* range, bool floats)
{
    py::object whole;
    if (floats && PyFloat_Check(value.ptr()))
    {
        const double v = PyFloat_AsDouble(value.ptr());
        if (std::isfinite(v) && v == std::floor(v) && v >= 0.0 && v <= static_cast<double>(highest))
            whole = py::int_(static_cast<std::uint64_t>(v));
        else
            throw py::value_error(std::string(what) + " is " + range + ", not " + py::repr(value).cast<std::string>());
    }
    else if (!PyBool_Check(value.ptr()))
    {
        whole = py::reinterpret_steal<py::object>(PyNumber_Index(value.ptr()));
        if (!whole)
            PyErr_Clear();
    }
    if (!whole)
        throw py::type_error(std::string(what) + " is " + range + ", not " +
                             py::str(py::type::of(value).attr("__name__")).cast<std::string>() + " " +
                             py::repr(value).cast<std::string>());
    if (whole < py::int_(lowest) || whole > py::int_(highest))
        throw py::value_error(std::string(what) + " is " + range + ", not " + py::repr(whole).cast<std::string>());
    return whole.cast<std::uint64_t>();
}

std::uint64_t seedValue(const py::handle& seed)
{
    return wholeNumber(seed, "seed", 0, std::numeric_limits<std::uint64_t>::max(),
                       "a whole number from 0 to 2**64 - 1", false);
}

std::uint32_t rateValue(const py::handle& rate)
{
    if (rate.is_none())
        throw py::type_error("the sample rate is missing: fx(samples, sample_rate) (in Hz, 8000 to 384000)");
    if (PyLong_CheckExact(rate.ptr()))
    {
        int overflow = 0;
        const long long v = PyLong_AsLongLongAndOverflow(rate.ptr(), &overflow);
        if (overflow == 0 && v > 0 && v <= std::numeric_limits<std::uint32_t>::max())
            return static_cast<std::uint32_t>(v);
    }
    return static_cast<std::uint32_t>(wholeNumber(rate, "sample_rate", 1, std::numeric_limits<std::uint32_t>::max(),
                                                  "a whole number of Hz (8000 to 384000)", true));
}

std::optional<double> loudnessValue(const py::handle& lufs)
{
    if (lufs.is_none())
        return std::nullopt;
    if (PyBool_Check(lufs.ptr()) || !PyNumber_Check(lufs.ptr()))
        throw py::type_error("loudness is a number of LUFS from -70 to 0 (such as -23) or None, not " +
                             py::repr(lufs).cast<std::string>());
    const double v = py::float_(py::reinterpret_borrow<py::object>(lufs)).cast<double>();
    if (!std::isfinite(v) || v < -70.0 || v > 0.0)
        throw py::value_error("loudness is a number of LUFS from -70 to 0 (such as -23) or None, not " +
                              py::repr(lufs).cast<std::string>());
    return v;
}

// The highest frequency a codec carries, Hz; 0 for none.
double codecBandTop(const transmission::CodecSettings& codec)
{
    using transmission::CodecKind;
    using transmission::OpusBandwidth;
    switch (codec.kind)
    {
    case CodecKind::None: return 0.0;
    case CodecKind::AmrWb: return 7000.0;
    case CodecKind::Opus:
        switch (codec.bandwidth)
        {
        case OpusBandwidth::Narrow: return 4000.0;
        case OpusBandwidth::Medium: return 6000.0;
        case OpusBandwidth::Wide:
        case OpusBandwidth::Automatic: return 8000.0;
        case OpusBandwidth::SuperWide: return 12000.0;
        case OpusBandwidth::Full: return 20000.0;
        }
        return 8000.0;
    default: return 3400.0;
    }
}

// One gain over the whole output that takes it to `loudness` (or the input's loudness), measured
// as crumlet render measures it; none for silence.
void normalise(OutputSamples& out, const InputFrames& in, std::uint32_t sampleRate, std::optional<double> loudness,
               bool matchInput)
{
    LevelMeter outputMeter(in.channels, sampleRate, LevelMeter::Measure::Loudness);
    constexpr std::uint64_t kPiece = 1u << 30;
    for (std::uint64_t first = 0; first < out.frames(); first += kPiece)
        outputMeter.add(out.data() + first * in.channels,
                        static_cast<std::uint32_t>(std::min(out.frames() - first, kPiece)));
    std::optional<Levels> inputLevels;
    if (matchInput)
    {
        LevelMeter inputMeter(in.channels, sampleRate, LevelMeter::Measure::Loudness);
        std::vector<float> piece(static_cast<std::size_t>(65536) * in.channels);
        for (std::uint64_t first = 0; first < in.frames; first += 65536)
        {
            const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(65536, in.frames - first));
            in.read(first, n, piece.data());
            inputMeter.add(piece.data(), n);
        }
        inputLevels = inputMeter.levels();
    }
    std::string note;
    const double target = matchInput ? inputLevels->loudnessLufs : *loudness;
    const double gainDb = gainToTarget(target, outputMeter.levels(), inputLevels ? &*inputLevels : nullptr, note);
    if (gainDb == 0.0)
        return;
    const auto gain = static_cast<float>(std::pow(10.0, gainDb / 20.0));
    float* samples = out.data();
    const std::size_t n = static_cast<std::size_t>(out.frames()) * in.channels;
    for (std::size_t i = 0; i < n; ++i)
        samples[i] *= gain;
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
               const py::object& loss, const py::object& radio, const py::object& space, const py::handle& seed,
               const py::dict& properties, bool keepLength, const py::handle& loudness, bool matchInput)
    : m_settings(EffectHost::instance().description()), m_blockFrames(blockFrames), m_seed(seedValue(seed)),
      m_keepLength(keepLength), m_loudness(loudnessValue(loudness))
{
    setMatchInput(matchInput);
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

void Effect::setSeed(const py::handle& seed)
{
    m_seed = seedValue(seed);
}

py::object Effect::loudness() const
{
    return m_loudness ? py::object(py::float_(*m_loudness)) : py::object(py::none());
}

void Effect::setLoudness(const py::handle& lufs)
{
    const std::optional<double> target = loudnessValue(lufs);
    if (target && m_matchInput)
        throw py::value_error("loudness= and match_input=True both set the output's loudness: give one");
    m_loudness = target;
}

void Effect::setMatchInput(bool match)
{
    if (match && m_loudness)
        throw py::value_error("loudness= and match_input=True both set the output's loudness: give one");
    m_matchInput = match;
}

void Effect::warnAboutRate(std::uint32_t sampleRate)
{
    const double nyquist = sampleRate / 2.0;
    std::vector<std::string> notes;
    const double top = codecBandTop(m_transmission.codec);
    if (top > nyquist)
        notes.push_back("the codec " + transmission::codecText(m_transmission.codec) + " carries up to " +
                        std::to_string(static_cast<int>(top)) + " Hz, more than " + std::to_string(sampleRate) +
                        " Hz samples hold (" + std::to_string(static_cast<int>(nyquist)) + " Hz): it is heard narrower");
    if (m_settings.value("EQEnable") != 0.0 && m_settings.value("EQFreq") >= nyquist)
        notes.push_back("EQFreq " + valueText(propertyValue(m_settings, "EQFreq")) + " Hz is at or above half of " +
                        std::to_string(sampleRate) + " Hz (" + std::to_string(static_cast<int>(nyquist)) +
                        " Hz): the EQ band cannot act there");
    for (const std::string& note : notes)
    {
        if (std::find(m_warned.begin(), m_warned.end(), note) != m_warned.end())
            continue;
        m_warned.push_back(note);
        if (PyErr_WarnEx(PyExc_UserWarning, note.c_str(), 2) != 0)
            throw py::error_already_set();
    }
}

py::tuple Effect::state() const
{
    return py::make_tuple(settings(), m_blockFrames, m_keepLength, loudness(), m_matchInput);
}

std::unique_ptr<Effect> Effect::fromState(const py::tuple& state)
{
    if (state.size() != 5)
        throw py::value_error("not the state of a crumlet.Effect");
    py::dict properties = state[0].cast<py::dict>();
    auto take = [&properties](const char* key) {
        py::object value = properties.contains(key) ? py::object(properties[key]) : py::object(py::none());
        if (properties.contains(key))
            PyDict_DelItemString(properties.ptr(), key);
        return value;
    };
    py::object codec = take("codec"), loss = take("loss"), radio = take("radio"), space = take("space");
    py::object seed = take("seed");
    return std::make_unique<Effect>(py::none(), py::none(), state[1].cast<std::uint32_t>(), codec, loss, radio, space,
                                    seed.is_none() ? py::int_(0) : seed, properties, state[2].cast<bool>(), state[3],
                                    state[4].cast<bool>());
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

std::unique_ptr<pipeline::EffectRun> Effect::newRun(const std::vector<std::uint8_t>& block, std::uint64_t seed,
                                                    std::uint32_t sampleRate, std::uint32_t channels,
                                                    bool ringOut) const
{
    const std::string unserved = unservedReason(channels, sampleRate);
    if (!unserved.empty())
        throw std::invalid_argument("cannot render audio of " + unserved);
    pipeline::RunSettings settings{block, m_blockFrames, m_transmission, seed, m_space, ringOut};
    return std::make_unique<pipeline::EffectRun>(EffectHost::instance().effect(), std::move(settings), sampleRate,
                                                 channels);
}

py::bytes Effect::block()
{
    const auto& block = currentBlock();
    return py::bytes(reinterpret_cast<const char*>(block.data()), block.size());
}

py::array Effect::render(const py::handle& samples, const py::handle& rate, const py::handle& layout)
{
    const std::uint32_t sampleRate = rateValue(rate);
    const InputFrames in = inputFrames(samples, layoutOf(layout));
    if (in.frames == 0)
        return OutputSamples(in.channels, 0).release(in.perChannel, in.channelsFirst);
    warnAboutRate(sampleRate);
    const std::vector<std::uint8_t> block = currentBlock();
    // Room for the input and a second of tail.
    OutputSamples out(in.channels, in.frames + (m_keepLength ? 0 : sampleRate));
    const bool keepLength = m_keepLength, matchInput = m_matchInput;
    const std::uint64_t seed = m_seed; // read with Python's lock: another thread may set it
    const std::optional<double> loudness = m_loudness;
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
        // Output frame k is input frame k through the effect: as long as the input, it is
        // the frames past its end that go.
        const pipeline::EffectRun::Sink whole = out.sink();
        const pipeline::EffectRun::Sink sink =
            keepLength ? pipeline::EffectRun::Sink([&](const float* from, std::uint32_t frames) {
                const std::uint64_t room = in.frames - std::min(in.frames, out.frames());
                return whole(from, static_cast<std::uint32_t>(std::min<std::uint64_t>(frames, room)));
            })
                       : whole;
        const pipeline::RunResult result =
            newRun(block, seed, sampleRate, in.channels, !keepLength)->run(source, sink, signalsChecked);
        if (!result.succeeded())
            throw pipeline::RunError(result.failure());
        if (!interrupted && (loudness || matchInput))
            normalise(out, in, sampleRate, loudness, matchInput);
    }
    if (interrupted)
        throw py::error_already_set();
    return out.release(in.perChannel, in.channelsFirst);
}

py::array Effect::process(const py::handle& samples, const py::handle& rate, bool reset, const py::handle& layout)
{
    const std::uint32_t sampleRate = rateValue(rate);
    // The stream's shape, read without waiting: a chunk's axes read as its channel count says.
    std::optional<StreamShape> shape;
    if (!reset && m_streamChannels != 0)
        shape = StreamShape{m_streamChannels, m_streamChannelsFirst};
    const InputFrames in = inputFrames(samples, layoutOf(layout), shape ? &*shape : nullptr);
    if (reset || !m_stream)
        warnAboutRate(sampleRate);
    const std::vector<std::uint8_t> block = currentBlock();
    const std::uint64_t version = m_settingsVersion;
    const std::uint64_t seed = m_seed;
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
            m_stream = newRun(block, seed, sampleRate, in.channels);
            m_streamPerChannel = in.perChannel;
            m_streamChannelsFirst = in.channelsFirst;
            m_streamChannels = in.perChannel ? in.channels : 0;
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
    return out ? out->release(in.perChannel, in.channelsFirst)
               : OutputSamples(in.channels, 0).release(in.perChannel, in.channelsFirst);
}

py::array Effect::tail()
{
    std::optional<OutputSamples> out;
    bool perChannel = false, channelsFirst = false;
    {
        py::gil_scoped_release unlocked;
        std::lock_guard<std::mutex> lock(m_streamLock);
        if (m_stream)
        {
            std::unique_ptr<pipeline::EffectRun> stream = std::move(m_stream);
            m_streamChannels = 0;
            // Room for what it holds and a second of tail.
            out.emplace(stream->channels(), stream->pendingFrames() + stream->sampleRate());
            perChannel = m_streamPerChannel;
            channelsFirst = m_streamChannelsFirst;
            stream->finish(out->sink());
        }
    }
    return out ? out->release(perChannel, channelsFirst) : OutputSamples(1, 0).release(false);
}

std::uint64_t Effect::pendingFrames()
{
    py::gil_scoped_release unlocked;
    std::lock_guard<std::mutex> lock(m_streamLock);
    return m_stream ? m_stream->pendingFrames() : 0;
}

std::optional<std::uint64_t> Effect::latencyFrames()
{
    py::gil_scoped_release unlocked;
    std::lock_guard<std::mutex> lock(m_streamLock);
    return m_stream ? std::optional<std::uint64_t>(m_stream->mostFramesHeldBack()) : std::nullopt;
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
    {
        text += (first ? "" : ", ") + std::string("seed=") + std::to_string(m_seed);
        first = false;
    }
    const std::pair<bool, std::string> shaping[] = {
        {m_blockFrames != pipeline::kDefaultBlockFrames, "block_frames=" + std::to_string(m_blockFrames)},
        {m_keepLength, "keep_length=True"},
        {m_loudness.has_value(), "loudness=" + py::repr(loudness()).cast<std::string>()},
        {m_matchInput, "match_input=True"}};
    for (const auto& [shown, part] : shaping)
        if (shown)
        {
            text += (first ? "" : ", ") + part;
            first = false;
        }
    return text + ")";
}
} // namespace crumlet_python
