// crumlet.exe: the command-line tool's Windows form. It loads OrvexCrumlet.dll as the host
// does and drives it through the stand-in host (QuarlSoundEngine.dll beside it):
//
//   crumlet render [--preset-file FILE.json] [--set NAME=VALUE ...] [--block N] --out FILE.f32
//   crumlet bank   [--preset-file FILE.json] [--set NAME=VALUE ...] --out FILE
//   crumlet names
//   crumlet editor [--preset-file FILE.json] [--set ...] [--screenshot FILE.png [--after MS]]
//   crumlet compare FILE.f32 REFERENCE.f32
//   crumlet demo --out FILE.f32
//
// `render` plays the built-in demo through the effect and writes the output, tail included,
// as raw little-endian 32-bit float samples (interleaved), to compare with other builds
// sample for sample. `bank` writes the 139-byte parameter block. `names` prints each
// property's display name from the module's string table. `editor` opens the effect's
// editor in a settings dialog made from the module's dialog resource. `compare` tells how
// far two raw float files lie apart: identical, or the relative RMS of their difference
// (exit code 1 above 1e-6, or when their lengths differ). `demo` writes the built-in demo
// itself (48 kHz stereo, raw float, interleaved), the input `render` plays, for a host of
// another make to play through the module.
#include "cli/signals/DemoSignal.h"
#include "cli/settings/ParameterSettings.h"
#include "quarl/PluginInstance.h"
#include "quarl/SettingsDialog.h"
#include "windows/crumlet/PngFile.h"
#include "windows/crumlet/WindowsHost.h"

#include <CLI/CLI.hpp>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>

namespace
{
struct SettingsOptions
{
    std::string presetFile;
    std::vector<std::string> assignments;

    void addTo(CLI::App& command)
    {
        command.add_option("--preset-file", presetFile, "a preset file (JSON: property name to value)");
        command.add_option("--set", assignments, "NAME=VALUE, after the preset");
    }

    ParameterSettings settingsFor(const WindowsHost& host) const
    {
        ParameterSettings settings(host.description());
        if (!presetFile.empty())
            applyPresetFile(settings, presetFile);
        for (const std::string& a : assignments)
            settings.assign(a);
        return settings;
    }
};

void writeBytes(const std::string& path, const void* data, std::size_t bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(bytes));
    if (!out)
        throw std::runtime_error("cannot write \"" + path + "\"");
}

std::string narrow(const std::basic_string<WCHAR>& wide)
{
    std::string out;
    for (WCHAR c : wide)
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

std::vector<float> readFloats(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        throw std::runtime_error("cannot read \"" + path + "\"");
    std::vector<float> samples(static_cast<std::size_t>(in.tellg()) / sizeof(float));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size() * sizeof(float)));
    return samples;
}

int compareFiles(const std::string& path, const std::string& referencePath)
{
    const std::vector<float> a = readFloats(path), b = readFloats(referencePath);
    if (a.size() != b.size())
    {
        std::cout << path << ": " << a.size() << " samples, the reference " << b.size() << '\n';
        return 1;
    }
    double difference = 0, reference = 0, largest = 0;
    std::size_t first = a.size(), differing = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
    {
        const double d = static_cast<double>(a[i]) - static_cast<double>(b[i]);
        if (std::memcmp(&a[i], &b[i], sizeof(float)) != 0)
        {
            first = std::min(first, i);
            ++differing;
        }
        difference += d * d;
        reference += static_cast<double>(b[i]) * static_cast<double>(b[i]);
        largest = std::max(largest, std::fabs(d));
    }
    if (differing == 0)
    {
        std::cout << path << ": identical (" << a.size() << " samples)\n";
        return 0;
    }
    const double relativeRms = reference > 0 ? std::sqrt(difference / reference) : std::sqrt(difference);
    std::cout << path << ": " << differing << " of " << a.size() << " samples differ, the first at " << first
              << "; largest difference " << largest << ", relative RMS " << relativeRms << '\n';
    return relativeRms <= 1e-6 ? 0 : 1;
}

