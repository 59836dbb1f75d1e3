// crumlet: the command-line front of the stand-in host.
#include "cli/ArtworkCommand.h"
#include "cli/BankCommand.h"
#include "cli/EffectHost.h"
#include "cli/ParamsCommand.h"
#include "cli/PlotCommand.h"
#include "cli/PresetsCommand.h"
#include "cli/RenderCommand.h"
#include "cli/SimsCommand.h"
#include "cli/UsageError.h"

#include <CLI/CLI.hpp>

#include <cstdio>

namespace
{
void addSettingsOptions(CLI::App* command, std::vector<std::string>& assignments, std::string& preset,
                        std::string& bankFile)
{
    command->add_option("--set", assignments,
                        "NAME=VALUE: a property in its units, a list index or entry's text, or on/off")
        ->allow_extra_args(false);
    command->add_option("--preset", preset, "A shipped preset's name (see `crumlet presets`) or a preset file");
    command->add_option("--bank", bankFile, "Start from a 139-byte parameter block file");
}
} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Crumlet: lo-fi device simulation, run as the host runs it"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "crumlet 0.1.0");
    std::string modulePath;
    app.add_option("--module", modulePath, "The effect's module to load (default: the one built with the tool)");

    RenderOptions render;
    CLI::App* renderCommand = app.add_subcommand("render", "Render audio through the effect");
    renderCommand->add_option("--in", render.inputs, "Input files or folders (default: the built-in demo)");
    renderCommand->add_option("--out", render.output, "Output file; .wav is 32-bit float unless --format says");
    renderCommand->add_option("--out-dir", render.outputDir, "Output folder for several inputs");
    addSettingsOptions(renderCommand, render.assignments, render.preset, render.bankFile);
    renderCommand->add_option("--save-preset", render.savePreset, "Also write the settings to a preset file");
    renderCommand->add_option("--block", render.blockFrames, "Frames per buffer")->capture_default_str();
    renderCommand->add_option("--format", render.sampleFormat, "Sample format: float, pcm16 or pcm24");
    renderCommand->add_option("--jobs,-j", render.jobs, "Files rendered at once (default: one per core)");
    renderCommand->add_flag("--force", render.force, "Overwrite existing outputs in --out-dir");
    renderCommand->add_flag("--quiet,-q", render.quiet, "Print nothing but errors");

    BankOptions bank;
    CLI::App* bankCommand = app.add_subcommand("bank", "Write the 139-byte parameter block");
    bankCommand->add_option("--out", bank.output, "Block file to write")->required();
    addSettingsOptions(bankCommand, bank.assignments, bank.preset, bank.bankFile);

    bool presetsJson = false;
    CLI::App* presetsCommand = app.add_subcommand("presets", "List the shipped presets");
    presetsCommand->add_flag("--json", presetsJson, "As JSON");

    bool paramsJson = false;
    CLI::App* paramsCommand = app.add_subcommand("params", "List the effect's properties");
    paramsCommand->add_flag("--json", paramsJson, "As JSON, for tools");

    bool simsJson = false;
    CLI::App* simsCommand = app.add_subcommand("sims", "List the device models");
    simsCommand->add_flag("--json", simsJson, "As JSON, for tools");

    PlotOptions plot;
    CLI::App* plotCommand = app.add_subcommand("plot", "Draw a response plot as PNG, or print its curves");
    plotCommand->add_flag("--filters", plot.filters, "The main plot: Filters pair and EQ band");
    plotCommand->add_option("--sim", plot.sim, "A device model's summed response, by name or index");
    plotCommand->add_option("--tuning", plot.tuning, "SIMTuning for --sim, percent")->capture_default_str();
    plotCommand->add_option("--rate", plot.rate, "Design rate for --sim, Hz")->capture_default_str();
    plotCommand->add_option("--out", plot.output, "PNG file to write");
    plotCommand->add_flag("--csv", plot.csv, "Print the curves as CSV instead, one row per grid frequency");
    addSettingsOptions(plotCommand, plot.assignments, plot.preset, plot.bankFile);
    std::string artworkDir;
    CLI::App* artworkCommand = app.add_subcommand("artwork", "Write the editor's images and a contact sheet");
    artworkCommand->add_option("--out", artworkDir, "Folder to write NAME.png and contact-sheet.png into")->required();

    try
    {
        app.parse(argc, argv);
    }
    catch (const CLI::CallForHelp& e)
    {
        return app.exit(e);
    }
    catch (const CLI::CallForVersion& e)
    {
        return app.exit(e);
    }
    catch (const CLI::ParseError& e)
    {
        app.exit(e);
        return kExitUsage;
    }

    if (!modulePath.empty())
        EffectHost::setModulePath(modulePath);
    try
    {
        if (renderCommand->parsed())
            return runRender(render);
        if (bankCommand->parsed())
            return runBank(bank);
        if (presetsCommand->parsed())
            return runPresets(presetsJson);
        if (paramsCommand->parsed())
            return runParams(paramsJson);
        if (simsCommand->parsed())
            return runSims(simsJson);
        if (plotCommand->parsed())
            return runPlot(plot);
        if (artworkCommand->parsed())
            return runArtwork(artworkDir);
    }
    catch (const UsageError& e)
    {
        std::fprintf(stderr, "crumlet: %s\n", e.what());
        return kExitUsage;
    }
    catch (const IoError& e)
    {
        std::fprintf(stderr, "crumlet: %s\n", e.what());
        return kExitIoError;
    }
    return kExitUsage;
}
