// The effect as a plugin wrapper runs it: made through the module's registration record,
// set from the 139-byte parameter block and single-parameter updates, fed in buffers of at
// most kMaxBufferFrames, its meter records kept. A float value that moves ramps across the
// next buffer in sub-blocks (see ParameterRamps). Nothing here allocates once constructed.
#pragma once

#include "ZQ/QuarlSoundEngine.h"
#include "params/ParameterTable.h"
#include "plugins/common/ParameterRamps.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace plugins
{
// The meter values of the last buffer (every sub-block of it), over all channels.
struct MeterReading
{
    float input = 0.f;         // largest, after the input gain
    float output = 0.f;        // largest final output
    float noiseDucking = 1.f;  // smallest noise ducking gain
    float gateGain = 1.f;      // smallest gate gain
};

// Takes each meter record the effect posts, on the thread that processes (the audio
// thread in a DAW): it must neither lock nor allocate.
class MeterRecordListener
{
public:
    virtual void meterRecordPosted(const void* record, std::uint32_t bytes) = 0;

protected:
    ~MeterRecordListener() = default;
};

class EngineSession
{
public:
    static constexpr std::uint32_t kMaxBufferFrames = 512;

    EngineSession(std::uint32_t sampleRate, std::uint32_t channels);
    ~EngineSession();
    EngineSession(const EngineSession&) = delete;
    EngineSession& operator=(const EngineSession&) = delete;

    // False when the effect could not be made (no memory, or the module's record missing).
    bool ready() const { return m_effect != nullptr; }

    // Every value at once, in host order, through the parameter block.
    void setAll(const std::array<float, kParameterCount>& hostOrderValues);

    // One value (host-order index) through single-parameter updates: a float that moves
    // ramps there across the next buffer; anything else is sent at once.
    void set(std::size_t hostIndex, float value);

    // One value through a single-parameter update, at once, as the host's sound engine
    // sends it (no ramp).
    void setAtOnce(std::size_t hostIndex, float value);

    // Processes `frames` frames of each channel in place (separate channel arrays).
    void process(float* const* channels, std::uint32_t frames);

    const MeterReading& meters() const { return m_meters; }

    // Who else receives the meter records (null for nobody); set it while not processing.
    void setMeterRecordListener(MeterRecordListener* listener);

    // How long the effect rings on after its input ends, in frames (as of the last buffer):
    // its own tail stretched to cover resonances that coincide (see engine/DawTail.h).
    std::int64_t tailFrames() const;

    // The host-order index of a property by its name (kParameterCount when there is none).
    static std::size_t indexOf(const std::string& name);

    // How often the effect's memory came from the system rather than the pool made up front
    // (see Allocator): the effect and its stages' states when made, never a buffer.
    std::uint64_t systemAllocations() const;

private:
    class Allocator;
    class Context;

    void send(std::size_t hostIndex, float value);
    // Runs frames [from, from + frames) of each channel in buffers of at most `most` frames.
    void play(float* const* channels, std::uint32_t from, std::uint32_t frames, std::uint32_t most);

    std::uint32_t m_channels;
    Allocator* m_allocator;
    Context* m_context;
    ZQ::Quarl::IEffectParams* m_params = nullptr;
    ZQ::Quarl::IEffectPlugin* m_effect = nullptr;
    std::vector<float> m_buffer; // channel c at c * kMaxBufferFrames
    MeterReading m_meters;
    ParameterRamps m_ramps;
};
} // namespace plugins
