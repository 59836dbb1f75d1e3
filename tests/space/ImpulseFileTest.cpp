// The user's impulse responses from files: used as they are, resampled, normalized when
// asked, and refused with the file's name when they cannot be used.
#include "space/ImpulseFile.h"
#include "space/SpaceError.h"
#include "tests/cli/ScratchFolderTest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace space
{
namespace
{
class ImpulseFile : public ScratchFolderTest
{
protected:
    std::string write(const std::string& name, int format, int channels, int rate, const std::vector<float>& interleaved)
    {
        const std::string file = path(name);
        SndfileHandle handle(file, SFM_WRITE, format, channels, rate);
        handle.writef(interleaved.data(), static_cast<sf_count_t>(interleaved.size() / channels));
        return file;
    }

    static std::string errorOf(const std::function<void()>& f)
    {
        try
        {
            f();
        }
        catch (const SpaceError& e)
        {
            return e.what();
        }
        return "(no error)";
    }
};

double energyOf(const std::vector<float>& x)
{
    double e = 0.0;
    for (float v : x)
        e += static_cast<double>(v) * v;
    return e;
}

TEST_F(ImpulseFile, IsUsedAsItIsInTheFormatsAsked)
{
    std::vector<float> unit(1000, 0.f);
    unit[480] = 0.75f;
    const auto wav = loadImpulseFile(write("unit.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 48000, unit), 48000, false);
    ASSERT_EQ(wav.channels.size(), 1u);
    EXPECT_EQ(wav.channels[0], unit);
    EXPECT_EQ(wav.sampleRate, 48000.0);

    std::vector<float> stereo(2 * 800, 0.f);
    stereo[2 * 10] = 0.5f;
    stereo[2 * 20 + 1] = -0.25f;
    for (const auto& [name, format] : {std::pair<const char*, int>{"ears.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
                                      {"ears.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24}})
    {
        const auto ir = loadImpulseFile(write(name, format, 2, 48000, stereo), 48000, false);
        ASSERT_EQ(ir.channels.size(), 2u) << name;
        EXPECT_EQ(ir.channels[0][10], 0.5f) << name;
        EXPECT_EQ(ir.channels[1][20], -0.25f) << name;
        EXPECT_EQ(energyOf(ir.channels[0]) + energyOf(ir.channels[1]), 0.5 * 0.5 + 0.25 * 0.25) << name;
    }
}

// A decaying 1 kHz tone at 44.1 kHz, heard at 48 kHz: as long in time, with its energy per
// second (the response's gain) kept, and scaled to unit energy when normalized.
TEST_F(ImpulseFile, IsResampledToTheRenderRateAndNormalizedWhenAsked)
{
    std::vector<float> tone(44100);
    for (std::size_t n = 0; n < tone.size(); ++n)
        tone[n] = static_cast<float>(0.3 * std::exp(-8.0 * n / 44100.0) * std::sin(2.0 * M_PI * 1000.0 * n / 44100.0));
    const std::string file = write("tone.aiff", SF_FORMAT_AIFF | SF_FORMAT_FLOAT, 1, 44100, tone);
    const auto ir = loadImpulseFile(file, 48000, false);
    EXPECT_NEAR(static_cast<double>(ir.frames()), 48000.0, 2.0);
    EXPECT_NEAR(energyOf(ir.channels[0]) / 48000.0, energyOf(tone) / 44100.0, 1e-3 * energyOf(tone) / 44100.0);
    const auto normalized = loadImpulseFile(file, 48000, true);
    EXPECT_NEAR(energyOf(normalized.channels[0]), 1.0, 1e-5);
}

TEST_F(ImpulseFile, ThatCannotBeUsedIsRefusedByName)
{
    const auto refused = [&](const std::string& file, const std::string& why) {
        const std::string message = errorOf([&] { loadImpulseFile(file, 48000, false); });
        EXPECT_NE(message.find(std::filesystem::path(file).filename().string()), std::string::npos) << message;
        EXPECT_NE(message.find(why), std::string::npos) << message;
    };
    refused(write("empty.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 48000, {}), "is empty");
    std::vector<float> bad(100, 0.1f);
    bad[50] = NAN;
    refused(write("nan.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 48000, bad), "not a finite number");
    bad[50] = INFINITY;
    refused(write("inf.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 48000, bad), "not a finite number");
    refused(write("long.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1, 8000, std::vector<float>(31 * 8000, 0.01f)),
            "30.0 s");
    refused(write("three.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 3, 48000, std::vector<float>(300, 0.1f)), "3 channels");
    refused(write("silent.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 48000, std::vector<float>(300, 0.f)), "silence");
    std::ofstream(path("garbage.wav")) << "not a sound file at all";
    refused(path("garbage.wav"), "cannot be read");
    refused(path("missing.wav"), "no space or file");

    // A long path is quoted by its end, where the file's name is.
    const std::string deep = path(std::string(100, 'd'));
    std::filesystem::create_directories(deep);
    const std::string message = errorOf([&] { loadImpulseFile(deep + "/nowhere.wav", 48000, false); });
    EXPECT_NE(message.find("nowhere.wav"), std::string::npos) << message;
    EXPECT_EQ(message.find(std::string(70, 'd')), std::string::npos) << message;
}
} // namespace
} // namespace space
