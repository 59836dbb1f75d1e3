// Bank files as `--bank` reads them: any bytes, from a file. A file of the wrong size is
// refused with a usage error; a block is read into the settings, written to the host's
// property set, and its settings survive a preset round trip when every value is one the
// tool can show.
#include "cli/settings/ParameterSettings.h"
#include "cli/settings/Presets.h"
#include "cli/settings/SettingsOptions.h"
#include "cli/settings/UsageError.h"
#include "fuzz/FuzzDescription.h"
#include "fuzz/FuzzFiles.h"
#include "quarl/PropertySet.h"

#include <cmath>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const quarl::PluginDescription& description = fuzzDescription();
    ParameterSettings settings(description);
    const std::string bank = fuzzScratchPath("in.bank");
    writeFile(bank, data, size);
    try
    {
        settings.loadBlock(readBankFile(bank, blockSizeOf(description)));
    }
    catch (const UsageError&)
    {
        std::remove(bank.c_str());
        if (size == blockSizeOf(description))
            std::abort();
        return 0;
    }
    std::remove(bank.c_str());
    quarl::PropertySet properties(description);
    settings.applyTo(properties);

    bool allShowable = true;
    for (std::size_t i = 0; i < description.properties.size(); ++i)
    {
        const auto& p = description.properties[i];
        const double v = settings.value(p.name);
        allShowable = allShowable && std::isfinite(v) && v >= p.minValue && v <= p.maxValue;
        (void)settings.valueText(i);
    }
    if (!allShowable)
        return 0;
    const std::string path = fuzzScratchPath("bank.json");
    savePreset(settings, path, true);
    ParameterSettings again(description);
    applyPreset(again, path);
    std::remove(path.c_str());
    for (std::size_t i = 0; i < description.properties.size(); ++i)
        if (again.valueText(i) != settings.valueText(i))
            std::abort();
    return 0;
}
