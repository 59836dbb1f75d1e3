// Shared by the editor tests: a plugin object over the stand-in host's property set with
// its editor open (in a dialog without a window on screen, so nothing needs a display),
// meter records, and a count of allocations per thread.
#pragma once

#include "editor/PluginEditor.h"
#include "host/OrvexCrumletPlugin.h"
#include "platform/WindowMessages.h"
#include "quarl/HostWindow.h"
#include "quarl/PropertySet.h"
#include "tests/host/ModuleTestSupport.h"
#include "tests/support/AllocationCount.h"
#include "tests/support/VirtualDisplay.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace editor_test
{
extern VirtualDisplay* g_display; // the tests' X server

struct PluginDeleter
{
    void operator()(OrvexCrumletPlugin* p) const { p->DestroyPlugin(); }
};
using PluginPtr = std::unique_ptr<OrvexCrumletPlugin, PluginDeleter>;

// A meter record of `channels` channels, every channel holding `values`.
inline std::vector<std::uint8_t> meterRecord(std::uint32_t channels, const std::array<float, 7>& values)
{
    std::vector<std::uint8_t> record(4 + 28 * static_cast<std::size_t>(channels));
    std::memcpy(record.data(), &channels, 4);
    for (std::uint32_t c = 0; c < channels; ++c)
        std::memcpy(record.data() + 4 + 28 * c, values.data(), 28);
    return record;
}

// Drags a component's centre by (dx, dy) with the mouse.
inline void drag(juce::Component& c, int dx, int dy)
{
    auto source = juce::Desktop::getInstance().getMainMouseSource();
    const juce::Point<float> from = c.getLocalBounds().getCentre().toFloat();
    const auto t = juce::Time::getCurrentTime();
    const auto left = juce::ModifierKeys(juce::ModifierKeys::leftButtonModifier);
    auto event = [&](juce::Point<float> at) {
        return juce::MouseEvent(source, at, left, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, &c, &c, t, from, t, 1, false);
    };
    c.mouseDown(event(from));
    for (int i = 1; i <= 4; ++i)
        c.mouseDrag(event(from + juce::Point<float>(dx * i / 4.0f, dy * i / 4.0f)));
    c.mouseUp(event(from + juce::Point<float>(static_cast<float>(dx), static_cast<float>(dy))));
}

// Clicks a button with the mouse, as a press and release inside it.
inline void click(juce::Button& b)
{
    auto source = juce::Desktop::getInstance().getMainMouseSource();
    const juce::Point<float> at = b.getLocalBounds().getCentre().toFloat();
    const auto t = juce::Time::getCurrentTime();
    const juce::MouseEvent down(source, at, juce::ModifierKeys(juce::ModifierKeys::leftButtonModifier), 1.0f, 0, 0,
                                0, 0, &b, &b, t, at, t, 1, false);
    const juce::MouseEvent up(source, at, juce::ModifierKeys(), 1.0f, 0, 0, 0, 0, &b, &b, t, at, t, 1, false);
    static_cast<juce::Component&>(b).mouseDown(down);
    static_cast<juce::Component&>(b).mouseUp(up);
}

using crumlet_test::threadAllocations;

class OpenEditor : public ::testing::Test
{
protected:
    OpenEditor() : properties(crumlet_module_test::shippedDescription()), plugin(new OrvexCrumletPlugin())
    {
        plugin->AttachPropertySet(&properties);
        properties.setChangeListener(
            [this](const GUID& platform, LPCWSTR name) { plugin->OnPropertyChanged(platform, name); });
        send(WM_INITDIALOG);
        editor = plugin->openEditor();
    }

    ~OpenEditor() override
    {
        send(WM_DESTROY);
        properties.setChangeListener({});
    }

    void send(UINT message)
    {
        LRESULT result = 0;
        plugin->HandleWindowMessage(0, dialog.handle(), message, 0, 0, result);
    }

    // One tick of the editor's timer.
    void tick() { editor->timerCallback(); }

    template <typename T>
    T* control(const char* layoutId)
    {
        auto* c = dynamic_cast<T*>(editor->findControl(layoutId));
        EXPECT_NE(c, nullptr) << layoutId;
        return c;
    }

    double value(const char* name) const { return properties.value(name); }

    quarl::PropertySet properties;
    quarl::HostWindow dialog;
    PluginPtr plugin;
    PluginEditor* editor = nullptr;
};
} // namespace editor_test
