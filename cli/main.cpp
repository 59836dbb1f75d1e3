// crumlet: the command-line front of the stand-in host.
#include "cli/RenderCommand.h"
#include "cli/UsageError.h"

#include <CLI/CLI.hpp>

#include <cstdio>

int main(int argc, char** argv)
{
    CLI::App app{"Crumlet: lo-fi device simulation, run as the host runs it"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "crumlet 0.1.0");

    RenderOptions render;
    CLI::App* renderCommand = app.add_subcommand("render", "Render audio through the effect");
    renderCommand->add_option("--in", render.input, "Input audio file (default: the built-in demo signal)");
    renderCommand->add_option("--out", render.output, "Output audio file; .wav is 32-bit float unless --format says")
        ->required();
    renderCommand->add_option("--set", render.assignments,
                              "NAME=VALUE: a property in its units, a list entry's text, or on/off")
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    renderCommand->add_option("--block", render.blockFrames, "Frames per buffer")->capture_default_str();
    renderCommand->add_option("--format", render.sampleFormat, "Sample format: float, pcm16 or pcm24");
    renderCommand->add_flag("--quiet,-q", render.quiet, "Print nothing but errors");

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

    if (renderCommand->parsed())
        return runRender(render);
    return kExitUsage;
}
