#include "web/CrumletEngine.h"

#include "engine/EffectEngine.h"
#include "params/ParameterTable.h"
#include "params/ValueCodec.h"
#include "pipeline/EffectRun.h"
#include "pipeline/LinkedEffect.h"

#include <memory>
#include <vector>

struct CrumletEngine
{
    pipeline::EffectRun run;
    std::uint32_t channels;
    std::uint32_t maxFrames;
    std::vector<float> interleaved; // a planar buffer's frames while they play
};

namespace
{
bool isBlock(const uint8_t* block, uint32_t bytes)
{
    return block != nullptr && bytes == kParameterBlockSize;
}
} // namespace

extern "C" {

CrumletEngine* crumlet_engine_create(const uint8_t* block, uint32_t bytes, uint32_t sampleRate, uint32_t channels,
                                     uint32_t maxFrames)
{
    const ZQ::Quarl::PluginRegistration* record = pipeline::linkedEffectRecord();
    if (record == nullptr || !isBlock(block, bytes) || sampleRate == 0 || channels == 0 || channels > kMaxChannels ||
        maxFrames == 0 || maxFrames > pipeline::kMaxBlockFrames)
        return nullptr;
    pipeline::RunSettings settings;
    settings.block.assign(block, block + bytes);
    settings.blockFrames = maxFrames;
    settings.live = true;
    try
    {
        return new CrumletEngine{pipeline::EffectRun(*record, std::move(settings), sampleRate, channels), channels,
                                 maxFrames, std::vector<float>(static_cast<std::size_t>(channels) * maxFrames)};
    }
    catch (const std::exception&)
    {
        return nullptr;
    }
}

int32_t crumlet_engine_process_interleaved(CrumletEngine* engine, float* samples, uint32_t frames)
{
    if (engine == nullptr || samples == nullptr || frames > engine->maxFrames)
        return -1;
    engine->run.playLive(samples, samples, frames);
    return 0;
}

int32_t crumlet_engine_process_planar(CrumletEngine* engine, float* samples, uint32_t frames)
{
    if (engine == nullptr || samples == nullptr || frames > engine->maxFrames)
        return -1;
    const std::uint32_t channels = engine->channels;
    float* frame = engine->interleaved.data();
    for (std::uint32_t i = 0; i < frames; ++i)
        for (std::uint32_t c = 0; c < channels; ++c)
            frame[i * channels + c] = samples[c * frames + i];
    engine->run.playLive(frame, frame, frames);
    for (std::uint32_t i = 0; i < frames; ++i)
        for (std::uint32_t c = 0; c < channels; ++c)
            samples[c * frames + i] = frame[i * channels + c];
    return 0;
}

int32_t crumlet_engine_set_block(CrumletEngine* engine, const uint8_t* block, uint32_t bytes)
{
    if (engine == nullptr || !isBlock(block, bytes))
        return -1;
    engine->run.update(std::vector<std::uint8_t>(block, block + bytes));
    return 0;
}

int32_t crumlet_engine_set_parameter(CrumletEngine* engine, uint32_t id, double value)
{
    const ParameterDefinition* p = findParameter(static_cast<ParameterId>(id));
    if (engine == nullptr || p == nullptr)
        return -1;
    std::uint8_t bytes[kMaxValueBytes];
    const std::size_t size = encodeValue(p->update, value, bytes);
    const ZQ::Quarl::Result result = engine->run.updateParameter(static_cast<ZQ::Quarl::PluginParamId>(p->id), bytes,
                                                                 static_cast<std::uint32_t>(size));
    return result == ZQ::Quarl::Success ? 0 : static_cast<int32_t>(result);
}

int32_t crumlet_engine_parameter_id(const char* name)
{
    const ParameterDefinition* p = name != nullptr ? findParameterByName(name) : nullptr;
    return p != nullptr ? static_cast<int32_t>(p->id) : -1;
}

void crumlet_engine_destroy(CrumletEngine* engine)
{
    delete engine;
}
}
