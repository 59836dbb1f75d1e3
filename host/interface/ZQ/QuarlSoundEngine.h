// The sound engine's side of the host interface: what an effect processor and its
// parameter object receive from the host, and the registration record that makes them.
//
// Operations are declared in the order of the host's tables of virtual operations;
// slots the module never calls are declared as reserved so that the numbered
// operations keep their places.
#pragma once

#include "ZQ/QuarlTypes.h"

#include <cstddef>
#include <cstdint>

namespace ZQ::Quarl
{
// The host's memory allocator (op 2 allocate, op 3 free).
class IAllocator
{
public:
    virtual void Reserved1() {}
    virtual void* Malloc(std::size_t bytes) = 0;
    virtual void Free(void* pointer) = 0;

protected:
    ~IAllocator() = default;
};

// The processing context of one effect instance (op 7 post monitor data, op 8 monitoring wanted).
class IProcessingContext
{
public:
    virtual void Reserved1() {}
    virtual void Reserved2() {}
    virtual void Reserved3() {}
    virtual void Reserved4() {}
    virtual void Reserved5() {}
    virtual void Reserved6() {}
    virtual void PostMonitorData(const void* data, std::uint32_t bytes) = 0;
    virtual bool CanPostMonitorData() = 0;

protected:
    ~IProcessingContext() = default;
};

struct AudioFormat
{
    std::uint32_t sampleRate = 48000;
    std::uint32_t channelCount = 2;
};

// One buffer of audio, processed in place: channel c starts at data + c * maxFrames.
struct AudioBuffer
{
    std::uint32_t channelCount = 0;
    std::uint32_t maxFrames = 0;
    std::uint32_t validFrames = 0;
    Result state = Success;
    float* data = nullptr;

    float* channel(std::uint32_t c) const { return data + static_cast<std::size_t>(c) * maxFrames; }
};

struct PluginInfo
{
    PluginType type = PluginType::None;
    std::uint32_t buildVersion = 0;
    bool isInPlace = false;
};

// The parameter object of an effect, created by the host from a bank block or defaults.
class IEffectParams
{
public:
    virtual ~IEffectParams() = default;
    // value points at a bool, a 32-bit integer or a float of `bytes` bytes.
    virtual Result SetParam(PluginParamId id, const void* value, std::uint32_t bytes) = 0;
    virtual IEffectParams* Clone(IAllocator* allocator) = 0;
    // block may be null: the defaults are used.
    virtual Result Init(IAllocator* allocator, const void* block, std::uint32_t bytes) = 0;
    virtual Result Term(IAllocator* allocator) = 0;
    virtual Result SetParamsBlock(const void* block, std::uint32_t bytes) = 0;
};

// An in-place effect processor.
class IEffectPlugin
{
public:
    virtual ~IEffectPlugin() = default;
    virtual Result Term(IAllocator* allocator) = 0;
    virtual Result Reset() = 0;
    virtual Result GetPluginInfo(PluginInfo& info) = 0;
    virtual bool SupportsMonitoring() = 0;
    virtual std::uint32_t GetLatency() = 0;
    virtual Result Init(IAllocator* allocator, IProcessingContext* context, IEffectParams* params,
                        const AudioFormat& format) = 0;
    virtual void Execute(AudioBuffer& buffer) = 0;
    virtual Result TimeSkip(std::uint32_t& frames) = 0;
};

using CreateEffectFn = IEffectPlugin* (*)(IAllocator* allocator);
using CreateParamsFn = IEffectParams* (*)(IAllocator* allocator);
using UnusedFactoryFn = void* (*)(IAllocator* allocator);

// One entry of a module's registration list, linked through `next`.
struct PluginRegistration
{
    PluginRegistration* next;
    std::uint32_t type;
    std::uint32_t companyId;
    std::uint32_t pluginId;
    CreateEffectFn createEffect;
    CreateParamsFn createParams;
    UnusedFactoryFn reserved;
};

// Exported by the sound engine library; a module hands it the head of its list.
constexpr const char* kRegisterEntryPoint = "RegisterQuarlPlugin20192";
using RegisterPluginsFn = Result (*)(PluginRegistration* head);
} // namespace ZQ::Quarl
