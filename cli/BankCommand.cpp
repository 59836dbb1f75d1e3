#include "cli/BankCommand.h"

#include "cli/EffectHost.h"
#include "cli/SettingsOptions.h"
#include "cli/UsageError.h"

#include <cstdio>
#include <fstream>

int runBank(const BankOptions& options)
{
    try
    {
        const EffectHost& host = EffectHost::instance();
        const ParameterSettings settings =
            settingsFrom(host.description(), options.bankFile, options.preset, options.assignments);
        const std::vector<std::uint8_t> block = host.bankBlock(settings);
        std::ofstream out(options.output, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size()));
        if (!out)
            throw IoError("cannot write \"" + options.output + "\"");
        return 0;
    }
    catch (const UsageError& e)
    {
        std::fprintf(stderr, "crumlet bank: %s\n", e.what());
        return kExitUsage;
    }
    catch (const IoError& e)
    {
        std::fprintf(stderr, "crumlet bank: %s\n", e.what());
        return kExitIoError;
    }
}
