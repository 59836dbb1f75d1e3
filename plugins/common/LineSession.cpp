#include "plugins/common/LineSession.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <initializer_list>

namespace plugins
{
namespace
{
// How often the worker looks for changes, and the crossfade from an old line to a new one.
constexpr auto kWorkerPeriod = std::chrono::milliseconds(5);
constexpr double kFadeSeconds = 0.02;

} // namespace

LineSession::LineSession(unsigned channels) : m_channels(channels)
{
    const LineValues defaults = defaultLineValues();
    for (std::size_t i = 0; i < kLineParameterCount; ++i)
        m_values[i].store(defaults[i]);
}

LineSession::~LineSession()
{
    release();
}

void LineSession::setValue(std::size_t index, float value)
{
    if (index >= kLineParameterCount)
        return;
    value = clampedLineValue(index, value);
    if (m_values[index].exchange(value, std::memory_order_relaxed) != value)
        m_valuesGeneration.fetch_add(1);
}

LineValues LineSession::values() const
{
    LineValues v{};
    for (std::size_t i = 0; i < kLineParameterCount; ++i)
        v[i] = m_values[i].load(std::memory_order_relaxed);
    return v;
}

void LineSession::setLatencyListener(std::function<void(std::size_t)> listener)
{
    m_latencyListener = std::move(listener);
}

std::unique_ptr<LineEngine> LineSession::make(const LineSetup& setup)
{
    auto build = [&](const LineSetup& line) {
        if (!m_measured || !LineEngine::sameCodec(m_measuredCodec, line.settings.codec))
        {
            m_measuredLatency = LineEngine::measureLatency(line.settings.codec, m_sampleRate);
            m_measuredCodec = line.settings.codec;
            m_measured = true;
        }
        return std::make_unique<LineEngine>(line, m_sampleRate, m_channels, m_maxFrames, m_measuredLatency);
    };
    // A codec or a space that cannot be made: the line without it rather than none, and
    // without both when neither alone will do.
    LineSetup withoutCodec = setup;
    withoutCodec.settings.codec = {};
    withoutCodec.settings.loss = {};
    LineSetup withoutSpace = setup;
    withoutSpace.space = {};
    LineSetup withoutEither = withoutCodec;
    withoutEither.space = {};
    for (const LineSetup* line : std::initializer_list<const LineSetup*>{&setup, &withoutCodec, &withoutSpace})
    {
        try
        {
            return build(*line);
        }
        catch (const std::exception&)
        {
        }
    }
    return build(withoutEither);
}

void LineSession::prepare(double sampleRate, std::size_t maxFramesPerCall)
{
    release();
    m_sampleRate = sampleRate;
    m_maxFrames = std::max<std::size_t>(maxFramesPerCall, 1);
    m_measured = false;
    const std::uint64_t generation = m_valuesGeneration.load();
    const LineSetup setup = lineSetupOf(values());
    m_current = new Arrival{make(setup), false};
    m_standby.store(new Arrival{make(setup), false});
    m_linesMade.fetch_add(1);
    m_resetWanted = false;
    m_builtGeneration.store(generation);
    m_latency.store(m_current->engine->latency());
    m_spaceTail.store(m_current->engine->spaceTailFrames());
    m_fadeFrames = static_cast<std::size_t>(kFadeSeconds * sampleRate);
    m_fadeBuffers.assign(m_channels, std::vector<float>(m_maxFrames));
    m_fadePointers.resize(m_channels);
    m_sinceArrival = 0;
    {
        std::lock_guard<std::mutex> lock(m_wakeLock);
        m_stop = false;
    }
    m_worker = std::thread([this] { runWorker(); });
}

void LineSession::release()
{
    stopWorker();
    deleteAllLines();
}

void LineSession::stopWorker()
{
    if (!m_worker.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(m_wakeLock);
        m_stop = true;
    }
    m_wake.notify_all();
    m_worker.join();
}

void LineSession::deleteAllLines()
{
    for (Arrival* a : {m_incoming.exchange(nullptr), m_retired.exchange(nullptr), m_standby.exchange(nullptr), m_current,
                       m_fadingOut})
        delete a;
    m_current = m_fadingOut = nullptr;
}

void LineSession::collectRetired()
{
    delete m_retired.exchange(nullptr);
}

void LineSession::publish(Arrival* arrival)
{
    // A line the audio thread has not taken yet is replaced by the newer one.
    delete m_incoming.exchange(arrival);
}

void LineSession::runWorker()
{
    std::uint64_t builtResets = m_resetsAsked.load();
    LineSetup built = lineSetupOf(values());
    std::size_t latency = m_latency.load();
    for (;;)
    {
        {
            std::unique_lock<std::mutex> lock(m_wakeLock);
            if (m_wake.wait_for(lock, kWorkerPeriod, [this] { return m_stop; }))
                break;
        }
        collectRetired();
        if (m_standby.load() == nullptr)
        {
            try
            {
                delete m_standby.exchange(new Arrival{make(built), false});
            }
            catch (const std::exception&)
            {
            }
        }
        const std::uint64_t generation = m_valuesGeneration.load();
        const std::uint64_t resets = m_resetsAsked.load();
        if (generation == m_builtGeneration.load() && resets == builtResets)
            continue;
        // A change the line playing can follow (loss, the radio's levels) is taken on the audio
        // thread; the rest makes a new line.
        const LineSetup wanted = lineSetupOf(values());
        const bool reset = resets != builtResets;
        builtResets = resets;
        if (!reset && LineEngine::follows(built, wanted))
        {
            m_builtGeneration.store(generation);
            continue;
        }
        const bool fades = !reset;
        std::size_t now = latency;
        try
        {
            auto* arrival = new Arrival{make(wanted), fades};
            // Read before the hand-over: the audio thread may take the line at once.
            now = arrival->engine->latency();
            m_spaceTail.store(arrival->engine->spaceTailFrames());
            publish(arrival);
            m_linesMade.fetch_add(1);
            built = wanted;
            // The line standing by has the settings before: the next round makes another.
            delete m_standby.exchange(nullptr);
        }
        catch (const std::exception&)
        {
            // No memory for a new line: the one playing plays on.
        }
        m_builtGeneration.store(generation);
        if (now != latency)
        {
            latency = now;
            m_latency.store(now);
            if (m_latencyListener)
                m_latencyListener(now);
        }
    }
}

bool LineSession::waitUntilCurrent(int milliseconds) const
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end)
    {
        if (m_builtGeneration.load() == m_valuesGeneration.load() && m_retired.load() == nullptr)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

void LineSession::takeIncoming()
{
    // One hand-over at a time: not while a crossfade runs, nor before the worker has taken
    // the line replaced last time.
    if (m_fadingOut != nullptr || m_retired.load() != nullptr)
        return;
    Arrival* arrival = m_incoming.exchange(nullptr);
    if (arrival == nullptr)
        return;
    if (arrival->fadesIn && m_current != nullptr)
    {
        m_fadingOut = m_current;
        m_sinceArrival = 0;
        m_fadeStart = arrival->engine->latency();
    }
    else
        m_retired.store(m_current);
    m_current = arrival;
}

void LineSession::resetIfWanted()
{
    if (!m_resetWanted)
        return;
    m_resetWanted = false;
    // The line standing by takes over at once; without one (or while a crossfade runs, or
    // before the worker has taken the line replaced last), the worker makes a fresh line.
    Arrival* fresh = m_fadingOut == nullptr && m_retired.load() == nullptr ? m_standby.exchange(nullptr) : nullptr;
    if (fresh == nullptr)
    {
        m_resetsAsked.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    m_retired.store(m_current);
    m_current = fresh;
}

void LineSession::process(float* const* channels, std::size_t frames)
{
    resetIfWanted();
    takeIncoming();
    if (m_current == nullptr)
    {
        for (unsigned c = 0; c < m_channels; ++c)
            std::fill(channels[c], channels[c] + frames, 0.f);
        return;
    }
    // The values the line follows as it runs.
    const LineSetup wanted = lineSetupOf(values());
    if (LineEngine::follows(m_current->engine->setup(), wanted))
        m_current->engine->follow(wanted);
    LineEngine& current = *m_current->engine;
    current.setWaiting(m_offline);
    if (m_fadingOut != nullptr)
        m_fadingOut->engine->setWaiting(m_offline);
    const std::uint64_t shortBefore = current.shortfalls(), lateBefore = current.lateBlocks();
    if (m_fadingOut != nullptr)
        processWithFade(channels, frames);
    else
        current.process(channels, frames);
    m_shortfalls.fetch_add(current.shortfalls() - shortBefore, std::memory_order_relaxed);
    m_lateBlocks.fetch_add(current.lateBlocks() - lateBefore, std::memory_order_relaxed);
}

void LineSession::processWithFade(float* const* channels, std::size_t frames)
{
    for (std::size_t offset = 0; offset < frames && m_fadingOut != nullptr;)
    {
        const std::size_t n = std::min(m_maxFrames, frames - offset);
        for (unsigned c = 0; c < m_channels; ++c)
        {
            std::copy(channels[c] + offset, channels[c] + offset + n, m_fadeBuffers[c].begin());
            m_fadePointers[c] = m_fadeBuffers[c].data();
        }
        m_fadingOut->engine->process(m_fadePointers.data(), n);
        for (unsigned c = 0; c < m_channels; ++c)
            m_fadePointers[c] = channels[c] + offset;
        m_current->engine->process(m_fadePointers.data(), n);
        // The new line's output begins after its latency; it comes in over the fade.
        for (std::size_t i = 0; i < n; ++i)
        {
            const std::size_t at = m_sinceArrival + i;
            const float in = at < m_fadeStart ? 0.f
                                              : std::min(1.f, static_cast<float>(at - m_fadeStart + 1) /
                                                                  static_cast<float>(m_fadeFrames + 1));
            for (unsigned c = 0; c < m_channels; ++c)
                channels[c][offset + i] = in * channels[c][offset + i] + (1.f - in) * m_fadeBuffers[c][i];
        }
        m_sinceArrival += n;
        offset += n;
        if (m_sinceArrival >= m_fadeStart + m_fadeFrames)
        {
            m_retired.store(m_fadingOut);
            m_fadingOut = nullptr;
            if (offset < frames)
            {
                float* rest[8];
                const unsigned count = std::min(m_channels, 8u);
                for (unsigned c = 0; c < count; ++c)
                    rest[c] = channels[c] + offset;
                m_current->engine->process(rest, frames - offset);
            }
        }
    }
}

} // namespace plugins
