#include "cli/validate/EffectSession.h"

#include "cli/validate/OutputBound.h"
#include "quarl/AudioBufferStorage.h"
#include "quarl/HostAllocator.h"
#include "quarl/ProcessingContext.h"
#include "quarl/SoundEngine.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <sstream>

using namespace ZQ::Quarl;

namespace
{
constexpr std::uint32_t kLargestBuffer = 4096;
constexpr std::uint32_t kMetersPerChannel = 7;

// The largest of a value over the current and the previous span: ringing and gain ramps
// outlast the buffer whose settings caused them. A device model's sharpest low resonance
// takes about a second to die away by 60 dB.
class RecentMaximum
{
public:
    explicit RecentMaximum(std::uint64_t span) : m_span(std::max<std::uint64_t>(span, 1)) {}
    double add(double value, std::uint64_t frames)
    {
        m_current = std::max(m_current, value);
        m_filled += frames;
        const double result = std::max(m_current, m_previous);
        if (m_filled >= m_span)
        {
            m_previous = m_current;
            m_current = 0.0;
            m_filled = 0;
        }
        return result;
    }

private:
    std::uint64_t m_span;
    std::uint64_t m_filled = 0;
    double m_current = 0.0;
    double m_previous = 0.0;
};

std::uint64_t hashBytes(std::uint64_t h, const void* data, std::size_t bytes)
{
    const auto* p = static_cast<const std::uint8_t*>(data);
    for (std::size_t i = 0; i < bytes; ++i)
        h = (h ^ p[i]) * 1099511628211ull;
    return h;
}

std::string describe(const SessionSpec& spec, std::uint64_t frame)
{
    std::ostringstream out;
    out << spec.sampleRate << " Hz, " << spec.channels << " ch, seed " << spec.seed << ", at frame " << frame;
    return out.str();
}

class Session
{
public:
    Session(const PluginRegistration& effect, const quarl::PluginDescription& description, const SessionSpec& spec)
        : m_record(effect), m_spec(spec), m_automation(description, spec.seed, spec.route, spec.values),
          m_signals(spec.seed ^ 0x9e3779b97f4a7c15ull, spec.sampleRate), m_schedule(spec.seed + 7),
          m_storage(spec.channels, kLargestBuffer), m_instance(effect, m_allocator, &m_context),
          m_recentInput(2 * spec.sampleRate), m_recentBound(2 * spec.sampleRate)
    {
        if (spec.only)
            m_signals.force(*spec.only);
    }

    SessionResult run();

private:
    std::uint32_t nextBufferSize();
    bool fail(const std::string& what);
    bool makeResonancesCoincide();
    bool playBuffer(std::uint32_t frames, Result state);
    bool inspectOutput(bool inputFinite, double bound);
    bool inspectMeterRecord(std::uint64_t postsBefore, bool inputFinite);
    bool playTail();
    // Keeps each frame's peak over the channels from the input's end on (from frame
    // `firstAfterInput` of the buffer that ends the input); false on NaN or Inf.
    bool keepFramePeaks(std::uint32_t firstAfterInput);
    // 60 dB below the session's peak, or -100 dBFS.
    float quietLevel() const;
    bool measureRinging(std::uint32_t size);

