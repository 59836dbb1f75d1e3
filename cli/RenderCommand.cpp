#include "cli/RenderCommand.h"

#include "cli/BatchRender.h"
#include "cli/EffectHost.h"
#include "cli/FileRenderer.h"
#include "cli/Presets.h"
#include "cli/ProgressBar.h"
#include "cli/SettingsOptions.h"
#include "cli/UsageError.h"

#include <cstdio>

namespace
{
constexpr std::uint32_t kMaxBlockFrames = 65536;

int render(const RenderOptions& options)
{
    if (options.output.empty() == options.outputDir.empty())
        throw UsageError("give either --out FILE or --out-dir FOLDER");
    if (options.blockFrames < 1 || options.blockFrames > kMaxBlockFrames)
        throw UsageError("--block takes 1 to " + std::to_string(kMaxBlockFrames) + " frames");
    const EffectHost& host = EffectHost::instance();
    const ParameterSettings settings =
        settingsFrom(host.description(), options.bankFile, options.preset, options.assignments);
    const SampleFormat sampleFormat =
        options.sampleFormat.empty() ? SampleFormat::Automatic : parseSampleFormat(options.sampleFormat);
    if (!options.savePreset.empty())
        savePreset(settings, options.savePreset);
    // The block the host's bank would hold: written by the plugin object from its properties.
    const std::vector<std::uint8_t> block = host.bankBlock(settings);

    if (!options.outputDir.empty())
    {
        if (options.inputs.empty())
            throw UsageError("--out-dir renders the files given with --in");
        BatchRequest batch{options.inputs, options.outputDir, block,        options.blockFrames,
                           sampleFormat,   options.jobs,      options.force, options.quiet};
        return renderBatch(batch) == 0 ? 0 : kExitIoError;
    }

    if (options.inputs.size() > 1)
        throw UsageError("several inputs need --out-dir FOLDER rather than --out");
    const std::string input = options.inputs.empty() ? std::string() : options.inputs.front();
    ProgressBar progress(options.quiet ? std::string() : "rendering", inputFrames(input));
    FileRenderRequest request{input, options.output, block, options.blockFrames, sampleFormat,
                              [&](std::uint64_t written) {
                                  if (!options.quiet)
                                      progress.update(written);
                              }};
    const FileRenderResult result = renderFile(request);
    progress.finish();
    if (!options.quiet)
    {
        const double rate = result.sampleRate;
        std::fprintf(stderr, "%s: %.2f s in, %.2f s out (%.2f s of tail), %u channels at %u Hz\n",
                     options.output.c_str(), static_cast<double>(result.inputFrames) / rate,
                     static_cast<double>(result.outputFrames) / rate,
                     static_cast<double>(result.outputFrames - result.inputFrames) / rate, result.channels,
                     result.sampleRate);
    }
    return 0;
}
} // namespace

int runRender(const RenderOptions& options)
{
    try
    {
        return render(options);
    }
    catch (const UsageError& e)
    {
        std::fprintf(stderr, "crumlet render: %s\n", e.what());
        return kExitUsage;
    }
    catch (const IoError& e)
    {
        std::fprintf(stderr, "crumlet render: %s\n", e.what());
        return kExitIoError;
    }
}
