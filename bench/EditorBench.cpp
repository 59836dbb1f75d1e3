// The effect editor: opening it (WM_INITDIALOG to the first painted frame, off screen), the
// cost of one 30 ms tick with a refresh pending and meters moving, and the cost of a meter
// record to the thread that delivers it.
#include "editor/PluginEditor.h"
#include "host/OrvexCrumletPlugin.h"
#include "platform/WindowMessages.h"
#include "quarl/HostWindow.h"
#include "quarl/MonitorDelivery.h"
#include "quarl/PropertySet.h"
#include "widgets/PluginEditorContainer.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace
{
const quarl::PluginDescription& description()
{
    static const quarl::PluginDescription d = quarl::PluginDescription::load(CRUMLET_DESCRIPTION_SOURCE);
    return d;
}

std::vector<std::uint8_t> record(float level)
{
    std::vector<std::uint8_t> r(4 + 2 * 28);
    const std::uint32_t channels = 2;
    std::memcpy(r.data(), &channels, 4);
    const float values[7] = {level, level * 0.5f, level, 0.01f, 1.0f - level * 0.5f, level, 1.0f - level};
    std::memcpy(r.data() + 4, values, 28);
    std::memcpy(r.data() + 32, values, 28);
    return r;
}

void BM_OpenEditorToFirstFrame(benchmark::State& state)
{
    quarl::PropertySet properties(description());
    quarl::HostWindow dialog;
    for (auto _ : state)
    {
        auto* plugin = new OrvexCrumletPlugin();
        plugin->AttachPropertySet(&properties);
        LRESULT result = 0;
        plugin->HandleWindowMessage(0, dialog.handle(), WM_INITDIALOG, 0, 0, result);
        PluginEditor* editor = plugin->openEditor();
        juce::Image frame(juce::Image::RGB, editor->getWidth(), editor->getHeight(), false);
        juce::Graphics g(frame);
        editor->getParentComponent()->paintEntireComponent(g, false);
        benchmark::DoNotOptimize(frame.getPixelAt(100, 100));
        state.PauseTiming(); // closing (and shutting the framework down) is not opening
        plugin->HandleWindowMessage(0, dialog.handle(), WM_DESTROY, 0, 0, result);
        plugin->DestroyPlugin();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenEditorToFirstFrame)->Unit(benchmark::kMillisecond);

// A plugin object with its editor open in a dialog that is never shown.
struct OpenEditor
{
    OpenEditor() : plugin(new OrvexCrumletPlugin())
    {
        plugin->AttachPropertySet(&properties);
        send(WM_INITDIALOG);
        editor = plugin->openEditor();
    }
    ~OpenEditor()
    {
        send(WM_DESTROY);
        plugin->DestroyPlugin();
    }
    void send(UINT message)
    {
        LRESULT result = 0;
        plugin->HandleWindowMessage(0, dialog.handle(), message, 0, 0, result);
    }

    quarl::PropertySet properties{description()};
    quarl::HostWindow dialog;
    OrvexCrumletPlugin* plugin;
    PluginEditor* editor = nullptr;
};

void BM_TickWithRefreshAndMovingMeters(benchmark::State& state)
{
    OpenEditor open;
    const auto loud = record(0.8f), quiet = record(0.1f);
    float eqFreq = 1000.0f;
    bool flip = false;
    for (auto _ : state)
    {
        // A knob moved since the last tick, and three buffers' records arrived.
        eqFreq = eqFreq > 8000.0f ? 1000.0f : eqFreq * 1.05f;
        state.PauseTiming();
        open.properties.set("EQFreq", eqFreq);
        for (int i = 0; i < 3; ++i)
            quarl::deliverMonitorData(*open.plugin, (flip = !flip) ? loud : quiet);
        state.ResumeTiming();
        open.editor->setRefreshPending(true);
        open.editor->timerCallback();
    }
}
BENCHMARK(BM_TickWithRefreshAndMovingMeters)->Unit(benchmark::kMicrosecond);

// The delivering thread's side: the 45 stereo records a DAW at 32 frames posts between two
// ticks, each handed to the open editor through the plugin object (its operation 24). The
// tick that takes them is not timed. Items: records.
void BM_DeliverMeterRecords(benchmark::State& state)
{
    OpenEditor open;
    const auto loud = record(0.8f), quiet = record(0.1f);
    constexpr int kRecordsPerTick = 45;
    for (auto _ : state)
    {
        for (int i = 0; i < kRecordsPerTick; ++i)
            quarl::deliverMonitorData(*open.plugin, i % 2 == 0 ? loud : quiet);
        state.PauseTiming();
        open.editor->timerCallback();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRecordsPerTick);
}
BENCHMARK(BM_DeliverMeterRecords)->Unit(benchmark::kMicrosecond);
} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    juce::DeletedAtShutdown::deleteAll();
    juce::MessageManager::deleteInstance();
    return 0;
}
