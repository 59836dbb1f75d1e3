// The editor in a real window: the stand-in host's X11 settings dialog with the editor as
// its child, opened and closed as the host does, and `crumlet editor --screenshot`.
#include "editor/EditorLayout.h"
#include "editor/artwork/Artwork.h"
#include "platform/ScreenDevice.h"
#include "widgets/PluginEditorContainer.h"
#include "quarl/SettingsDialog.h"
#include "tests/editor/EditorTestSupport.h"
#include "widgets/JuceCount_Quarl.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace editor_test;
namespace fs = std::filesystem;

namespace
{
class InDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (g_display == nullptr || !g_display->isRunning())
            GTEST_SKIP() << "no X server: " << (g_display != nullptr ? g_display->error() : "");
    }
};

// Share of the pixels outside every control (of the layout shown) that differ from the
// background by more than a few levels.
double backgroundMismatch(const juce::Image& shot, const juce::Image& background, EditorLayout::Channels layout)
{
    juce::RectangleList<int> controls;
    for (const EditorLayout::Control& c : EditorLayout::controls(layout))
        controls.add({c.bounds.x, c.bounds.y, c.bounds.w, c.bounds.h});
    int compared = 0, differing = 0;
    for (int y = 0; y < background.getHeight(); y += 3)
        for (int x = 0; x < background.getWidth(); x += 3)
        {
            if (controls.containsPoint({x, y}))
                continue;
            const juce::Colour a = shot.getPixelAt(x, y), b = background.getPixelAt(x, y);
            ++compared;
            if (std::abs(a.getRed() - b.getRed()) + std::abs(a.getGreen() - b.getGreen()) +
                    std::abs(a.getBlue() - b.getBlue()) > 6)
                ++differing;
        }
    return compared > 0 ? static_cast<double>(differing) / compared : 1.0;
}

juce::Image toImage(const std::vector<std::uint32_t>& pixels, int w, int h)
{
    juce::Image image(juce::Image::RGB, w, h, false);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixelAt(x, y, juce::Colour(pixels[static_cast<std::size_t>(y * w + x)]));
    return image;
}

void pumpFor(quarl::SettingsDialog& dialog, int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end)
    {
        dialog.pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// A mono 16-bit WAV of a 440 Hz tone at -6 dBFS.
void writeMonoTone(const fs::path& path, int seconds)
{
    const int rate = 48000, frames = rate * seconds;
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    u32(36 + frames * 2);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    out.write("data", 4);
    u32(frames * 2);
    for (int i = 0; i < frames; ++i)
        u16(static_cast<std::uint16_t>(static_cast<std::int16_t>(16000 * std::sin(2 * 3.14159265 * 440 * i / rate))));
}

int runTool(const std::string& arguments)
{
    const std::string command = std::string(CRUMLET_TOOL) + " " + arguments + " >/dev/null 2>&1";
    return std::system(command.c_str());
}
} // namespace

TEST_F(InDialog, EditorBecomesTheDialogsChildAndPaintsTheBackground)
{
    quarl::PropertySet properties(crumlet_module_test::shippedDescription());
    PluginPtr plugin(new OrvexCrumletPlugin());
    plugin->AttachPropertySet(&properties);
    quarl::SettingsDialog dialog;
    dialog.open(*plugin, "Crumlet test");
    ASSERT_TRUE(plugin->hasEditor());
    EXPECT_EQ(dialog.width(), 749);
    EXPECT_EQ(dialog.height(), 565);
    pumpFor(dialog, 300);
    const juce::Image shot = toImage(dialog.capture(), dialog.width(), dialog.height());
    EXPECT_LT(backgroundMismatch(shot, Artwork::decodeNamed("Crumlet_Stereo_png"), EditorLayout::Channels::Stereo),
              0.01);
    dialog.close();
    EXPECT_FALSE(plugin->hasEditor());
    EXPECT_EQ(JuceCount_Quarl::liveCount(), 0);
}

TEST_F(InDialog, MouseInTheWindowDrivesTheControls)
{
    quarl::PropertySet properties(crumlet_module_test::shippedDescription());
    PluginPtr plugin(new OrvexCrumletPlugin());
    plugin->AttachPropertySet(&properties);
    properties.setChangeListener(
        [&plugin](const GUID& platform, LPCWSTR name) { plugin->OnPropertyChanged(platform, name); });
    quarl::SettingsDialog dialog;
    dialog.open(*plugin, "Crumlet");
    pumpFor(dialog, 100);
    auto centre = [](const char* id) {
        const auto& b = EditorLayout::findControl(id)->bounds;
        return juce::Point<int>(b.x + b.w / 2, b.y + b.h / 2);
    };
    const auto eqOn = centre("EQEnable");
    dialog.click(eqOn.x, eqOn.y);
    EXPECT_EQ(properties.value("EQEnable"), 0);
    const auto hpf24 = centre("FiltersHPFSlope.24");
    dialog.click(hpf24.x, hpf24.y);
    EXPECT_EQ(properties.value("FiltersHPFSlope"), 1);
    const auto next = centre("SIMType.next");
    dialog.click(next.x, next.y);
    EXPECT_EQ(properties.value("SIMType"), 1);
    const auto gain = centre("EQGain");
    dialog.drag(gain.x, gain.y, gain.x, gain.y - 40);
    EXPECT_GT(properties.value("EQGain"), 0.0);
    ASSERT_FALSE(properties.changeGroupEvents().empty());
    EXPECT_EQ(properties.changeGroupEvents().back().label, "EQGain");
    properties.setChangeListener({});
    dialog.close();
}

