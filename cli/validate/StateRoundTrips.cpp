#include "cli/validate/StateRoundTrips.h"

#include "cli/render/EffectHost.h"
#include "cli/settings/ParameterSettings.h"
#include "cli/settings/Presets.h"
#include "cli/settings/SettingsOptions.h"
#include "cli/settings/UsageError.h"
#include "quarl/AudioBufferStorage.h"
#include "quarl/HostAllocator.h"
#include "quarl/ProcessingContext.h"
#include "quarl/SoundEngine.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <unistd.h>
#include <vector>

using namespace ZQ::Quarl;

ParameterSettings randomSettings(const quarl::PluginDescription& description, std::mt19937_64& random)
{
    ParameterSettings settings(description);
    for (const auto& p : description.properties)
    {
        const int pick = std::uniform_int_distribution<int>(0, 3)(random);
        double v = pick == 0 ? p.minValue
                   : pick == 1 ? p.maxValue
                               : std::uniform_real_distribution<double>(p.minValue, p.maxValue)(random);
        if (p.type != quarl::PropertyType::Float)
            v = std::floor(v + 0.5);
        // A list's entry by its index ("#3"): a bare number for a list of numbers is refused.
        char text[64];
        if (p.values.empty())
            std::snprintf(text, sizeof text, "%.9g", v);
        else
            std::snprintf(text, sizeof text, "#%.9g", v - p.minValue);
        settings.set(p.name, text);
    }
    return settings;
}

std::string validationScratchPath(const std::string& name)
{
    return (std::filesystem::temp_directory_path() /
            ("crumlet-validate-" + std::to_string(::getpid()) + "-" + name))
        .string();
}

std::string readScratchFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string checkBlockRoundTrip(const EffectHost& host, std::uint64_t seed, int rounds)
{
    std::mt19937_64 random(seed);
    for (int round = 0; round < rounds; ++round)
    {
        const ParameterSettings first = randomSettings(host.description(), random);
        const std::vector<std::uint8_t> block = host.bankBlock(first);
        ParameterSettings second(host.description());
        second.loadBlock(block);
        const std::vector<std::uint8_t> again = host.bankBlock(second);
        if (again != block)
            return "round " + std::to_string(round) + ": the second block differs from the first";
    }
    return {};
}

std::string checkPresetRoundTrip(const EffectHost& host, std::uint64_t seed, int rounds)
{
    std::mt19937_64 random(seed);
    const std::string firstPath = validationScratchPath("first.json"), secondPath = validationScratchPath("second.json");
    std::string failure;
    for (int round = 0; round < rounds && failure.empty(); ++round)
    {
        const ParameterSettings first = randomSettings(host.description(), random);
        savePreset(first, firstPath, true);
        ParameterSettings second(host.description());
        applyPreset(second, firstPath);
        savePreset(second, secondPath, true);
        if (readScratchFile(firstPath) != readScratchFile(secondPath))
            failure = "round " + std::to_string(round) + ": the preset saved again differs";
        else if (host.bankBlock(first) != host.bankBlock(second))
            failure = "round " + std::to_string(round) + ": the loaded preset gives another block";
    }
    std::remove(firstPath.c_str());
    std::remove(secondPath.c_str());
    return failure;
}

std::string checkWrongSizeBlocks(const EffectHost& host)
{
    const ParameterSettings defaults(host.description());
    const std::vector<std::uint8_t> good = host.bankBlock(defaults);
    const std::size_t size = good.size();
    quarl::HostAllocator allocator;
    quarl::ProcessingContext context(false);
    {
        quarl::EffectInstance instance(host.effect(), allocator, &context);
        for (std::size_t wrong : {std::size_t{0}, std::size_t{1}, size - 1, size + 1, size * 2, std::size_t{4096}})
        {
            // A block that is there but holds the wrong number of bytes (none is a null block:
            // the defaults).
            std::vector<std::uint8_t> bytes(wrong + 1, 0x5a);
            const auto n = static_cast<std::uint32_t>(wrong);
            const Result made = instance.create(bytes.data(), n, AudioFormat{48000, 2});
            if (made != InvalidParameter)
                return "making the effect from a " + std::to_string(wrong) + "-byte block answered " +
                       std::to_string(made);
            if (instance.create(good.data(), static_cast<std::uint32_t>(size), AudioFormat{48000, 2}) != Success)
                return "the effect could not be made from a good block";
            if (instance.params()->SetParamsBlock(bytes.data(), n) != InvalidParameter)
                return "a " + std::to_string(wrong) + "-byte block was not refused";
            if (instance.params()->SetParamsBlock(nullptr, static_cast<std::uint32_t>(size)) != InvalidParameter)
                return "a null block was not refused";

            const std::string path = validationScratchPath("wrong.bank");
            std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                         static_cast<std::streamsize>(wrong));
            bool refused = false;
            try
            {
                readBankFile(path, size);
            }
            catch (const UsageError&)
            {
                refused = true;
            }
            std::remove(path.c_str());
            if (!refused)
                return "the tool read a " + std::to_string(wrong) + "-byte bank file";

            quarl::AudioBufferStorage storage(2, 64);
            for (std::uint32_t c = 0; c < 2; ++c)
                for (std::uint32_t i = 0; i < 64; ++i)
                    storage.channel(c)[i] = 0.5f;
            storage.buffer().validFrames = 64;
            instance.effect()->Execute(storage.buffer());
            if (storage.buffer().state != Success)
                return "the effect stopped after a refused block";
            for (std::uint32_t c = 0; c < 2; ++c)
                for (std::uint32_t i = 0; i < 64; ++i)
                    if (!std::isfinite(storage.channel(c)[i]))
                        return "NaN or Inf after a refused block";
        }
    }
    if (allocator.liveBlocks() != 0)
        return std::to_string(allocator.liveBlocks()) + " blocks leaked";
    return {};
}
