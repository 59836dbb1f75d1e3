#include "tests/support/EngineTestSupport.h"

#include "host/ModuleRegistration.h"
#include "host/PluginIds.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <stdexcept>

using namespace ZQ::Quarl;

namespace crumlet_test
{
namespace P = ParamId;
using T = FieldType;

namespace
{
std::array<BlockField, kParameterCount> blockLayout()
{
    std::array<BlockField, kParameterCount> layout{};
    for (std::size_t i = 0; i < kParameterCount; ++i)
    {
        const ParameterDefinition& p = g_parameterDefinitions[i];
        layout[i] = BlockField{p.id, blockOffsetOf(i), p.hostType, p.defaultValue};
    }
    return layout;
}
} // namespace

const std::array<BlockField, kParameterCount> kBlockLayout = blockLayout();

const BlockField& blockField(ParameterId id)
{
    for (const auto& f : kBlockLayout)
        if (f.id == id)
            return f;
    throw std::out_of_range("no such parameter in the block");
}

BlockBuilder::BlockBuilder()
{
    for (const auto& f : kBlockLayout)
        set(f.id, f.defaultValue);
}

BlockBuilder& BlockBuilder::set(ParameterId id, double value)
{
    const BlockField& f = blockField(id);
    std::uint32_t bits = 0;
    switch (f.type)
    {
    case T::Bool: m_bytes[f.offset] = value != 0.0 ? 1 : 0; return *this;
    case T::Int: bits = static_cast<std::uint32_t>(static_cast<std::int32_t>(value)); break;
    case T::Float:
    {
        const float v = static_cast<float>(value);
        std::memcpy(&bits, &v, 4);
        break;
    }
    }
    for (int i = 0; i < 4; ++i)
        m_bytes[f.offset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
    return *this;
}

BlockBuilder& BlockBuilder::allStagesOff()
{
    for (ParameterId id : {P::FiltersEnable, P::DistortionEnable, P::EQEnable, P::NoiseEnable, P::SIMEnable,
                           P::GateEnable, P::LoFiEnable})
        set(id, 0);
    return *this;
}

Result sendParam(IEffectParams& params, ParameterId id, double value)
{
    const bool isSwitch = id % 10 == 0 && id != P::InputGain;
    const bool isList = id == P::DistortionMode || id == P::SIMType || id == P::FiltersLPFSlope ||
                        id == P::FiltersHPFSlope || id == P::EQFilterType;
    if (isSwitch)
    {
        const bool b = value != 0.0;
        return params.SetParam(id, &b, sizeof b);
    }
    if (isList)
    {
        const auto i = static_cast<std::int32_t>(value);
        return params.SetParam(id, &i, sizeof i);
    }
    const auto f = static_cast<float>(value);
    return params.SetParam(id, &f, sizeof f);
}


const PluginRegistration& crumletRecord()
{
    static const PluginRegistration* record = [] {
        RegisterQuarlPlugin20192(g_pZQPluginList);
        return quarl::SoundEngine::instance().find(kOrvexCompanyId, kCrumletPluginId);
    }();
    if (record == nullptr)
        throw std::runtime_error("the module registered no effect");
    return *record;
}

double referenceDecay(double a1, double a2)
{
    const double disc = a1 * a1 - 4.0 * a2;
    double r;
    if (disc >= 0.0)
        r = 0.5 * std::max(std::fabs(-a1 - std::sqrt(disc)), std::fabs(std::sqrt(disc) - a1));
    else
        r = std::sqrt(a2);
    return 1.0 / (1.0 - r);
}

std::int64_t referenceTail(const BiquadCoefs& c, double factor)
{
    // The processor keeps its sections in single precision.
    const double a1 = static_cast<float>(c.a1);
    const double a2 = static_cast<float>(c.a2);
    return static_cast<std::int64_t>(referenceDecay(a1, a2) * factor);
}

EffectHarness::EffectHarness(std::uint32_t channelCount, std::uint32_t rate, std::uint32_t frames)
    : channels(channelCount), sampleRate(rate), maxFrames(frames), m_storage(channelCount, frames)
{
}

EffectHarness::~EffectHarness()
{
    destroy();
}

Result EffectHarness::create(const BlockBuilder& block)
{
    m_instance = std::make_unique<quarl::EffectInstance>(crumletRecord(), allocator, &context);
    return m_instance->create(block.data(), block.size(), AudioFormat{sampleRate, channels});
}

Result EffectHarness::createDefaults()
{
    m_instance = std::make_unique<quarl::EffectInstance>(crumletRecord(), allocator, &context);
    return m_instance->create(nullptr, 0, AudioFormat{sampleRate, channels});
}

bool EffectHarness::ready() const
{
    return m_instance && m_instance->params() != nullptr && m_instance->effect() != nullptr;
}

void EffectHarness::destroy()
{
    if (m_instance)
        m_instance->destroy();
    m_instance.reset();
}

EngineParams& EffectHarness::params()
{
    return *static_cast<EngineParams*>(m_instance->params());
}

EffectEngine& EffectHarness::engine()
{
    return *static_cast<EffectEngine*>(m_instance->effect());
}

Result EffectHarness::run(const std::vector<std::vector<float>>& input, std::uint32_t frames, Result state)
{
    AudioBuffer& b = m_storage.buffer();
    for (std::uint32_t c = 0; c < channels; ++c)
    {
        float* dst = m_storage.channel(c);
        std::fill(dst, dst + maxFrames, 0.f);
        std::copy(input[c].begin(), input[c].begin() + frames, dst);
    }
    b.validFrames = frames;
    b.state = state;
    m_instance->effect()->Execute(b);
    return b.state;
}

Result EffectHarness::runMono(const std::vector<float>& input, Result state)
{
    return run(std::vector<std::vector<float>>(channels, input), static_cast<std::uint32_t>(input.size()), state);
}

std::vector<float> EffectHarness::output(std::uint32_t channel) const
{
    const AudioBuffer& b = const_cast<quarl::AudioBufferStorage&>(m_storage).buffer();
    return std::vector<float>(b.channel(channel), b.channel(channel) + b.validFrames);
}

std::vector<float> uniformNoise(std::size_t count, float amplitude, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> dist(-amplitude, amplitude);
    std::vector<float> v(count);
    for (auto& x : v)
        x = dist(rng);
    return v;
}

std::vector<float> sine(std::size_t count, double frequency, double sampleRate, double amplitude)
{
    std::vector<float> v(count);
    for (std::size_t i = 0; i < count; ++i)
        v[i] = static_cast<float>(amplitude * std::sin(2.0 * 3.141592653589793 * frequency * i / sampleRate));
    return v;
}

float peakOf(const std::vector<float>& v)
{
    float p = 0.f;
    for (float x : v)
        p = std::max(p, std::fabs(x));
    return p;
}
} // namespace crumlet_test