TEST_F(InDialog, ScaleFollowsTheServersDensity)
{
    auto dpi = [] {
        HDC screen = GetDC(nullptr);
        EXPECT_NE(screen, nullptr);
        const int value = GetDeviceCaps(screen, LOGPIXELSX);
        EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
        return value;
    };
    EXPECT_EQ(dpi(), 96) << "a server without the resource";
    quarl::PropertySet properties(crumlet_module_test::shippedDescription());
    PluginPtr plugin(new OrvexCrumletPlugin());
    plugin->AttachPropertySet(&properties);
    {
        quarl::SettingsDialog dialog;
        dialog.setScreenDpi(144);
        EXPECT_EQ(dpi(), 144);
        dialog.open(*plugin, "Crumlet at 144 dpi");
        PluginEditor* editor = plugin->openEditor();
        ASSERT_NE(editor, nullptr);
        EXPECT_FLOAT_EQ(editor->getDisplayScale(), 1.5f);
        EXPECT_EQ(editor->getWidth(), 1123);
        EXPECT_EQ(editor->getHeight(), 847);
        EXPECT_EQ(dialog.width(), 1123) << "the dialog fits the scaled editor";
        pumpFor(dialog, 100);
        dialog.close();
    }
    EXPECT_EQ(dpi(), 96) << "the dialog put the server's setting back";
}

TEST_F(InDialog, OpenCloseRepeatedlyAndTwoAtOnce)
{
    quarl::PropertySet first(crumlet_module_test::shippedDescription()), second(crumlet_module_test::shippedDescription());
    PluginPtr a(new OrvexCrumletPlugin()), b(new OrvexCrumletPlugin());
    a->AttachPropertySet(&first);
    b->AttachPropertySet(&second);
    quarl::SettingsDialog one, two;
    for (int round = 0; round < 3; ++round)
    {
        one.open(*a, "first");
        pumpFor(one, 50);
        EXPECT_EQ(JuceCount_Quarl::liveCount(), 1);
        two.open(*b, "second");
        pumpFor(two, 50);
        EXPECT_EQ(JuceCount_Quarl::liveCount(), 2);
        one.close();
        EXPECT_NE(juce::MessageManager::getInstanceWithoutCreating(), nullptr);
        pumpFor(two, 30);
        two.close();
        EXPECT_EQ(JuceCount_Quarl::liveCount(), 0);
        EXPECT_EQ(juce::MessageManager::getInstanceWithoutCreating(), nullptr) << "round " << round;
    }
}

TEST_F(InDialog, ToolWritesScreenshotsOfTheDefaultAndAChangedState)
{
    const fs::path dir = fs::path(CRUMLET_SCREENSHOT_DIR);
    fs::create_directories(dir);
    const fs::path stereo = dir / "editor-default.png", mono = dir / "editor-phone-mono.png";
    fs::remove(stereo);
    fs::remove(mono);
    ASSERT_EQ(runTool("editor --screenshot " + stereo.string() + " --after 500"), 0);
    const juce::Image first = juce::ImageFileFormat::loadFrom(juce::File(stereo.string()));
    ASSERT_TRUE(first.isValid());
    EXPECT_EQ(first.getWidth(), 749);
    EXPECT_EQ(first.getHeight(), 565);
    EXPECT_GT(fs::file_size(stereo), 100000u);
    EXPECT_LT(backgroundMismatch(first, Artwork::decodeNamed("Crumlet_Stereo_png"), EditorLayout::Channels::Stereo),
              0.01);

    // The demo's level lights the input meters: the playback's records reached them.
    const juce::Image stereoBackground = Artwork::decodeNamed("Crumlet_Stereo_png");
    int lit = 0;
    for (int y = 49; y < 184; ++y)
        for (int x = 585; x < 606; ++x)
            lit += first.getPixelAt(x, y) != stereoBackground.getPixelAt(x, y) ? 1 : 0;
    EXPECT_GT(lit, 200);

    const fs::path tone = dir / "mono-tone.wav";
    writeMonoTone(tone, 1);
    ASSERT_EQ(runTool("editor --in " + tone.string() + " --preset \"Phone call\" --set SIMType=\"House Phone\" --screenshot " +
                      mono.string() + " --after 400"),
              0);
    const juce::Image second = juce::ImageFileFormat::loadFrom(juce::File(mono.string()));
    ASSERT_TRUE(second.isValid());
    EXPECT_LT(backgroundMismatch(second, Artwork::decodeNamed("Crumlet_Mono_png"), EditorLayout::Channels::Mono), 0.01);
    // The chosen device's picture: frame 92 of the strip.
    const juce::Image strip = Artwork::decodeNamed("SIM_Strip_r1_png");
    int same = 0, compared = 0;
    for (int y = 0; y < 96; y += 4)
        for (int x = 0; x < 137; x += 4, ++compared)
            if (second.getPixelAt(119 + x, 60 + y) == strip.getPixelAt(92 * 137 + x, y))
                ++same;
    EXPECT_GT(same, compared * 9 / 10);
}
