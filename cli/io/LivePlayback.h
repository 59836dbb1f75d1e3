// The effect playing live for the editor: the input looped through a sound-engine instance
// at real-time pace, on a thread of its own, as the host's sound engine runs it. After each
// buffer the effect's meter record goes to the plugin object through the host's monitor
// delivery, on that thread. Settings changed in the editor arrive as new parameter blocks.
// Sound goes to the default audio output when the machine has one, else nowhere.
#pragma once

#include "ZQ/QuarlPlugin.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct LoopedInput
{
    std::vector<float> interleaved;
    std::uint32_t channels = 0;
    std::uint32_t sampleRate = 0;

    // A file's samples, or the demo's for an empty path; throws IoError.
    static LoopedInput load(const std::string& path);
};

class DeviceOutput;

class LivePlayback
{
public:
    static constexpr std::uint32_t kBlockFrames = 512;

    // `plugin` receives the meter records; both it and `input` outlive the playback.
    LivePlayback(ZQ::Quarl::IAudioPlugin& plugin, const LoopedInput& input, const std::vector<std::uint8_t>& block);
    ~LivePlayback();
    LivePlayback(const LivePlayback&) = delete;
    LivePlayback& operator=(const LivePlayback&) = delete;

    // Starts playing: through the default audio output when one opens (and playing through
    // a device is allowed), else silently at the same pace.
    void start();
    void setPlayThroughDevice(bool allowed) { m_playThroughDevice = allowed; }
    void stop();

    // From the message thread: the settings the effect takes at its next buffer.
    void setBlock(const std::vector<std::uint8_t>& block);

    // Frames played since start (any thread).
    std::uint64_t framesPlayed() const;
    // The audio device's name, or empty when playing silently.
    std::string deviceName() const;

    struct Engine;

private:
    std::unique_ptr<Engine> m_engine;
    std::unique_ptr<DeviceOutput> m_device;
    bool m_playThroughDevice = true;
};
