// Preset files as `--preset` reads them: any bytes. A malformed file is a usage error with a
// message of a few lines; a file that loads saves to a preset that loads to the same settings
// and saves to the same bytes.
#include "cli/settings/ParameterSettings.h"
#include "cli/settings/Presets.h"
#include "cli/settings/UsageError.h"
#include "fuzz/FuzzDescription.h"
#include "fuzz/FuzzFiles.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const quarl::PluginDescription& description = fuzzDescription();
    const std::string input = fuzzScratchPath("in.json"), first = fuzzScratchPath("first.json"),
                      second = fuzzScratchPath("second.json");
    writeFile(input, data, size);
    ParameterSettings settings(description);
    try
    {
        applyPreset(settings, input);
    }
    catch (const UsageError& e)
    {
        std::remove(input.c_str());
        // A message quotes a part of what it refuses, never all of it.
        if (std::strlen(e.what()) > 1024)
            std::abort();
        return 0;
    }
    std::remove(input.c_str());
    savePreset(settings, first, true);
    ParameterSettings again(description);
    applyPreset(again, first);
    savePreset(again, second, true);
    const bool same = readFile(first) == readFile(second);
    std::remove(first.c_str());
    std::remove(second.c_str());
    if (!same)
        std::abort();
    return 0;
}
