#include "cli/io/LivePlayback.h"

#include "cli/io/AudioFiles.h"
#include "cli/io/DamagedInput.h"
#include "cli/signals/DemoSignal.h"
#include "pipeline/ServedAudio.h"
#include "cli/settings/UsageError.h"
#include "cli/render/EffectHost.h"
#include "pipeline/EffectRun.h"
#include "quarl/MonitorDelivery.h"

#include <juce_audio_devices/juce_audio_devices.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

LoopedInput LoopedInput::load(const std::string& path)
{
    LoopedInput in;
    if (path.empty())
    {
        in.interleaved = DemoSignal::generate();
        in.channels = DemoSignal::kChannels;
        in.sampleRate = DemoSignal::kSampleRate;
        return in;
    }
    SndfileHandle file = openInput(path);
    const std::string damage = damageOf(file.rawHandle());
    if (!damage.empty())
        throw IoError("cannot read \"" + path + "\": " + damage);
    in.channels = static_cast<std::uint32_t>(file.channels());
    in.sampleRate = static_cast<std::uint32_t>(file.samplerate());
    const std::string unserved = unservedReason(in.channels, in.sampleRate);
    if (!unserved.empty())
        throw UsageError("cannot play \"" + path + "\": it has " + unserved);
    std::vector<float> chunk(4096 * static_cast<std::size_t>(in.channels));
    for (;;)
    {
        const sf_count_t n = file.readf(chunk.data(), 4096);
        if (n <= 0)
            break;
        in.interleaved.insert(in.interleaved.end(), chunk.begin(),
                              chunk.begin() + static_cast<std::ptrdiff_t>(n) * in.channels);
    }
    if (in.interleaved.empty())
        throw IoError("\"" + path + "\" holds no audio");
    return in;
}

struct LivePlayback::Engine
{
    Engine(ZQ::Quarl::IAudioPlugin& p, const LoopedInput& in, const std::vector<std::uint8_t>& block)
        : plugin(p), input(in), run(EffectHost::instance().effect(), liveSettings(block), in.sampleRate, in.channels),
          scratch(static_cast<std::size_t>(kBlockFrames) * in.channels), out(scratch.size())
    {
    }

    // Buffers of the playback's size that never end the stream: no tail, no transmission.
    static pipeline::RunSettings liveSettings(const std::vector<std::uint8_t>& block)
    {
        pipeline::RunSettings settings{block, kBlockFrames};
        settings.live = true;
        return settings;
    }

    // One buffer through the effect, on the audio thread.
    void renderBlock()
    {
        {
            std::unique_lock<std::mutex> lock(blockMutex, std::try_to_lock);
            if (lock.owns_lock() && blockPending)
            {
                applying.swap(pendingBlock);
                blockPending = false;
                lock.unlock();
                run.update(applying);
            }
        }
        const std::size_t frames = input.interleaved.size() / input.channels;
        for (std::uint32_t i = 0; i < kBlockFrames; ++i)
        {
            std::copy_n(&input.interleaved[position * input.channels], input.channels, &scratch[i * input.channels]);
            position = (position + 1) % frames;
        }
        run.playLive(scratch.data(), out.data(), kBlockFrames);
        if (run.context().postCount() != posted)
        {
            posted = run.context().postCount();
            quarl::deliverMonitorData(plugin, run.context().latest());
        }
        played.fetch_add(kBlockFrames, std::memory_order_relaxed);
    }

    // Real-time pace without a device: a buffer per buffer duration.
    void runSilently()
    {
        const auto period = std::chrono::duration<double>(static_cast<double>(kBlockFrames) / input.sampleRate);
        auto next = std::chrono::steady_clock::now();
        while (running.load())
        {
            renderBlock();
            next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(period);
            std::this_thread::sleep_until(next);
        }
    }

    ZQ::Quarl::IAudioPlugin& plugin;
    const LoopedInput& input;
    pipeline::EffectRun run;
    std::vector<float> scratch, out;
    std::size_t position = 0;
    std::uint64_t posted = 0;
    std::atomic<std::uint64_t> played{0};