    const PluginRegistration& m_record;
    SessionSpec m_spec;
    Automation m_automation;
    TestSignals m_signals;
    std::mt19937_64 m_schedule;
    std::size_t m_nextSize = 0;
    quarl::HostAllocator m_allocator;
    quarl::ProcessingContext m_context{false};
    quarl::AudioBufferStorage m_storage;
    quarl::EffectInstance m_instance;
    RecentMaximum m_recentInput, m_recentBound;
    std::uint64_t m_nextChange = 0;
    float m_sessionPeak = 0.f;
    bool m_previousHadBurst = false;
    std::vector<float> m_afterInput; // each frame's peak since the input ended
    std::uint64_t m_loudUpTo = 0;    // of them, up to the last above the quiet level
    SessionResult m_result;
};

std::uint32_t Session::nextBufferSize()
{
    if (m_spec.bufferSizes.empty())
    {
        // Mostly ordinary sizes, now and then a single frame or the largest.
        switch (std::uniform_int_distribution<int>(0, 9)(m_schedule))
        {
        case 0: return 1;
        case 1: return kLargestBuffer;
        default: return std::uniform_int_distribution<std::uint32_t>(1, 1024)(m_schedule);
        }
    }
    const std::uint32_t size = m_spec.bufferSizes[m_nextSize++ % m_spec.bufferSizes.size()];
    return std::min(size, kLargestBuffer);
}

bool Session::makeResonancesCoincide()
{
    // Within the range every one of the three takes, kept below a third of the rate; the EQ
    // and the device model stay on or off as the random settings left them.
    const double top = std::min(12000.0, m_spec.sampleRate / 3.0);
    const double f = 120.0 * std::pow(top / 120.0, std::uniform_real_distribution<double>(0.0, 1.0)(m_schedule));
    const std::pair<const char*, double> values[] = {
        {"FiltersEnable", 1.0},   {"FiltersHPFFreq", f}, {"FiltersLPFFreq", f},   {"FiltersHPFQ", 100.0},
        {"FiltersLPFQ", 100.0},   {"FiltersHPFSlope", 1.0}, {"FiltersLPFSlope", 1.0}, {"EQFreq", f},
        {"EQQ", 100.0}};
    for (const auto& [name, value] : values)
        if (!m_automation.set(*m_instance.params(), name, value))
            return false;
    return true;
}

bool Session::fail(const std::string& what)
{
    if (m_result.failure.empty())
        m_result.failure = what + " (" + describe(m_spec, m_result.frames) + ")";
    return false;
}

SessionResult Session::run()
{
    const Result created = m_instance.create(nullptr, 0, AudioFormat{m_spec.sampleRate, m_spec.channels});
    if (created != Success)
    {
        fail("the effect could not be made: host code " + std::to_string(created));
        return m_result;
    }
    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    while (m_result.frames < m_spec.minFrames || (m_spec.seconds > 0.0 && elapsed() < m_spec.seconds))
    {
        std::uint32_t frames = nextBufferSize();
        if (m_spec.seconds <= 0.0)
            frames = static_cast<std::uint32_t>(std::min<std::uint64_t>(frames, m_spec.minFrames - m_result.frames));
        if (!playBuffer(frames, Success))
            return m_result;
    }
    playTail();
    return m_result;
}

bool Session::playBuffer(std::uint32_t frames, Result state)
{
    AudioBuffer& buffer = m_storage.buffer();
    buffer.maxFrames = frames;
    buffer.validFrames = frames;
    buffer.state = state;
    m_signals.fill(buffer);
    const bool inputFinite = !m_signals.lastHadNonFinite();
    const double heldInput = m_recentInput.add(m_signals.lastPeak(), frames);

    // Gains ramp from the settings before this buffer's changes to those after them.
    double bound = OutputBound::of(m_automation, heldInput);
    if (m_result.buffers == 0 && !m_automation.randomiseAll(*m_instance.params()))
        return fail("the parameter object refused a value: " + m_automation.lastChange());
    if (m_result.buffers == 0 && m_spec.coincidingResonances && !makeResonancesCoincide())
        return fail("the parameter object refused a value: " + m_automation.lastChange());
    // Every change due within this buffer reaches the parameter object before it.
    if (m_spec.automationInterval > 0)
    {
        for (; m_nextChange < m_result.frames + frames; m_nextChange += m_spec.automationInterval)
            if (!m_automation.step(*m_instance.params()))
                return fail("the parameter object answered wrongly to " + m_automation.lastChange());
    }
    bound = std::max(bound, OutputBound::of(m_automation, heldInput));
    if (m_spec.automationInterval > 0)
        bound *= OutputBound::kRetuneAllowance;
    bound = m_recentBound.add(bound, frames);
    const std::uint64_t posts = m_context.postCount();

    m_instance.effect()->Execute(buffer);
    ++m_result.buffers;
    if (buffer.state != Success)
        return fail("a buffer ended with host code " + std::to_string(buffer.state));
    if (buffer.validFrames != frames)
        return fail("a buffer came back with " + std::to_string(buffer.validFrames) + " frames, not " +
                    std::to_string(frames));
    if (!inspectOutput(inputFinite, bound) || !inspectMeterRecord(posts, inputFinite))
        return false;
    m_result.bursts += inputFinite ? 0 : 1;
    m_previousHadBurst = !inputFinite;
    m_result.frames += frames;
    return true;
}

bool Session::inspectOutput(bool inputFinite, double bound)
{
    const AudioBuffer& buffer = m_storage.buffer();
    for (std::uint32_t c = 0; c < buffer.channelCount; ++c)
    {
        const float* y = buffer.channel(c);
        m_result.outputHash = hashBytes(m_result.outputHash, y, sizeof(float) * buffer.validFrames);
        if (!inputFinite)
            continue;
        float peak = 0.f;
        for (std::uint32_t i = 0; i < buffer.validFrames; ++i)
        {
            if (!std::isfinite(y[i]))
                return fail(m_previousHadBurst ? "a NaN or Inf burst outlived the buffer it arrived in"
                                               : "NaN or Inf out of finite input");
            if (std::fpclassify(y[i]) == FP_SUBNORMAL)
                return fail("a subnormal sample left the effect");
            peak = std::max(peak, std::fabs(y[i]));
        }
        m_sessionPeak = std::max(m_sessionPeak, peak);
        if (bound > 0.0)
            m_result.worstBoundRatio = std::max(m_result.worstBoundRatio, peak / bound);
        if (peak > bound && peak > 1e-6f)
        {
            std::ostringstream out;
            out << "output peak " << peak << " above the " << bound << " the gains allow (last change "
                << m_automation.lastChange() << ")";
            return fail(out.str());
        }
    }
    return true;
}

bool Session::inspectMeterRecord(std::uint64_t postsBefore, bool inputFinite)
{
    if (m_context.postCount() != postsBefore + 1)
        return fail("the effect posted " + std::to_string(m_context.postCount() - postsBefore) +
                    " meter records for one buffer");
    const std::vector<std::uint8_t>& record = m_context.latest();
    const AudioBuffer& buffer = m_storage.buffer();
    if (record.size() != 4 + 28 * static_cast<std::size_t>(buffer.channelCount))
        return fail("a meter record of " + std::to_string(record.size()) + " bytes for " +
                    std::to_string(buffer.channelCount) + " channels");
    std::uint32_t count = 0;
    std::memcpy(&count, record.data(), 4);
    if (count != buffer.channelCount)
        return fail("a meter record counting " + std::to_string(count) + " channels");
    for (std::uint32_t c = 0; c < count; ++c)
    {
        float m[kMetersPerChannel];
        std::memcpy(m, record.data() + 4 + 28 * c, sizeof m);
        for (float v : m)
            if (!std::isfinite(v) || v < 0.f)
                return fail("a meter value that is negative or not finite");
        if (m[4] > 1.f || m[6] > 1.f)
            return fail("a ducking or gate gain above 1 in the meter record");
        if (inputFinite)
        {
            float peak = 0.f;
            for (std::uint32_t i = 0; i < buffer.validFrames; ++i)
                peak = std::max(peak, std::fabs(buffer.channel(c)[i]));
            if (m[1] != peak)
                return fail("the output meter differs from the output's peak");
        }
    }
    return true;
}

bool Session::playTail()
{
    // The tail is that of the Filters, EQ and SIM stages. The noise generator plays on for
    // ever, the distortion lifts quiet signals by up to 48 dB on purpose, and the lo-fi
    // stage holds and rounds: switch them off to hear the tail the effect reports.
    for (const char* stage : {"NoiseEnable", "DistortionEnable", "LoFiEnable"})
        m_automation.set(*m_instance.params(), stage, 0.0);
    // The input ends half-way through a buffer; the effect pads the rest and plays its tail.
    const std::uint32_t size = m_spec.bufferSizes.empty() ? 512 : m_spec.bufferSizes.front();
    AudioBuffer& buffer = m_storage.buffer();
    buffer.maxFrames = size;
    buffer.validFrames = size / 2;
    m_signals.force(SignalKind::Noise);
    m_signals.fill(buffer);
    buffer.state = NoMoreData;
    const std::uint64_t limit = 60ull * m_spec.sampleRate;
    std::uint64_t played = 0;
    float endPeak = 0.f; // over the last eighth of the last buffer, past the tail's end
    m_afterInput.clear();
    m_loudUpTo = 0;
    for (;;)
    {
        m_instance.effect()->Execute(buffer);
        if (buffer.state != NoMoreData && buffer.state != DataReady)
            return fail("the tail ended with host code " + std::to_string(buffer.state));
        if (!keepFramePeaks(size / 2))
            return fail("NaN or Inf in the tail");
        endPeak = 0.f;
        const std::uint32_t endFrom = buffer.validFrames - std::max(buffer.validFrames / 8, 1u);
        for (std::uint32_t c = 0; c < buffer.channelCount; ++c)
            for (std::uint32_t i = endFrom; i < buffer.validFrames; ++i)
                endPeak = std::max(endPeak, std::fabs(buffer.channel(c)[i]));
        played += buffer.validFrames;
        m_result.tailFrames = played - size / 2;
        if (buffer.state != DataReady)
            break;
        if (m_result.tailFrames > limit)
            return fail("the tail went on for more than a minute");
        buffer.validFrames = 0;
        buffer.state = NoMoreData;
    }
    // 40 dB below the loudest the session played, or below -100 dBFS. The effect's tail is
    // the sum of each stage's time to fall by 60 dB; resonances that coincide across
    // sections (a high- and a low-pass at one frequency) fall more slowly than that sum
    // assumes and end 10 to 15 dB higher.
    if (m_spec.tailInSilence && endPeak > std::max(m_sessionPeak * 1e-2f, 1e-5f))
    {
        std::ostringstream out;
        out << "the tail ended at " << 20.0 * std::log10(endPeak) << " dBFS, not in silence (the session peaked at "
            << 20.0 * std::log10(m_sessionPeak) << " dBFS, the tail lasted " << m_result.tailFrames << " frames)";
        return fail(out.str());
    }
    // Once the tail is over an empty buffer stays empty.
    buffer.validFrames = 0;
    buffer.state = NoMoreData;
    m_instance.effect()->Execute(buffer);
    if (buffer.validFrames != 0)
        return fail("an empty buffer after the tail came back with frames");
    return !m_spec.tailInSilence || measureRinging(size);
}

bool Session::keepFramePeaks(std::uint32_t firstAfterInput)
{
    const AudioBuffer& buffer = m_storage.buffer();
    const std::uint32_t from = m_afterInput.empty() ? std::min(firstAfterInput, buffer.validFrames) : 0;
    for (std::uint32_t i = 0; i < buffer.validFrames; ++i)
    {
        float peak = 0.f;
        for (std::uint32_t c = 0; c < buffer.channelCount; ++c)
        {
            const float y = buffer.channel(c)[i];
            if (!std::isfinite(y))
                return false;
            peak = std::max(peak, std::fabs(y));
        }
        m_sessionPeak = std::max(m_sessionPeak, peak);
        if (i < from)
            continue;
        m_afterInput.push_back(peak);
        if (peak > quietLevel())
            m_loudUpTo = m_afterInput.size();
    }
    return true;
}

float Session::quietLevel() const
{
    return std::max(m_sessionPeak * 1e-3f, 1e-5f);
}

bool Session::measureRinging(std::uint32_t size)
{
    // The tail the effect reports, to the frame: a fresh instance with the same settings,
    // told the input has ended, played one frame at a time.
    {
        quarl::HostAllocator allocator;
        quarl::ProcessingContext context(false);
        quarl::EffectInstance probe(m_record, allocator, &context);
        const std::vector<std::uint8_t> block = m_automation.block();
        if (probe.create(block.data(), static_cast<std::uint32_t>(block.size()), AudioFormat{m_spec.sampleRate, 1}) !=
            Success)
            return fail("a second instance with the session's settings could not be made");
        quarl::AudioBufferStorage one(1, 1);
        AudioBuffer& b = one.buffer();
        m_result.effectTail = 0;
        do
        {
            b.validFrames = 0;
            b.state = NoMoreData;
            probe.effect()->Execute(b);
            m_result.effectTail += b.validFrames;
        } while (b.state == DataReady && m_result.effectTail <= 60ull * m_spec.sampleRate);
    }
    // Silence in after the tail, until the output has stayed 60 dB below the session's peak
    // (or below -100 dBFS) for as long as the tail itself, a minute at most. (A frame counts
    // as loud against the peak as it stood then; the peak only grows.)
    const std::uint64_t quietFor = std::max<std::uint64_t>(m_result.effectTail, m_spec.sampleRate / 20);
    const std::uint64_t limit = 60ull * m_spec.sampleRate;
    AudioBuffer& buffer = m_storage.buffer();
    while (m_afterInput.size() - m_loudUpTo < quietFor && m_afterInput.size() < limit)
    {
        buffer.maxFrames = size;
        buffer.validFrames = size;
        buffer.state = Success;
        for (std::uint32_t c = 0; c < buffer.channelCount; ++c)
            std::fill(buffer.channel(c), buffer.channel(c) + size, 0.f);
        m_instance.effect()->Execute(buffer);
        if (!keepFramePeaks(0))
            return fail("NaN or Inf from silence after the tail");
    }
    // Against the peak as it finally stands.
    std::uint64_t loud = m_loudUpTo;
    while (loud > 0 && m_afterInput[loud - 1] <= quietLevel())
        --loud;
    m_result.ringFrames = loud;
    return true;
}
} // namespace

SessionResult runSession(const PluginRegistration& effect, const quarl::PluginDescription& description,
                         const SessionSpec& spec)
{
    return Session(effect, description, spec).run();
}
