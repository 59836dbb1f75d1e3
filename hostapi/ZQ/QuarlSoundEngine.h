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
#include <type_traits>

namespace ZQ::Quarl
{
// The host's memory allocator (op 2 allocate, op 3 free).
class IAllocator
{
public:
    static constexpr int kSlotCount = 3;
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
    static constexpr int kSlotCount = 8;
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

// The first slot of the parameter object and of the processor is their destructor as a
// host built with Microsoft's compiler declares it: one slot, the scalar deleting destructor,
// void* (unsigned int flags). A C++ virtual destructor would take two slots under the Itanium
// ABI (GCC, Clang, mingw-w64) and move every operation after it, so the slot is an ordinary
// operation with that signature, which every compiler lays out alike. It runs the destructor
// and, with kDeleteFreesMemory set, gives the object's memory back to the allocator that made
// it; it answers the object's address.
constexpr unsigned int kDeleteFreesMemory = 1;

// The parameter object of an effect, created by the host from a bank block or defaults.
class IEffectParams
{
public:
    static constexpr int kSlotCount = 6;
    virtual void* DeletingDestructor(unsigned int flags) noexcept = 0;                      // slot 0
    // value points at a bool, a 32-bit integer or a float of `bytes` bytes.
    virtual Result SetParam(PluginParamId id, const void* value, std::uint32_t bytes) noexcept = 0;
    virtual IEffectParams* Clone(IAllocator* allocator) noexcept = 0;
    // block may be null: the defaults are used.
    virtual Result Init(IAllocator* allocator, const void* block, std::uint32_t bytes) noexcept = 0;
    virtual Result Term(IAllocator* allocator) noexcept = 0;
    virtual Result SetParamsBlock(const void* block, std::uint32_t bytes) noexcept = 0;    // slot 5

protected:
    ~IEffectParams() = default;
};

// An in-place effect processor.
class IEffectPlugin
{
public:
    static constexpr int kSlotCount = 9;
    virtual void* DeletingDestructor(unsigned int flags) noexcept = 0;                      // slot 0
    virtual Result Term(IAllocator* allocator) noexcept = 0;
    virtual Result Reset() noexcept = 0;
    // The record is returned through the pointer.
    virtual Result GetPluginInfo(PluginInfo& info) noexcept = 0;
    virtual bool SupportsMonitoring() noexcept = 0;
    virtual std::uint32_t GetLatency() noexcept = 0;
    virtual Result Init(IAllocator* allocator, IProcessingContext* context, IEffectParams* params,
                        const AudioFormat& format) noexcept = 0;
    virtual void Execute(AudioBuffer& buffer) noexcept = 0;
    virtual Result TimeSkip(std::uint32_t& frames) noexcept = 0;                          // slot 8

protected:
    ~IEffectPlugin() = default;
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

// What a host built with Microsoft's compiler sees, checked on every compiler that builds
// either side: records laid out as MSVC lays them out on x86-64, and no C++ virtual destructor
// in the two tables the module fills (the slot counts above are checked against the compiler's
// tables by tests/host/InterfaceSlotsTest.cpp and, from C, by windows/tests/AbiProbe.c).
static_assert(sizeof(bool) == 1, "a host bool is one byte");
static_assert(sizeof(Result) == 4 && sizeof(PluginParamId) == 4, "host codes are 32-bit");
static_assert(sizeof(AudioFormat) == 8 && offsetof(AudioFormat, channelCount) == 4, "AudioFormat");
static_assert(offsetof(AudioBuffer, maxFrames) == 4 && offsetof(AudioBuffer, validFrames) == 8 &&
                  offsetof(AudioBuffer, state) == 12 && offsetof(AudioBuffer, data) == 16 &&
                  (sizeof(void*) != 8 || sizeof(AudioBuffer) == 24),
              "AudioBuffer");
static_assert(sizeof(PluginType) == 4 && offsetof(PluginInfo, buildVersion) == 4 &&
                  offsetof(PluginInfo, isInPlace) == 8 && sizeof(PluginInfo) == 12,
              "PluginInfo");
static_assert(sizeof(void*) != 8 || (offsetof(PluginRegistration, type) == 8 &&
                                     offsetof(PluginRegistration, companyId) == 12 &&
                                     offsetof(PluginRegistration, pluginId) == 16 &&
                                     offsetof(PluginRegistration, createEffect) == 24 &&
                                     offsetof(PluginRegistration, createParams) == 32 &&
                                     offsetof(PluginRegistration, reserved) == 40 &&
                                     sizeof(PluginRegistration) == 48),
              "PluginRegistration");
static_assert(!std::has_virtual_destructor_v<IEffectParams> && !std::has_virtual_destructor_v<IEffectPlugin> &&
                  !std::has_virtual_destructor_v<IAllocator> &&
                  !std::has_virtual_destructor_v<IProcessingContext>,
              "slot 0 is the scalar deleting destructor, declared as an operation");

// Exported by the sound engine library; a module hands it the head of its list.
constexpr const char* kRegisterEntryPoint = "RegisterQuarlPlugin20192";
using RegisterPluginsFn = Result (*)(PluginRegistration* head);
} // namespace ZQ::Quarl