    std::mutex blockMutex;
    std::vector<std::uint8_t> pendingBlock, applying;
    bool blockPending = false;

    std::thread thread;
    std::atomic<bool> running{false};
};

// The default audio output pulling buffers from the effect: each device callback takes
// frames from the last rendered buffer and renders the next when it is used up.
class DeviceOutput final : public juce::AudioIODeviceCallback
{
public:
    explicit DeviceOutput(LivePlayback::Engine& engine) : m_engine(engine) {}

    // Opens the default output at the input's rate; false when the machine has none.
    bool open()
    {
        juce::MessageManager::getInstance(); // the device manager's change messages need one
        juce::AudioDeviceManager::AudioDeviceSetup setup;
        setup.sampleRate = m_engine.input.sampleRate;
        const juce::String error = m_manager.initialise(0, 2, nullptr, true, {}, &setup);
        if (error.isNotEmpty() || m_manager.getCurrentAudioDevice() == nullptr)
            return false;
        m_manager.addAudioCallback(this);
        return true;
    }

    void close()
    {
        m_manager.removeAudioCallback(this);
        m_manager.closeAudioDevice();
    }

    std::string name()
    {
        auto* device = m_manager.getCurrentAudioDevice();
        return device != nullptr ? device->getName().toStdString() : std::string();
    }

    void audioDeviceIOCallbackWithContext(const float* const*, int, float* const* outputs, int outputCount,
                                          int frames, const juce::AudioIODeviceCallbackContext&) override
    {
        const std::uint32_t channels = m_engine.input.channels;
        for (int i = 0; i < frames; ++i)
        {
            if (m_used == LivePlayback::kBlockFrames)
            {
                m_engine.renderBlock();
                m_used = 0;
            }
            const float* frame = &m_engine.out[m_used * channels];
            for (int c = 0; c < outputCount; ++c)
                if (outputs[c] != nullptr)
                    outputs[c][i] = frame[std::min<std::uint32_t>(static_cast<std::uint32_t>(c), channels - 1)];
            ++m_used;
        }
    }

    void audioDeviceAboutToStart(juce::AudioIODevice*) override {}
    void audioDeviceStopped() override {}

private:
    LivePlayback::Engine& m_engine;
    juce::AudioDeviceManager m_manager;
    std::uint32_t m_used = LivePlayback::kBlockFrames;
};

LivePlayback::LivePlayback(ZQ::Quarl::IAudioPlugin& plugin, const LoopedInput& input,
                           const std::vector<std::uint8_t>& block)
{
    try
    {
        m_engine = std::make_unique<Engine>(plugin, input, block);
    }
    catch (const pipeline::RunError& e)
    {
        throw IoError(e.what());
    }
}

LivePlayback::~LivePlayback()
{
    stop();
    // The device manager's messages go with the tool's own framework.
    juce::DeletedAtShutdown::deleteAll();
    juce::MessageManager::deleteInstance();
}

void LivePlayback::start()
{
    if (m_engine->running.exchange(true))
        return;
    if (m_playThroughDevice)
    {
        auto device = std::make_unique<DeviceOutput>(*m_engine);
        if (device->open())
        {
            m_device = std::move(device);
            return;
        }
    }
    m_engine->thread = std::thread([engine = m_engine.get()] { engine->runSilently(); });
}

void LivePlayback::stop()
{
    if (!m_engine->running.exchange(false))
        return;
    if (m_device)
    {
        m_device->close();
        m_device.reset();
    }
    if (m_engine->thread.joinable())
        m_engine->thread.join();
}

void LivePlayback::setBlock(const std::vector<std::uint8_t>& block)
{
    std::lock_guard<std::mutex> lock(m_engine->blockMutex);
    m_engine->pendingBlock = block;
    m_engine->blockPending = true;
}

std::uint64_t LivePlayback::framesPlayed() const
{
    return m_engine->played.load(std::memory_order_relaxed);
}

std::string LivePlayback::deviceName() const
{
    return m_device ? m_device->name() : std::string();
}
