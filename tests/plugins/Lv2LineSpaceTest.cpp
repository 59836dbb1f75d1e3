// Crumlet Line's space through the LV2 C entry points, as a host drives the plugin: the
// space's ports connected with the others, the host's largest buffer passed as an option (or
// not), the latency port telling the transmission's latency and the space's (a block of that
// buffer), the output the line heard in the space as the engine makes it in process, a space
// chosen while running reaching the latency port, and whatever a host puts on the space's
// ports giving finite samples, live or rendering.
#include "plugins/common/LineEngine.h"
#include "plugins/common/LineParameters.h"
#include "plugins/lv2/Lv2LinePorts.h"
#include "tests/plugins/common/LineTestSupport.h"
#include "transmission/codecs/CodecCatalogue.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <thread>
#include <vector>

namespace
{
using namespace plugins;

constexpr double kRate = 48000.0;
constexpr std::size_t kBlock = 256;

const LV2_Descriptor* lineDescriptor(std::uint32_t channels)
{
    static void* const library = ::dlopen(CRUMLET_LV2_BINARY, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
        return nullptr;
    const auto descriptorAt = reinterpret_cast<LV2_Descriptor_Function>(::dlsym(library, "lv2_descriptor"));
    const char* uri = lv2line::kVariants[channels == 1 ? 0 : 1].uri;
    for (std::uint32_t i = 0; descriptorAt != nullptr && descriptorAt(i) != nullptr; ++i)
        if (std::strcmp(descriptorAt(i)->URI, uri) == 0)
            return descriptorAt(i);
    return nullptr;
}

// A host's URID map: each URI its place in a list.
LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri)
{
    auto& uris = *static_cast<std::vector<std::string>*>(handle);
    const auto found = std::find(uris.begin(), uris.end(), uri);
    if (found != uris.end())
        return static_cast<LV2_URID>(found - uris.begin() + 1);
    uris.emplace_back(uri);
    return static_cast<LV2_URID>(uris.size());
}

// One instance with every port connected: the controls, the audio, the latency and the
// freewheeling; the host's largest buffer told as an option unless it is 0.
class LineInstance
{
public:
    LineInstance(std::uint32_t channels, const LineValues& values, float freewheel, std::int32_t hostFrames = kBlock)
        : controls(values), freewheel(freewheel), m_descriptor(lineDescriptor(channels)), m_channels(channels),
          m_in(channels, std::vector<float>(kBlock)), m_out(channels, std::vector<float>(kBlock)),
          m_hostFrames(hostFrames)
    {
        if (m_descriptor == nullptr)
            return;
        LV2_URID_Map map{&m_uris, mapUri};
        const LV2_Options_Option options[] = {
            {LV2_OPTIONS_INSTANCE, 0, mapUri(&m_uris, LV2_BUF_SIZE__maxBlockLength), sizeof(std::int32_t),
             mapUri(&m_uris, LV2_ATOM__Int), &m_hostFrames},
            {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
        const LV2_Feature mapFeature{LV2_URID__map, &map};
        const LV2_Feature optionsFeature{LV2_OPTIONS__options, const_cast<LV2_Options_Option*>(options)};
        const LV2_Feature* const told[] = {&mapFeature, &optionsFeature, nullptr};
        const LV2_Feature* const untold[] = {nullptr};
        m_handle = m_descriptor->instantiate(m_descriptor, kRate, CRUMLET_LV2_BUNDLE, hostFrames > 0 ? told : untold);
        if (m_handle == nullptr)
            return;
        for (std::uint32_t i = 0; i < kLineParameterCount; ++i)
            m_descriptor->connect_port(m_handle, lv2line::kFirstControl + i, &controls[i]);
        for (std::uint32_t c = 0; c < channels; ++c)
        {
            m_descriptor->connect_port(m_handle, lv2line::kFirstAudio + c, m_in[c].data());
            m_descriptor->connect_port(m_handle, lv2line::kFirstAudio + channels + c, m_out[c].data());
        }
        m_descriptor->connect_port(m_handle, lv2line::latencyPort(channels), &latency);
        m_descriptor->connect_port(m_handle, lv2line::freewheelPort(channels), &this->freewheel);
        m_descriptor->activate(m_handle);
    }
    ~LineInstance()
    {
        if (m_handle != nullptr)
        {
            m_descriptor->deactivate(m_handle);
            m_descriptor->cleanup(m_handle);
        }
    }
    LineInstance(const LineInstance&) = delete;
    LineInstance& operator=(const LineInstance&) = delete;

    bool made() const { return m_handle != nullptr; }

    // One run of kBlock frames from `x` at `at`, the output written back there.
    void run(std::vector<std::vector<float>>& x, std::size_t at)
    {
        for (std::uint32_t c = 0; c < m_channels; ++c)
            std::copy_n(x[c].data() + at, kBlock, m_in[c].data());
        m_descriptor->run(m_handle, kBlock);
        for (std::uint32_t c = 0; c < m_channels; ++c)
            std::copy_n(m_out[c].data(), kBlock, x[c].data() + at);
    }

    LineValues controls;
    float freewheel;
    float latency = -1.f;

private:
    const LV2_Descriptor* m_descriptor;
    LV2_Handle m_handle = nullptr;
    std::uint32_t m_channels;
    std::vector<std::vector<float>> m_in, m_out;
    std::int32_t m_hostFrames;
    std::vector<std::string> m_uris;
};
} // namespace

TEST(Lv2LineSpace, ThePortsChooseTheSpaceAndTheOutputIsTheLineInItLaterByTheReportedLatency)
{
    // Rendering (the freewheeling port at 1): the same samples as the engine in process with
    // the same values and the host's largest buffer; a host that does not say it gets the
    // plugin's own call size.
    for (std::uint32_t channels : {1u, 2u})
    {
        for (std::int32_t hostFrames : {static_cast<std::int32_t>(kBlock), 0})
        {
            LineValues values = defaultLineValues();
            values[kLineSpace] = line_test::spaceValue("station");
            values[kLineMix] = 45.f;
            values[kLineDistance] = 12.f;
            LineInstance plugin(channels, values, 1.f, hostFrames);
            ASSERT_TRUE(plugin.made()) << CRUMLET_LV2_BINARY;
            auto x = line_test::stereoSpeech(kRate, 1.5);
            x.resize(channels);
            for (auto& channel : x)
                channel.resize(channel.size() / kBlock * kBlock);
            const auto input = x;
            for (std::size_t at = 0; at < x[0].size(); at += kBlock)
                plugin.run(x, at);
            // No codec: the latency is the space's alone, a block of the largest buffer.
            const std::size_t largest = hostFrames > 0 ? kBlock : lv2line::kMostFramesPerCall;
            EXPECT_EQ(plugin.latency, static_cast<float>(largest - 1));

            LineEngine engine(lineSetupOf(values), kRate, channels, largest, 0);
            const auto expected = line_test::runEngine(engine, input, kBlock);
            std::size_t differing = 0;
            double energy = 0;
            for (std::uint32_t c = 0; c < channels; ++c)
                for (std::size_t i = 0; i < x[c].size(); ++i)
                {
                    differing += x[c][i] != expected[c][i] ? 1 : 0;
                    energy += static_cast<double>(x[c][i]) * x[c][i];
                }
            EXPECT_EQ(differing, 0u) << channels << " channels, largest buffer " << largest;
            EXPECT_GT(energy, 1.0);
        }
    }
}

TEST(Lv2LineSpace, ASpaceChosenWhileRunningReachesTheLatencyPort)
{
    // Live (the freewheeling port at 0): GSM alone, then the church; the port tells GSM's
    // latency, then that and the space's. The new line is made on the plugin's worker while
    // the runs go on (waited for here, up to ten seconds, by the host's clock).
    if (!transmission::codecEntry(transmission::CodecKind::Gsm).available)
        GTEST_SKIP() << "needs GSM";
    LineValues values = line_test::valuesFor("gsm");
    LineInstance plugin(2, values, 0.f);
    ASSERT_TRUE(plugin.made());
    std::vector<std::vector<float>> x(2, std::vector<float>(kBlock, 0.1f));
    plugin.run(x, 0);
    const float gsm = static_cast<float>(LineEngine::measureLatency(transmission::parseCodec("gsm"), kRate));
    EXPECT_EQ(plugin.latency, gsm);
    plugin.controls[kLineSpace] = line_test::spaceValue("church");
    const float withSpace = gsm + static_cast<float>(kBlock - 1);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (plugin.latency != withSpace && std::chrono::steady_clock::now() < end)
    {
        plugin.run(x, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(plugin.latency, withSpace);
}

TEST(Lv2LineSpace, AnythingOnTheSpacesPortsGivesFiniteSamples)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float bad[] = {std::nanf(""), inf, -inf, 1e30f, -1e30f, 3.7f};
    auto speech = line_test::stereoSpeech(kRate, 0.5);
    for (float freewheel : {0.f, 1.f, std::nanf("")})
        for (float value : bad)
        {
            LineValues values = defaultLineValues();
            values[kLineSpace] = value;
            values[kLineMix] = value;
            values[kLineDistance] = value;
            LineInstance plugin(2, values, freewheel);
            ASSERT_TRUE(plugin.made());
            auto x = speech;
            for (std::size_t at = 0; at + kBlock <= x[0].size(); at += kBlock)
            {
                // Moved while running too.
                if (at == 40 * kBlock)
                    plugin.controls[kLineMix] = -value;
                plugin.run(x, at);
            }
            for (const auto& channel : x)
                for (float s : channel)
                    ASSERT_TRUE(std::isfinite(s)) << value << " freewheel " << freewheel;
            EXPECT_TRUE(plugin.latency == 0.f || plugin.latency == static_cast<float>(kBlock - 1)) << plugin.latency;
        }
}
