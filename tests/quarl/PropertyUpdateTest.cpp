// The stand-in host's single-property path: a property changed while the effect plays reaches
// it as one update by identifier, carried as the shipped description says, and the effect
// ends where one that had the value from its start ends. The effect is the loaded module's,
// started from the block its plugin object writes, as the host runs it.
#include "quarl/AudioBufferStorage.h"
#include "quarl/HostAllocator.h"
#include "quarl/ModuleLoader.h"
#include "quarl/PluginInstance.h"
#include "quarl/ProcessingContext.h"
#include "quarl/PropertyUpdate.h"
#include "quarl/SoundEngine.h"
#include "tests/support/LateChanges.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace ZQ::Quarl;

namespace
{
std::shared_ptr<quarl::PluginModule> module()
{
    static const std::shared_ptr<quarl::PluginModule> loaded = quarl::PluginModule::load(CRUMLET_MODULE_PATH);
    return loaded;
}

class HostEffect final : public crumlet_test::EffectUnderTest
{
public:
    explicit HostEffect(const crumlet_test::Settings& settings)
        : m_authoring(module()), m_context(false), m_storage(1, crumlet_test::lateChangePlan().bufferFrames)
    {
        for (const auto& [name, value] : settings)
            EXPECT_TRUE(m_authoring.properties().set(name, value)) << name;
        const PluginRegistration* record =
            quarl::SoundEngine::instance().find(module()->description().companyId, module()->description().pluginId);
        if (record == nullptr)
        {
            ADD_FAILURE() << "the module registered no effect";
            return;
        }
        m_effect = std::make_unique<quarl::EffectInstance>(*record, m_allocator, &m_context);
        const std::vector<std::uint8_t> block = m_authoring.writeBankBlock();
        EXPECT_EQ(m_effect->create(block.data(), static_cast<std::uint32_t>(block.size()),
                                   AudioFormat{crumlet_test::lateChangePlan().sampleRate, 1}),
                  Success);
    }

    void play(float* mono, std::uint32_t frames) override
    {
        ASSERT_NE(m_effect, nullptr);
        m_storage.fillInterleaved(mono, frames, Success);
        m_effect->effect()->Execute(m_storage.buffer());
        std::copy_n(m_storage.channel(0), frames, mono);
    }

    void set(const std::string& property, float value) override
    {
        ASSERT_NE(m_effect, nullptr);
        ASSERT_TRUE(m_authoring.properties().set(property, value)) << property;
        EXPECT_EQ(quarl::sendProperty(*m_effect->params(), m_authoring.properties(), property), Success) << property;
    }

private:
    quarl::PluginInstance m_authoring;
    quarl::HostAllocator m_allocator;
    quarl::ProcessingContext m_context;
    quarl::AudioBufferStorage m_storage;
    std::unique_ptr<quarl::EffectInstance> m_effect;
};
} // namespace

TEST(LateChanges, EveryCaseIsHeardAtTheEnd)
{
    const auto unheard = crumlet_test::unheardChanges(crumlet_test::makerOf<HostEffect>());
    EXPECT_TRUE(unheard.empty()) << crumlet_test::listed(unheard);
}

TEST(PropertyUpdate, EveryPropertyChangedWhilePlayingArrives)
{
    const auto missed = crumlet_test::missedLateChanges(crumlet_test::makerOf<HostEffect>());
    EXPECT_TRUE(missed.empty()) << crumlet_test::listed(missed);
}

namespace
{
// Keeps what the host sends it, answering as the effect's parameter object does.
class RecordingParams final : public IEffectParams
{
public:
    void* DeletingDestructor(unsigned int) noexcept override { return nullptr; }
    Result SetParam(PluginParamId id, const void* value, std::uint32_t bytes) noexcept override
    {
        const auto* b = static_cast<const std::uint8_t*>(value);
        sent.emplace_back(id, std::vector<std::uint8_t>(b, b + bytes));
        return Success;
    }
    IEffectParams* Clone(IAllocator*) noexcept override { return nullptr; }
    Result Init(IAllocator*, const void*, std::uint32_t) noexcept override { return Success; }
    Result Term(IAllocator*) noexcept override { return Success; }
    Result SetParamsBlock(const void*, std::uint32_t) noexcept override { return Success; }

    std::vector<std::pair<PluginParamId, std::vector<std::uint8_t>>> sent;
};
} // namespace

TEST(PropertyUpdate, CarriesEachValueAsTheDescriptionSays)
{
    quarl::PropertySet properties(module()->description());
    ASSERT_TRUE(properties.set("LoFiBitDepthType", 14));
    ASSERT_TRUE(properties.set("SIMType", 92));
    ASSERT_TRUE(properties.set("GateEnable", 0));
    ASSERT_TRUE(properties.set("EQGain", -6));
    RecordingParams params;
    for (const char* name : {"LoFiBitDepthType", "SIMType", "GateEnable", "EQGain"})
        EXPECT_EQ(quarl::sendProperty(params, properties, name), Success) << name;
    using Sent = std::pair<PluginParamId, std::vector<std::uint8_t>>;
    EXPECT_EQ(params.sent, (std::vector<Sent>{{31, {0x00, 0x00, 0x60, 0x41}}, // a list the engine reads as a float
                                              {21, {0x5C, 0x00, 0x00, 0x00}},
                                              {10, {0x00}},
                                              {64, {0x00, 0x00, 0xC0, 0xC0}}}));
}

TEST(PropertyUpdate, SendsNothingForAPropertyItCannotName)
{
    quarl::PropertySet properties(quarl::PluginDescription::parse(
        R"({"module": "M", "plugin": {"type": "effect", "companyId": 1, "pluginId": 2},)"
        R"( "properties": [{"name": "Unnamed", "type": "float", "min": 0, "max": 1, "default": 0}]})"));
    RecordingParams params;
    EXPECT_EQ(quarl::sendProperty(params, properties, "Unnamed"), InvalidParameter) << "no identifier";
    EXPECT_EQ(quarl::sendProperty(params, properties, "NoSuchProperty"), InvalidParameter);
    EXPECT_TRUE(params.sent.empty());
}