int openEditor(const WindowsHost& host, const ParameterSettings& settings, const std::string& screenshot,
               int afterMs)
{
    quarl::PluginInstance instance(host.module());
    settings.applyTo(instance.properties());
    quarl::SettingsDialog dialog;
    dialog.open(instance.plugin(), "Crumlet");
    const DWORD until = GetTickCount() + static_cast<DWORD>(afterMs);
    while (dialog.pump() && (screenshot.empty() || GetTickCount() < until))
        Sleep(10);
    if (!screenshot.empty())
        writePng(screenshot, dialog.capture(), dialog.width(), dialog.height());
    dialog.close();
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"crumlet: the Crumlet effect through its Windows module"};
    app.require_subcommand(1);
    // Paths may start with a slash (wine passes Unix paths on): no "/option" forms.
    app.allow_windows_style_options(false);
    std::string modulePath;
    app.add_option("--module", modulePath, "the module DLL (default ..\\module\\OrvexCrumlet.dll)");

    SettingsOptions renderSettings, bankSettings, editorSettings;
    std::string renderOut, bankOut, demoOut, screenshot;
    std::uint32_t block = 512;
    int afterMs = 1000;
    CLI::App* render = app.add_subcommand("render", "the demo through the effect, as raw float samples");
    renderSettings.addTo(*render);
    render->add_option("--block", block, "frames per buffer")->check(CLI::Range(1, 1 << 16));
    render->add_option("--out", renderOut, "output file (raw 32-bit float)")->required();
    CLI::App* bank = app.add_subcommand("bank", "the parameter block");
    bankSettings.addTo(*bank);
    bank->add_option("--out", bankOut, "output file")->required();
    CLI::App* names = app.add_subcommand("names", "the properties' display names");
    CLI::App* editor = app.add_subcommand("editor", "the editor in the settings dialog");
    editorSettings.addTo(*editor);
    editor->add_option("--screenshot", screenshot, "write the dialog as PNG and close");
    editor->add_option("--after", afterMs, "milliseconds before the screenshot");
    std::vector<std::string> compared;
    CLI::App* compare = app.add_subcommand("compare", "how far two raw float files lie apart");
    compare->add_option("files", compared, "FILE REFERENCE")->expected(2)->required();
    CLI::App* demo = app.add_subcommand("demo", "the built-in demo input, as raw float samples");
    demo->add_option("--out", demoOut, "output file (raw 32-bit float, 48 kHz stereo)")->required();
    CLI11_PARSE(app, argc, argv);

    if (*demo)
    {
        try
        {
            const std::vector<float> samples = DemoSignal::generate();
            writeBytes(demoOut, samples.data(), samples.size() * sizeof(float));
            return 0;
        }
        catch (const std::exception& e)
        {
            std::cerr << "crumlet: " << e.what() << '\n';
            return 1;
        }
    }

    if (*compare)
    {
        try
        {
            return compareFiles(compared[0], compared[1]);
        }
        catch (const std::exception& e)
        {
            std::cerr << "crumlet: " << e.what() << '\n';
            return 1;
        }
    }

    try
    {
        const WindowsHost host(modulePath);
        if (*render)
        {
            const std::vector<float> demo = DemoSignal::generate();
            const std::vector<float> out = host.render(host.bankBlock(renderSettings.settingsFor(host)), demo,
                                                       DemoSignal::kChannels, DemoSignal::kSampleRate, block);
            writeBytes(renderOut, out.data(), out.size() * sizeof(float));
            std::fprintf(stderr, "%s: %zu frames\n", renderOut.c_str(), out.size() / DemoSignal::kChannels);
        }
        else if (*bank)
        {
            const auto bytes = host.bankBlock(bankSettings.settingsFor(host));
            writeBytes(bankOut, bytes.data(), bytes.size());
        }
        else if (*names)
        {
            quarl::PluginInstance instance(host.module());
            for (const auto& property : host.description().properties)
                std::cout << property.name << '\t' << narrow(instance.displayName(property.name)) << '\n';
        }
        else if (*editor)
        {
            return openEditor(host, editorSettings.settingsFor(host), screenshot, afterMs);
        }
    }
    catch (const std::exception& e)
    {
        std::cerr << "crumlet: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
