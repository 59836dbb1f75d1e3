#include "cli/commands/EditorCommand.h"

#include "cli/render/EffectHost.h"
#include "cli/io/LivePlayback.h"
#include "cli/io/OutputFiles.h"
#include "cli/settings/Presets.h"
#include "cli/pictures/PictureParts.h"
#include "cli/settings/SettingsOptions.h"
#include "cli/io/QuotedText.h"
#include "cli/settings/UsageError.h"
#include "quarl/PluginInstance.h"
#include "quarl/SettingsDialog.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

namespace
{
constexpr auto kLoopPeriod = std::chrono::milliseconds(5);

juce::Image toImage(const std::vector<std::uint32_t>& pixels, int width, int height)
{
    juce::Image image(juce::Image::RGB, width, height, false, juce::SoftwareImageType());
    juce::Image::BitmapData data(image, juce::Image::BitmapData::writeOnly);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            data.setPixelColour(x, y, juce::Colour(pixels[static_cast<std::size_t>(y * width + x)]));
    return image;
}

// The property set as settings, to save as a preset.
ParameterSettings settingsOf(quarl::PluginInstance& instance)
{
    ParameterSettings settings(instance.properties().description());
    settings.loadBlock(instance.writeBankBlock());
    return settings;
}
} // namespace

int runEditor(const EditorOptions& options)
{
    EffectHost& host = EffectHost::instance();
    const ParameterSettings settings =
        settingsFrom(host.description(), options.bankFile, options.preset, options.assignments);
    if (!options.screenshot.empty() && options.afterMs < 0)
        throw UsageError("--after takes a number of milliseconds, 0 or more");
    if (options.scale != 0.0 && (options.scale < 0.5 || options.scale > 4.0))
        throw UsageError("--scale takes a factor from 0.5 to 4");
    // The settings are saved when the window closes: find out now that they cannot be.
    if (!options.savePreset.empty())
        requireCreatable(options.savePreset);
    const LoopedInput input = LoopedInput::load(options.input);

    quarl::PluginInstance instance(host.module());
    settings.applyTo(instance.properties());
    LivePlayback playback(instance.plugin(), input, instance.writeBankBlock());

    // Every change made in the window: the plugin object hears of it, as from the host,
    // and the effect takes the new settings at its next buffer.
    instance.properties().setChangeListener([&instance, &playback](const GUID& platform, LPCWSTR name) {
        instance.plugin().OnPropertyChanged(platform, name);
        playback.setBlock(instance.writeBankBlock());
    });

    std::unique_ptr<quarl::SettingsDialog> dialog;
    try
    {
        dialog = std::make_unique<quarl::SettingsDialog>();
    }
    catch (const std::exception& e)
    {
        throw IoError(std::string("cannot open the editor's window: ") + e.what());
    }
    if (options.scale > 0.0)
        dialog->setScreenDpi(static_cast<int>(std::lround(options.scale * 96.0)));
    dialog->open(instance.plugin(), "Crumlet");
    playback.start();
    if (playback.deviceName().empty())
        std::fprintf(stderr, "crumlet: no audio output; playing silently\n");

    const std::uint64_t shotFrame = static_cast<std::uint64_t>(options.afterMs) * input.sampleRate / 1000;
    int status = 0;
    while (dialog->pump())
    {
        if (!options.screenshot.empty() && playback.framesPlayed() >= shotFrame)
        {
            // One more turn so that what the last records moved is painted.
            dialog->pump();
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
            dialog->pump();
            writePng(toImage(dialog->capture(), dialog->width(), dialog->height()), options.screenshot);
            std::printf("%s: the editor, %d x %d, after %d ms of audio\n", printable(options.screenshot).c_str(),
                        dialog->width(), dialog->height(), options.afterMs);
            break;
        }
        std::this_thread::sleep_for(kLoopPeriod);
    }
    playback.stop();
    dialog->close();
    instance.properties().setChangeListener({});
    if (!options.savePreset.empty())
        savePreset(settingsOf(instance), options.savePreset, options.force);
    return status;
}
