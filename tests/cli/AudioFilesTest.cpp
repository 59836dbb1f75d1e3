// Writing outputs that may outgrow the 4 GiB of a WAV or AIFF file's 32-bit sizes: RF64 when
// a WAV file does, a refusal for AIFF, and never a file cut silently. The threshold is made
// small here so that the large case is written for real without writing gigabytes.
#include "cli/io/AudioFiles.h"
#include "cli/io/FloatWavWriter.h"
#include "cli/settings/UsageError.h"

#include "ScratchFolderTest.h"

#include <gtest/gtest.h>
#include <sndfile.hh>

#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

namespace
{
class FloatWavFiles : public ScratchFolderTest
{
protected:
    static std::vector<float> ramp(std::size_t samples)
    {
        std::vector<float> x(samples);
        for (std::size_t i = 0; i < samples; ++i)
            x[i] = static_cast<float>(i % 1000) / 1000.f - 0.5f;
        return x;
    }

    static std::string bytesOf(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    static std::uint64_t le(const std::string& h, std::size_t at, int bytes)
    {
        std::uint64_t v = 0;
        for (int i = bytes - 1; i >= 0; --i)
            v = (v << 8) | static_cast<unsigned char>(h[at + static_cast<std::size_t>(i)]);
        return v;
    }
};
} // namespace

TEST(AudioFileSizes, TheContainerIsChosenFromTheMostFramesTheRenderMayWrite)
{
    // The trial's 64-channel 360 s float render: 4.4 GB of samples, beyond RIFF's sizes.
    EXPECT_TRUE(mayOutgrow32BitSizes(360ull * 48000, 64, SF_FORMAT_WAV | SF_FORMAT_FLOAT));
    EXPECT_FALSE(mayOutgrow32BitSizes(349ull * 48000, 64, SF_FORMAT_WAV | SF_FORMAT_FLOAT));
    EXPECT_TRUE(mayOutgrow32BitSizes(500ull * 48000, 64, SF_FORMAT_WAV | SF_FORMAT_PCM_24));
    EXPECT_FALSE(mayOutgrow32BitSizes(360ull * 48000, 64, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
    EXPECT_FALSE(mayOutgrow32BitSizes(3600ull * 48000, 2, SF_FORMAT_WAV | SF_FORMAT_FLOAT));
    // A stream of unknown length may.
    EXPECT_TRUE(mayOutgrow32BitSizes(0, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
}

TEST_F(FloatWavFiles, AFileThatOutgrowsRiffBecomesRf64AndReadsBackWhole)
{
    const std::uint32_t channels = 3, frames = 10000;
    const auto x = ramp(std::size_t{channels} * frames);
    const std::string file = path("big.wav");
    FloatWavWriter writer(file, file, channels, 44100, true, 4096);
    for (std::uint32_t at = 0; at < frames; at += 1000)
        ASSERT_TRUE(writer.write(x.data() + std::size_t{at} * channels, 1000));
    ASSERT_EQ(writer.close(), "");

    const std::string h = bytesOf(file);
    const std::uint64_t dataBytes = std::uint64_t{frames} * channels * 4;
    ASSERT_EQ(h.size(), 94 + dataBytes);
    EXPECT_EQ(h.substr(0, 4), "RF64");
    EXPECT_EQ(le(h, 4, 4), 0xffffffffu);
    EXPECT_EQ(h.substr(12, 4), "ds64");
    EXPECT_EQ(le(h, 20, 8), h.size() - 8);
    EXPECT_EQ(le(h, 28, 8), dataBytes);
    EXPECT_EQ(le(h, 36, 8), frames);
    EXPECT_EQ(h.substr(86, 4), "data");
    EXPECT_EQ(le(h, 90, 4), 0xffffffffu);

    SndfileHandle back(file);
    EXPECT_EQ(back.format(), SF_FORMAT_RF64 | SF_FORMAT_FLOAT);
    EXPECT_EQ(back.frames(), frames);
    EXPECT_EQ(back.samplerate(), 44100);
    std::vector<float> read(x.size());
    EXPECT_EQ(back.readf(read.data(), frames), frames);
    EXPECT_EQ(read, x);
}

TEST_F(FloatWavFiles, AFileWithRoomForRf64ThatFitsStaysAWavFile)
{
    const auto x = ramp(2 * 500);
    const std::string file = path("small.wav");
    FloatWavWriter writer(file, file, 2, 48000, true);
    ASSERT_TRUE(writer.write(x.data(), 500));
    ASSERT_EQ(writer.close(), "");
    const std::string h = bytesOf(file);
    EXPECT_EQ(h.substr(0, 4), "RIFF");
    EXPECT_EQ(le(h, 4, 4), h.size() - 8);
    EXPECT_EQ(h.substr(12, 4), "JUNK");
    EXPECT_EQ(h.substr(48, 4), "fmt ");
    SF_INFO info{};
    EXPECT_EQ(readAll(file, &info), x);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
}

TEST_F(FloatWavFiles, AFileWithoutRoomIsNeverCutSilently)
{
    // A header's sizes must not saturate: readers would see 349.5 s of a 360 s render.
    const auto x = ramp(2 * 1000);
    const std::string file = path("plain.wav");
    FloatWavWriter writer(file, file, 2, 48000, false, 4096);
    EXPECT_FALSE(writer.write(x.data(), 1000));
    EXPECT_NE(writer.close().find("outgrow the 4 GiB"), std::string::npos);
}

TEST_F(FloatWavFiles, AnAiffFileThatWouldOutgrowItsSizesIsRefused)
{
    EXPECT_THROW(AudioWriter(path("a.aiff"), "a.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 64, 48000, 500ull * 48000),
                 UsageError);
    // Of unknown length, a WAV file is written as RF64 and closed as WAV (libsndfile's
    // WAVE_FORMAT_EXTENSIBLE) when it fits.
    const auto x = ramp(2 * 4800);
    AudioWriter wav(path("s.wav"), "s.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 48000, 0);
    ASSERT_TRUE(wav.write(x.data(), 4800));
    ASSERT_EQ(wav.close(), "");
    SF_INFO info{};
    EXPECT_EQ(readAll(path("s.wav"), &info).size(), x.size());
    EXPECT_EQ(info.format, SF_FORMAT_WAVEX | SF_FORMAT_PCM_16);
    EXPECT_EQ(bytesOf(path("s.wav")).substr(0, 4), "RIFF");
}
