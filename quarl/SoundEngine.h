// The stand-in host's sound engine: keeps the registration records that modules hand
// it and makes effect instances through their factories, as the real host does.
//
// It is its own shared library, libQuarlSoundEngine.so ("QuarlSoundEngine.dll" by its
// Windows name), loaded with the host: a module loaded later finds this copy by name and
// registers with it, and the host looks the records up here.
#pragma once

#include "ZQ/QuarlSoundEngine.h"

#include <cstdint>
#include <vector>

#if defined(_WIN32) && defined(QUARL_SOUND_ENGINE_BUILD)
#define QUARL_SOUND_ENGINE_API __declspec(dllexport)
#elif defined(_WIN32)
#define QUARL_SOUND_ENGINE_API __declspec(dllimport)
#else
#define QUARL_SOUND_ENGINE_API __attribute__((visibility("default")))
#endif

namespace quarl
{
class QUARL_SOUND_ENGINE_API SoundEngine
{
public:
    static SoundEngine& instance();

    // Walks a module's list and keeps every record; answers success.
    ZQ::Quarl::Result registerPlugins(ZQ::Quarl::PluginRegistration* head);

    // The record of an effect, or null when no module registered it.
    const ZQ::Quarl::PluginRegistration* find(std::uint32_t companyId, std::uint32_t pluginId) const;

    std::size_t recordCount() const { return m_records.size(); }
    void clear() { m_records.clear(); }

private:
    std::vector<const ZQ::Quarl::PluginRegistration*> m_records;
};

// One effect as the host runs it: the parameter object from a bank block (or the
// defaults) and the processor, both made through the record's factories.
class QUARL_SOUND_ENGINE_API EffectInstance
{
public:
    EffectInstance(const ZQ::Quarl::PluginRegistration& record, ZQ::Quarl::IAllocator& allocator,
                   ZQ::Quarl::IProcessingContext* context);
    ~EffectInstance();
    EffectInstance(const EffectInstance&) = delete;
    EffectInstance& operator=(const EffectInstance&) = delete;

    // block may be null for the defaults. Answers the first failing host code.
    ZQ::Quarl::Result create(const void* block, std::uint32_t bytes, const ZQ::Quarl::AudioFormat& format);

    ZQ::Quarl::IEffectParams* params() const { return m_params; }
    ZQ::Quarl::IEffectPlugin* effect() const { return m_effect; }

    // Destroys both objects through the host allocator.
    void destroy();

private:
    const ZQ::Quarl::PluginRegistration& m_record;
    ZQ::Quarl::IAllocator& m_allocator;
    ZQ::Quarl::IProcessingContext* m_context;
    ZQ::Quarl::IEffectParams* m_params = nullptr;
    ZQ::Quarl::IEffectPlugin* m_effect = nullptr;
};
} // namespace quarl

// The entry point a module looks up by name and calls with its list.
extern "C" QUARL_SOUND_ENGINE_API ZQ::Quarl::Result RegisterQuarlPlugin20192(ZQ::Quarl::PluginRegistration* head);
