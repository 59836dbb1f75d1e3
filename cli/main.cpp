// crumlet: the command-line front of the stand-in host.
#include "cli/commands/ArtworkCommand.h"
#include "cli/commands/BankCommand.h"
#include "cli/commands/EditorCommand.h"
#include "cli/commands/InfoCommand.h"
#include "cli/render/EffectHost.h"
#include "cli/io/Interruption.h"
#include "cli/commands/ParamsCommand.h"
#include "cli/commands/PlotCommand.h"
#include "cli/commands/PresetsCommand.h"
#include "cli/commands/RenderCommand.h"
#include "cli/commands/SimsCommand.h"
#include "cli/commands/SpacesCommand.h"
#include "cli/settings/UsageError.h"
#include "cli/commands/ValidateCommand.h"
#include "cli/render/DeliveryOptions.h"
#include "cli/render/LineColumns.h"
#include "cli/ToolVersion.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <functional>
#include <utility>

namespace
{
void addSettingsOptions(CLI::App* command, std::vector<std::string>& assignments, std::string& preset,
                        std::string& bankFile)
{
    command->add_option("--set", assignments,
                        "NAME=VALUE ...: a property (any case) in its units (-6dB, 3.4kHz, 50ms), a list entry's text "
                        "(a bare number is the entry with that text, else the index; #N is always index N), or on/off")
        ->allow_extra_args(true);
    command->add_option("--preset", preset, "A shipped preset's name (see `crumlet presets`) or a preset file");
    command->add_option("--bank", bankFile, "Start from a 139-byte parameter block file");
}

// Where a command writes the settings as a preset file, and whether it may replace one there.
void addPresetFileOptions(CLI::App* command, const std::string& option, std::string& path, bool& force,
                          const std::string& help)
{
    command->add_option(option, path, help);
    command->add_flag("--force", force, "Replace an existing preset file");
}

// CLI11 reads an empty value as 0 (or as no value at all), so that `--loudness ''` would
// render without normalising and `--jobs ''` would take one job per core. No option here
// means anything by an empty value, so none takes one.
void refuseEmptyValues(CLI::App& command)
{
    static const CLI::Validator nonEmpty(
        [](std::string& value) { return value.empty() ? std::string("takes a value, not an empty text") : std::string(); },
        "", "NONEMPTY");
    for (CLI::Option* option : command.get_options())
        if (option->get_type_size() != 0)
            option->check(nonEmpty);
    for (CLI::App* sub : command.get_subcommands({}))
        refuseEmptyValues(*sub);
}

// --lines' help, naming every column a line list takes.
std::string lineListHelp()
{
    std::string columns;
    for (const LineColumn& column : lineColumns())
        columns += std::string(columns.empty() ? "" : ", ") + column.name;
    return "Render a line list: CSV with a header row, or JSON lines; columns " + columns + " and any property";
}

int failed(const std::exception& error, int exitCode)
{
    std::fprintf(stderr, "crumlet: %s\n", printable(error.what()).c_str());
    return exitCode;
}
} // namespace

