// The LV2 plugin as a host drives it through its C entry points: instantiated, its ports
// connected, run buffer by buffer, a control port moved after the first run. Every property
// moved so must end where an instance that had the value from its start ends.
#include "params/ParameterTable.h"
#include "plugins/lv2/Lv2Ports.h"
#include "tests/support/LateChanges.h"

#include <lv2/core/lv2.h>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <array>
#include <cstring>
#include <vector>

namespace
{
const LV2_Descriptor* monoDescriptor()
{
    static void* const library = ::dlopen(CRUMLET_LV2_BINARY, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
        return nullptr;
    const auto descriptorAt = reinterpret_cast<LV2_Descriptor_Function>(::dlsym(library, "lv2_descriptor"));
    for (std::uint32_t i = 0; descriptorAt != nullptr && descriptorAt(i) != nullptr; ++i)
        if (std::strcmp(descriptorAt(i)->URI, lv2port::kVariants[0].uri) == 0)
            return descriptorAt(i);
    return nullptr;
}

std::size_t hostIndexOf(const std::string& name)
{
    const ParameterDefinition* d = findParameterByName(name);
    EXPECT_NE(d, nullptr) << name;
    return d != nullptr ? static_cast<std::size_t>(d - g_parameterDefinitions.data()) : 0;
}

class Lv2Effect final : public crumlet_test::EffectUnderTest
{
public:
    explicit Lv2Effect(const crumlet_test::Settings& settings)
        : m_descriptor(monoDescriptor()), m_in(crumlet_test::lateChangePlan().bufferFrames),
          m_out(m_in.size()), m_meters{}
    {
        for (std::size_t i = 0; i < kParameterCount; ++i)
            m_controls[i] = g_parameterDefinitions[i].defaultValue;
        for (const auto& [name, value] : settings)
            m_controls[hostIndexOf(name)] = value;
        const LV2_Feature* const noFeatures[] = {nullptr};
        m_handle = m_descriptor->instantiate(m_descriptor, crumlet_test::lateChangePlan().sampleRate,
                                             CRUMLET_LV2_BUNDLE, noFeatures);
        if (m_handle == nullptr)
            return;
        for (std::uint32_t i = 0; i < kParameterCount; ++i)
            m_descriptor->connect_port(m_handle, lv2port::kFirstControl + i, &m_controls[i]);
        m_descriptor->connect_port(m_handle, lv2port::kFirstAudio, m_in.data());
        m_descriptor->connect_port(m_handle, lv2port::kFirstAudio + 1, m_out.data());
        for (std::uint32_t i = 0; i < lv2port::kMeterCount; ++i)
            m_descriptor->connect_port(m_handle, lv2port::firstMeter(1) + i, &m_meters[i]);
        m_descriptor->activate(m_handle);
    }
    ~Lv2Effect() override
    {
        if (m_handle != nullptr)
            m_descriptor->cleanup(m_handle);
    }

    void play(float* mono, std::uint32_t frames) override
    {
        ASSERT_NE(m_handle, nullptr);
        std::copy_n(mono, frames, m_in.data());
        m_descriptor->run(m_handle, frames);
        std::copy_n(m_out.data(), frames, mono);
    }

    void set(const std::string& property, float value) override { m_controls[hostIndexOf(property)] = value; }

private:
    const LV2_Descriptor* m_descriptor;
    LV2_Handle m_handle = nullptr;
    std::array<float, kParameterCount> m_controls{};
    std::vector<float> m_in, m_out;
    std::array<float, lv2port::kMeterCount> m_meters;
};
} // namespace

TEST(Lv2LateChanges, EveryControlMovedAfterTheFirstRunIsHeard)
{
    ASSERT_NE(monoDescriptor(), nullptr) << CRUMLET_LV2_BINARY;
    const auto missed = crumlet_test::missedLateChanges(crumlet_test::makerOf<Lv2Effect>());
    EXPECT_TRUE(missed.empty()) << crumlet_test::listed(missed);
}
