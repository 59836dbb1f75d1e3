// Shared fixtures of the engine tests: the parameter block's layout, a block builder, typed
// parameter updates and an effect run through the stand-in host exactly as the host's sound
// engine would run it.
#pragma once

#include "ZQ/QuarlSoundEngine.h"
#include "engine/EffectEngine.h"
#include "engine/EngineParams.h"
#include "params/ParameterId.h"
#include "params/ParameterTable.h"
#include "quarl/AudioBufferStorage.h"
#include "quarl/HostAllocator.h"
#include "quarl/ProcessingContext.h"
#include "quarl/SoundEngine.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace crumlet_test
{
using FieldType = HostType;

// One value of the 139-byte parameter block: where it sits, how it is carried and its
// default.
struct BlockField
{
    ParameterId id;
    std::size_t offset;
    FieldType type;
    float defaultValue;
};

// The block's values in host order, as the parameter table lays them out (the offsets are
// held to known answers in EngineParamsTest).
extern const std::array<BlockField, kParameterCount> kBlockLayout;

const BlockField& blockField(ParameterId id);

// A parameter block filled with the defaults, with single values replaced by id.
class BlockBuilder
{
public:
    BlockBuilder();
    BlockBuilder& set(ParameterId id, double value);
    // Every stage switch off.
    BlockBuilder& allStagesOff();
    const std::uint8_t* data() const { return m_bytes.data(); }
    std::uint32_t size() const { return static_cast<std::uint32_t>(m_bytes.size()); }

private:
    std::array<std::uint8_t, kParameterBlockSize> m_bytes{};
};

// Sends one parameter update in the host's own type: a bool for the switches, a 32-bit
// integer for the list parameters (but floats for the two lo-fi lists), a float otherwise.
ZQ::Quarl::Result sendParam(ZQ::Quarl::IEffectParams& params, ParameterId id, double value);

// The stored value of a parameter (gains as stored, linear), for comparisons.
double storedValue(const EngineParams& p, ParameterId id);

// The module's registration record as the host finds it after start-up.
const ZQ::Quarl::PluginRegistration& crumletRecord();

// Reference arithmetic kept apart from the engine: a section's time constant in samples
// and its tail as the processor counts it.
double referenceDecay(double a1, double a2);
std::int64_t referenceTail(const BiquadCoefs& c, double factor = 6.91);

// One effect instance made through the registration record and run buffer by buffer.
class EffectHarness
{
public:
    explicit EffectHarness(std::uint32_t channels = 2, std::uint32_t sampleRate = 48000, std::uint32_t maxFrames = 256);
    ~EffectHarness();

    ZQ::Quarl::Result create(const BlockBuilder& block);
    ZQ::Quarl::Result createDefaults();
    // Both the parameter object and the processor exist.
    bool ready() const;
    void destroy();

    EngineParams& params();
    EffectEngine& engine();
    ZQ::Quarl::Result set(ParameterId id, double value) { return sendParam(params(), id, value); }

    // Runs one buffer of `frames` valid frames taken from per-channel input; answers the
    // buffer's state and leaves its samples in output().
    ZQ::Quarl::Result run(const std::vector<std::vector<float>>& input, std::uint32_t frames,
                          ZQ::Quarl::Result state = ZQ::Quarl::Success);
    // Runs one buffer of the same signal in every channel.
    ZQ::Quarl::Result runMono(const std::vector<float>& input, ZQ::Quarl::Result state = ZQ::Quarl::Success);

    std::vector<float> output(std::uint32_t channel) const;
    ZQ::Quarl::AudioBuffer& buffer() { return m_storage.buffer(); }

    quarl::HostAllocator allocator;
    quarl::ProcessingContext context;
    const std::uint32_t channels;
    const std::uint32_t sampleRate;
    const std::uint32_t maxFrames;

private:
    quarl::AudioBufferStorage m_storage;
    std::unique_ptr<quarl::EffectInstance> m_instance;
};

// Uniform noise in [-amplitude, amplitude] from a fixed seed.
std::vector<float> uniformNoise(std::size_t count, float amplitude, std::uint32_t seed);

// A sine of the given frequency and amplitude.
std::vector<float> sine(std::size_t count, double frequency, double sampleRate, double amplitude);

float peakOf(const std::vector<float>& v);
} // namespace crumlet_test