int main(int argc, char** argv)
{
    // Before any thread starts: Ctrl-C and SIGTERM are taken by a watcher thread.
    Interruption::install();
    CLI::App app{"Crumlet: lo-fi device simulation, run as the host runs it"};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string(kToolName) + " " + kToolVersion);
    std::string modulePath;
    app.add_option("--module", modulePath, "The effect's module to load (default: the installed one, else the one built with the tool)");

    RenderOptions render;
    CLI::App* renderCommand = app.add_subcommand("render", "Render audio through the effect");
    renderCommand->add_option("--in", render.inputs, "Input files or folders (default: the built-in demo)");
    renderCommand->add_option("--out", render.output, "Output file; .wav is 32-bit float unless --format says");
    renderCommand->add_option("--out-dir", render.outputDir, "Output folder for several inputs");
    addSettingsOptions(renderCommand, render.assignments, render.preset, render.bankFile);
    renderCommand->add_option("--save-preset", render.savePreset,
                              "After a successful render, write the settings to a preset file");
    renderCommand->add_option("--block", render.blockFrames, "Frames per buffer")->capture_default_str();
    renderCommand->add_option("--format", render.sampleFormat,
                              "Sample format: float, pcm16, pcm24 or same (the input's); 16 and 24 bits are dithered");
    std::string renderRate, renderSeed;
    renderCommand->add_option("--rate", renderRate,
                              "Deliver at this sample rate, Hz (48000, 44.1k): the input is resampled to it (libsoxr, very "
                              "high quality) and the effect runs at it");
    renderCommand->add_option("--bits", render.bits, "Write 16- or 24-bit integers (as --format pcm16 or pcm24)");
    renderCommand->add_option("--dither", render.dither, "tpdf (the default for 16 and 24 bits) or none; floats never");
    renderCommand->add_option("--channels", render.channels, "1: fold the input to mono before the effect");
    renderCommand->add_option("--name", render.nameTemplate,
                              "Output names under --out-dir from a template: {stem} {ext} {preset} {index} {index:N} "
                              "{parent} and a line list's columns by header ({Character}, {Line:3}), e.g. \"{stem}_radio.wav\" or "
                              "\"{preset}/{stem}.{ext}\"");
    renderCommand->add_option("--lines", render.lines, lineListHelp());
    renderCommand->add_option("--columns", render.columnMap,
                              "A line list's headers as the tool's columns: \"Source file=input,Look=preset\"");
    renderCommand->add_option("--map-preset", render.presetMap,
                              "A line list's preset values as presets: \"bad line=Bad mobile line,station=./pa.json\", "
                              "or a file (.csv: value,preset rows; .json: an object), its preset files relative to it");
    renderCommand->add_flag("--keep-going", render.keepGoing,
                            "Render a line list's good rows when some are bad, then list the bad ones (exit 1)");
    renderCommand->add_option("--vary", render.vary,
                              "NAME=+-AMOUNT ...: each file's value drawn around the setting (SIMTuning=+-6, "
                              "NoiseLevel=+-3dB), seeded by the output's name or --seed")
        ->allow_extra_args(true);
    renderCommand->add_option("--seed", renderSeed,
                              "The seed of every file's transmission and dither (each file's variation mixes in its "
                              "output's name)");
    renderCommand->add_option("--epoch", render.epoch,
                              "Another pass over the same files: every file's seed mixed with this number (0: none)");
    renderCommand->add_option("--like", render.like,
                              "Render with the settings, delivery format and seed a file made by crumlet carries");
    renderCommand->add_option("--jobs,-j", render.jobs, "Files rendered at once (default: one per core)");
    renderCommand->add_flag("--force", render.force, "Replace existing outputs and preset files (never an input)");
    renderCommand->add_flag("--skip-existing", render.skipExisting, "Leave outputs that exist alone (re-runs)");
    renderCommand->add_flag("--update", render.update,
                            "Render only outputs that are missing or whose recorded recipe or source differs (re-runs)");
    renderCommand->add_flag("--prune", render.prune,
                            "Delete the outputs under --out-dir that crumlet made and nothing in this render makes any more");
    renderCommand->add_flag("--reproducible", render.reproducible,
                            "The same bytes on a re-run: files are dated by SOURCE_DATE_EPOCH or their source's time");
    renderCommand->add_flag("--recursive,-r", render.recursive, "Take folders' subfolders too, mirrored under --out-dir");
    renderCommand->add_flag("--match-loudness", render.matchLoudness,
                            "Make each output's integrated loudness (EBU R128) equal to its input's");
    std::string renderLoudness;
    renderCommand->add_option("--loudness", renderLoudness, "Bring each output to this integrated loudness, LUFS (e.g. -23)");
    renderCommand->add_flag("--json", render.json, "One JSON object per file on stdout, then a summary object");
    renderCommand->add_flag("--quiet,-q", render.quiet, "Print nothing but errors and warnings");
    addTransmissionOptions(renderCommand, render.transmission);
    renderCommand->footer(renderTailHelp());

    InfoOptions info;
    CLI::App* infoCommand = app.add_subcommand("info", "Tell an audio file's format and how crumlet made it");
    infoCommand->add_option("file", info.path, "The audio file")->required();
    infoCommand->add_flag("--json", info.json, "As JSON, for tools");

    BankOptions bank;
    CLI::App* bankCommand = app.add_subcommand("bank", "Write the 139-byte parameter block, or the settings as a preset file");
    bankCommand->add_option("--out", bank.output, "Block file to write");
    addPresetFileOptions(bankCommand, "--save-preset", bank.savePreset, bank.force, "Preset file to write");
    addSettingsOptions(bankCommand, bank.assignments, bank.preset, bank.bankFile);

    PresetsOptions presets;
    CLI::App* presetsCommand = app.add_subcommand("presets", "List, find, show or save the shipped presets");
    presetsCommand->add_option("words", presets.words,
                               "A preset's name to show it (or to --save it); other words list the presets with "
                               "every word whole in their name or description (hiss, radio, call, \"next door\")");
    addPresetFileOptions(presetsCommand, "--save", presets.save, presets.force, "Write the preset to a preset file");
    presetsCommand->add_flag("--json", presets.json, "In the preset-file form, by name");

    bool paramsJson = false;
    CLI::App* paramsCommand = app.add_subcommand("params", "List the effect's properties");
    paramsCommand->add_flag("--json", paramsJson, "As JSON, for tools");

    SimsOptions sims;
    CLI::App* simsCommand = app.add_subcommand("sims", "List the device models");
    simsCommand->add_option("words", sims.words,
                            "Only devices with every word whole in their name, category, tags or description");
    simsCommand->add_option("--category,-c", sims.category, "Only this category (or the categories with this word)");
    simsCommand->add_flag("--sections", sims.sections, "Each model's level and seven filter sections");
    simsCommand->add_flag("--json", sims.json, "As JSON, for tools");
    simsCommand->footer(kSimsSectionsHelp);

    SpacesOptions spaces;
    CLI::App* spacesCommand = app.add_subcommand("spaces", "List the generated spaces a line can be heard in");
    spacesCommand->add_option("words", spaces.words,
                              "Only spaces with every word whole in their name, description or tags (reverb, room, "
                              "hall, station, car, \"next door\")");
    spacesCommand->add_flag("--json", spaces.json, "As JSON, for tools: sizes in metres, volume in cubic metres, "
                                                   "reverberation times in seconds");

    ValidateOptions validate;
    CLI::App* validateCommand = app.add_subcommand("validate", "Run the effect's module through the host's checks");
    validateCommand->add_option("--module", modulePath, "The effect's module to check");
    validateCommand->add_option("--seconds", validate.seconds, "About how long the checks take")->capture_default_str();
    validateCommand->add_option("--seed", validate.seed, "Seed of the signals and automation")->capture_default_str();
    PlotOptions plot;
    CLI::App* plotCommand = app.add_subcommand("plot", "Draw a response plot as PNG, or print its curves");
    plotCommand->add_flag("--filters", plot.filters, "The main plot: Filters pair and EQ band");
    plotCommand->add_option("--sim", plot.sims, "Device models' responses, by name or index, overlaid (up to 6)");
    plotCommand->add_option("--space", plot.space,
                            "A generated space's decay, NAME[:distance=METRES] (see `crumlet spaces`): the energy decay "
                            "curve per octave band, 125 Hz to 8 kHz");
    plotCommand->add_option("--tuning", plot.tuning, "SIMTuning for --sim, percent")->capture_default_str();
    plotCommand->add_option("--rate", plot.rate, "Design rate for --sim, Hz")->capture_default_str();
    plotCommand->footer("With --preset (or --set, --bank) and neither --filters, --sim nor --space: the preset's whole "
                        "response at 48 kHz as the engine plays it, the filters, EQ, device and level together.");
    plotCommand->add_option("--out", plot.output, "PNG file to write");
    plotCommand->add_flag("--csv", plot.csv, "Print the curves as CSV instead, one row per grid frequency");
    addSettingsOptions(plotCommand, plot.assignments, plot.preset, plot.bankFile);
    std::string artworkDir;
    CLI::App* artworkCommand = app.add_subcommand("artwork", "Write the editor's images and a contact sheet");
    artworkCommand->add_option("--out", artworkDir, "Folder to write NAME.png and contact-sheet.png into")->required();

    EditorOptions editor;
    CLI::App* editorCommand =
        app.add_subcommand("editor", "Open the effect's editor in a window, the input looping through the effect");
    editorCommand->add_option("--in", editor.input, "Input file, looped (default: the built-in demo)");
    addSettingsOptions(editorCommand, editor.assignments, editor.preset, editor.bankFile);
    editorCommand->add_option("--screenshot", editor.screenshot, "Write the window as PNG after --after ms of audio, then exit");
    editorCommand->add_option("--after", editor.afterMs, "Milliseconds of audio before the screenshot")->capture_default_str();
    editorCommand->add_option("--scale", editor.scale, "Screen density as a scale (1.5 = 144 dpi) instead of the display's");
    addPresetFileOptions(editorCommand, "--save-preset", editor.savePreset, editor.force,
                         "On closing, write the settings as a preset file");

    refuseEmptyValues(app);
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
        // CLI11 quotes the value it could not read: escaped, as every name and value is.
        std::fprintf(stderr, "%s\nRun with --help for more information.\n", printable(e.what()).c_str());
        return kExitUsage;
    }

    if (modulePath.empty())
        modulePath = EffectHost::installedModulePath();
    if (!modulePath.empty())
        EffectHost::setModulePath(modulePath);
    try
    {
        if (renderCommand->parsed())
        {
            if (!renderRate.empty())
                render.rate = deliveryRate(renderRate);
            if (!renderSeed.empty())
                render.seed = seedOf(renderSeed);
            if (!renderLoudness.empty())
                render.loudness = loudnessOf(renderLoudness);
            return runRender(render);
        }
        const std::pair<CLI::App*, std::function<int()>> commands[] = {
            {infoCommand, [&] { return runInfo(info); }},
            {bankCommand, [&] { return runBank(bank); }},
            {presetsCommand, [&] { return runPresets(presets); }},
            {paramsCommand, [&] { return runParams(paramsJson); }},
            {simsCommand, [&] { return runSims(sims); }},
            {spacesCommand, [&] { return runSpaces(spaces); }},
            {validateCommand, [&] { return runValidate(validate); }},
            {plotCommand, [&] { return runPlot(plot); }},
            {artworkCommand, [&] { return runArtwork(artworkDir); }},
            {editorCommand, [&] { return runEditor(editor); }},
        };
        for (const auto& [command, run] : commands)
            if (command->parsed())
                return run();
    }
    catch (const UsageError& e)
    {
        return failed(e, kExitUsage);
    }
    catch (const IoError& e)
    {
        return failed(e, kExitIoError);
    }
    return kExitUsage;
}
