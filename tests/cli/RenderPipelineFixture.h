// The fixture of the tests that run `crumlet render` as a separate process: input files
// written for the test, their levels and bytes, the files an output folder holds, and the
// JSON lines the tool prints.
#pragma once

#include "cli/metering/LevelMeter.h"

#include "ScratchFolderTest.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sndfile.hh>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

inline bool has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

class RenderPipeline : public ScratchFolderTest
{
protected:
    // A speech-band tone that swells, written in the given sample format.
    std::string writeTone(const std::string& name, int frames, int format = SF_FORMAT_WAV | SF_FORMAT_FLOAT,
                          int channels = 2, int rate = 48000, float level = 0.3f)
    {
        std::filesystem::create_directories(std::filesystem::path(path(name)).parent_path());
        std::vector<float> samples(static_cast<std::size_t>(frames) * channels);
        for (int i = 0; i < frames; ++i)
            for (int c = 0; c < channels; ++c)
                samples[static_cast<std::size_t>(i) * channels + c] =
                    level * std::sin(2.0f * 3.14159265f * 440.0f * i / rate) * (0.5f + 0.5f * std::sin(0.0004f * i));
        SndfileHandle f(path(name), SFM_WRITE, format, channels, rate);
        f.writef(samples.data(), frames);
        return path(name);
    }

    // A text file (a list, a map, a preset), its folders made.
    std::string writeText(const std::string& name, const std::string& text)
    {
        std::filesystem::create_directories(std::filesystem::path(path(name)).parent_path());
        std::ofstream(path(name), std::ios::binary) << text;
        return path(name);
    }

    static Levels levelsOf(const std::string& file)
    {
        SF_INFO info{};
        const auto samples = readAll(file, &info);
        LevelMeter meter(static_cast<std::uint32_t>(info.channels), static_cast<std::uint32_t>(info.samplerate),
                         LevelMeter::Measure::Everything);
        meter.add(samples.data(), static_cast<std::uint32_t>(info.frames));
        return meter.levels();
    }

    static std::string bytesOf(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Files left in a folder (recursively), hidden ones included.
    std::vector<std::string> filesIn(const std::string& folder) const
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::recursive_directory_iterator(folder))
            if (e.is_regular_file())
                names.push_back(e.path().lexically_relative(folder).string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

inline std::vector<nlohmann::json> jsonLines(const std::string& text)
{
    std::vector<nlohmann::json> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            lines.push_back(nlohmann::json::parse(line));
    return lines;
}
