// Crumlet Line as a plugin wrapper runs it: the parameter values in, the audio processed in
// place, the latency out. A worker thread makes a new LineEngine when a value changes or the
// transport jumps (a new codec, radio or space among them), and hands it to the audio thread
// through atomics: the audio thread never takes memory, locks or waits (but for a space's
// workers when the host renders offline: setOffline). A settings change crossfades from the
// old line to the new one once the new one's output has begun; a reset switches at once to a
// fresh line kept standing by. Loss, the radio's levels and times and the space's mix change
// in the line playing, on the audio thread.
#pragma once

#include "plugins/common/LineEngine.h"
#include "plugins/common/LineParameters.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>

namespace plugins
{

class LineSession
{
public:
    explicit LineSession(unsigned channels);
    ~LineSession();
    LineSession(const LineSession&) = delete;
    LineSession& operator=(const LineSession&) = delete;

    // Not on the audio thread: makes the line for this rate, block size and the values set,
    // at once, and starts the worker. Again after a change of rate or block size.
    void prepare(double sampleRate, std::size_t maxFramesPerCall);
    // Stops the worker and lets the line go.
    void release();

    // Any thread, lock-free: a parameter's value in its own units. A change reaches the audio
    // after the worker has made the new line (a few milliseconds).
    void setValue(std::size_t index, float value);
    float value(std::size_t index) const { return m_values[index].load(std::memory_order_relaxed); }
    LineValues values() const;

    // Audio thread: a fresh line with the same settings from the next buffer on (the transport
    // jumped): the one kept standing by, or one the worker makes when there is none.
    void requestReset() { m_resetWanted = true; }
    // Audio thread: whether the host renders faster than real time (an export, a file tool)
    // rather than playing live (the default). Rendering, a space's blocks wait for the
    // partitions its workers compute, so that none is left out; live they never wait.
    void setOffline(bool offline) { m_offline = offline; }
    // Audio thread: in place; silence before prepare().
    void process(float* const* channels, std::size_t frames);

    // The latency of the newest line made, which the host should compensate.
    std::size_t latency() const { return m_latency.load(); }
    // Called on the worker thread when a line with another latency has been made.
    void setLatencyListener(std::function<void(std::size_t)> listener);

    // True once the line in use is made from the values set now; waits up to `milliseconds`.
    // For tests and for hosts that render offline.
    bool waitUntilCurrent(int milliseconds) const;
    // Frames that came out as silence because a line was late (none when all is right).
    std::uint64_t shortfalls() const { return m_shortfalls.load(); }
    // Lines made so far (at prepare, and for each change the line playing cannot follow).
    std::uint64_t linesMade() const { return m_linesMade.load(); }
    // Blocks in which a space went on without a partition its workers had not finished (live
    // only; none when they keep up).
    std::uint64_t lateBlocks() const { return m_lateBlocks.load(); }
    // The frames the newest line's space rings on after its input ends (a DAW's tail).
    std::size_t spaceTailFrames() const { return m_spaceTail.load(); }

private:
    // A line on its way to the audio thread.
    struct Arrival
    {
        std::unique_ptr<LineEngine> engine;
        bool fadesIn; // a settings change: crossfade; a reset: switch at once
    };

    std::unique_ptr<LineEngine> make(const LineSetup& setup);
    void runWorker();
    void stopWorker();
    void collectRetired();
    void takeIncoming();
    void resetIfWanted();
    void publish(Arrival* arrival);
    void processWithFade(float* const* channels, std::size_t frames);
    void deleteAllLines();

    unsigned m_channels;
    double m_sampleRate = 0;
    std::size_t m_maxFrames = 0;
    std::array<std::atomic<float>, kLineParameterCount> m_values;
    std::atomic<std::uint64_t> m_resetsAsked{0};

    // Hand-over: the worker stores a new line in m_incoming; the audio thread takes it only
    // when m_retired is empty, and puts the line it replaces there for the worker to delete.
    std::atomic<Arrival*> m_incoming{nullptr};
    std::atomic<Arrival*> m_standby{nullptr}; // a fresh line of the settings made last, for a reset
    bool m_resetWanted = false;               // audio thread's
    bool m_offline = false;                   // audio thread's
    std::atomic<Arrival*> m_retired{nullptr};
    Arrival* m_current = nullptr;   // audio thread's
    Arrival* m_fadingOut = nullptr; // audio thread's: the old line during a crossfade
    std::size_t m_sinceArrival = 0, m_fadeStart = 0, m_fadeFrames = 0;
    std::vector<std::vector<float>> m_fadeBuffers;
    std::vector<float*> m_fadePointers;

    // The latency measured for the last codec settings, reused while they stay.
    transmission::CodecSettings m_measuredCodec;
    std::size_t m_measuredLatency = 0;
    bool m_measured = false;

    std::atomic<std::size_t> m_latency{0};
    std::atomic<std::uint64_t> m_valuesGeneration{0}, m_builtGeneration{0};
    std::atomic<std::uint64_t> m_shortfalls{0};
    std::atomic<std::uint64_t> m_linesMade{0};
    std::atomic<std::uint64_t> m_lateBlocks{0};
    std::atomic<std::size_t> m_spaceTail{0};
    std::function<void(std::size_t)> m_latencyListener;

    std::thread m_worker;
    std::mutex m_wakeLock;
    std::condition_variable m_wake;
    bool m_stop = false;
};

} // namespace plugins
