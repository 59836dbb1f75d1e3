// The delivery format's pieces: the resampler's known answers (a sine keeps its frequency
// and level), the fold to mono, and TPDF dither (its level, its triangular shape, floats
// left alone, the bytes of dithered files).
#include "cli/io/AudioFiles.h"
#include "cli/io/Dither.h"
#include "cli/render/DeliveryFormat.h"
#include "cli/render/Resampling.h"
#include "cli/settings/UsageError.h"

#include "ScratchFolderTest.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cmath>
#include <algorithm>
#include <csignal>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <vector>

namespace
{
constexpr double kPi = 3.14159265358979323846;

// A reader of a sine of `frames` frames at `rate`, `channels` alike.
DeliveryInput::Reader sineReader(double hz, double rate, double amplitude, std::uint64_t frames, std::uint32_t channels)
{
    auto position = std::make_shared<std::uint64_t>(0);
    return [=](float* into, std::uint32_t wanted) {
        std::uint32_t n = 0;
        for (; n < wanted && *position < frames; ++n, ++*position)
            for (std::uint32_t c = 0; c < channels; ++c)
                into[n * channels + c] = static_cast<float>(amplitude * std::sin(2.0 * kPi * hz * *position / rate));
        return n;
    };
}

std::vector<float> readEverything(DeliveryInput& input)
{
    std::vector<float> out;
    std::vector<float> buffer(1000 * input.channels());
    for (std::uint32_t n; (n = input.read(buffer.data(), 1000)) > 0;)
        out.insert(out.end(), buffer.begin(), buffer.begin() + n * input.channels());
    return out;
}

// The frequency from upward zero crossings (interpolated) over samples [from, to).
double frequencyOf(const std::vector<float>& x, std::size_t from, std::size_t to, double rate)
{
    double first = -1, last = -1;
    int crossings = 0;
    for (std::size_t i = from + 1; i < to; ++i)
        if (x[i - 1] < 0.f && x[i] >= 0.f)
        {
            const double at = static_cast<double>(i - 1) + x[i - 1] / (x[i - 1] - x[i]);
            if (first < 0)
                first = at;
            else
                ++crossings;
            last = at;
        }
    return crossings * rate / (last - first);
}

double rmsOf(const std::vector<float>& x, std::size_t from, std::size_t to)
{
    double sum = 0;
    for (std::size_t i = from; i < to; ++i)
        sum += static_cast<double>(x[i]) * x[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}
} // namespace

TEST(Resampling, ASineKeepsItsFrequencyAndLevelAtEveryDeliveryRate)
{
    struct Case
    {
        double from, to;
    };
    for (const Case c : {Case{44100, 48000}, Case{22050, 48000}, Case{16000, 48000}, Case{48000, 44100}})
    {
        SCOPED_TRACE(std::to_string(c.from) + " -> " + std::to_string(c.to));
        const std::uint64_t frames = static_cast<std::uint64_t>(c.from) * 2;
        DeliveryInput input(sineReader(1000.0, c.from, 0.5, frames, 1), 1, static_cast<std::uint32_t>(c.from),
                            {static_cast<std::uint32_t>(c.to), 0, true});
        EXPECT_EQ(input.sampleRate(), static_cast<std::uint32_t>(c.to));
        const std::vector<float> out = readEverything(input);
        // As many frames as the same time takes at the new rate.
        EXPECT_NEAR(static_cast<double>(out.size()), 2.0 * c.to, 2.0);
        EXPECT_EQ(input.frames(frames), static_cast<std::uint64_t>(2.0 * c.to));
        // Away from the ends: 1000 Hz, and the level of a 0.5 sine (-9.03 dBFS RMS) within 0.01 dB.
        const auto from = static_cast<std::size_t>(0.25 * c.to), to = static_cast<std::size_t>(1.75 * c.to);
        EXPECT_NEAR(frequencyOf(out, from, to, c.to), 1000.0, 0.01);
        EXPECT_NEAR(20.0 * std::log10(rmsOf(out, from, to) / (0.5 / std::sqrt(2.0))), 0.0, 0.01);
    }
}

TEST(Resampling, AtTheInputsOwnRateAndChannelsTheSamplesPassUntouched)
{
    DeliveryInput input(sineReader(440.0, 48000, 0.3, 4800, 2), 2, 48000, {});
    DeliveryInput reference(sineReader(440.0, 48000, 0.3, 4800, 2), 2, 48000, {48000, 0, true});
    const std::vector<float> a = readEverything(input), b = readEverything(reference);
    ASSERT_EQ(a.size(), 9600u);
    EXPECT_EQ(a, b);
    EXPECT_FLOAT_EQ(a[2 * 100], static_cast<float>(0.3 * std::sin(2.0 * kPi * 440.0 * 100 / 48000)));
}

TEST(Resampling, FoldingToMonoTakesTheMeanOfTheChannels)
{
    // Left 0.6, right -0.2 in every frame: the mono frame is 0.2.
    DeliveryInput::Reader stereo = [n = 0](float* into, std::uint32_t frames) mutable {
        const std::uint32_t take = std::min<std::uint32_t>(frames, static_cast<std::uint32_t>(300 - n));
        for (std::uint32_t i = 0; i < take; ++i)
        {
            into[2 * i] = 0.6f;
            into[2 * i + 1] = -0.2f;
        }
        n += static_cast<int>(take);
        return take;
    };
    DeliveryInput input(stereo, 2, 48000, {0, 1, true});
    EXPECT_EQ(input.channels(), 1u);
    const std::vector<float> out = readEverything(input);
    ASSERT_EQ(out.size(), 300u);
    for (float v : out)
        EXPECT_FLOAT_EQ(v, 0.2f);
    EXPECT_THROW(DeliveryInput(stereo, 2, 48000, {0, 3, true}), UsageError);
}

TEST(Dither, TpdfMakesTheErrorNoiseOfAQuarterStepSquaredWhateverTheSignal)
{
    const double step = 1.0 / 32768.0;
    EXPECT_DOUBLE_EQ(TpdfDither(16, 1).step(), step);
    EXPECT_DOUBLE_EQ(TpdfDither(24, 1).step(), 1.0 / 8388608.0);
    // Constant signals between steps: the output's mean is the signal (no bias), and the
    // error's power is a quarter of a step squared for each (dither 1/6 + rounding 1/12).
    // Rectangular dither, or none, would make both follow the signal.
    const std::size_t n = 1 << 19;
    for (double steps : {0.0, 0.25, 0.5, 0.8, -3.3})
    {
        SCOPED_TRACE(steps);
        const std::vector<float> x(n, static_cast<float>(steps * step));
        std::vector<std::int32_t> q(n);
        TpdfDither dither(16, 11);
        dither.quantize(x.data(), q.data(), n);
        double sum = 0, squares = 0;
        for (std::size_t i = 0; i < n; ++i)
        {
            ASSERT_EQ(q[i] & 0xffff, 0); // whole 16-bit steps, top-aligned
            const double out = static_cast<double>(q[i] >> 16);
            ASSERT_LE(std::abs(out - steps), 1.5);
            sum += out;
            squares += (out - x[i] / step) * (out - x[i] / step);
        }
        EXPECT_NEAR(sum / n, steps, 0.005);
        EXPECT_NEAR(squares / n, 0.25, 0.004);
    }

    // The same seed makes the same noise; another seed other noise. Full scale clips.
    const std::vector<float> x(4096, 0.f);
    std::vector<std::int32_t> a(x.size()), b(x.size()), c(x.size());
    TpdfDither(16, 1).quantize(x.data(), a.data(), x.size());
    TpdfDither(16, 1).quantize(x.data(), b.data(), x.size());
    TpdfDither(16, 2).quantize(x.data(), c.data(), x.size());
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    const float overs[] = {1.5f, -1.5f, 1.0f};
    std::int32_t clipped[3];
    TpdfDither(24, 1).quantize(overs, clipped, 3);
    EXPECT_EQ(clipped[0], 0x7fffff00);
    EXPECT_EQ(clipped[1], INT32_MIN);
    EXPECT_EQ(clipped[2], 0x7fffff00);
}

namespace
{
void roundsAsLrintWithTheSeedsNoise()
{
    const float ramp[8] = {0.f, 0.25f / 32768, 0.5f / 32768, 1.5f / 32768, -2.5f / 32768, 0.999f, -0.9999f, 1e-40f};
    std::int32_t q[8];
    TpdfDither(16, 1234).quantize(ramp, q, 8);
    std::uint64_t state = 1234 ^ 0x6469746865720000ull;
    for (int i = 0; i < 8; ++i)
    {
        const std::uint64_t r = splitMix64(state);
        const double tpdf = (static_cast<double>(r >> 32) - static_cast<double>(r & 0xffffffffu)) * 0x1.0p-32;
        const long expected = std::clamp(std::lrint(ramp[i] * 32768.0 + tpdf), -32768L, 32767L);
        EXPECT_EQ(q[i] >> 16, expected) << i;
    }

    std::mt19937 random(5);
    std::uniform_real_distribution<float> wide(-1.2f, 1.2f);
    std::vector<float> x(1 << 18);
    for (float& v : x)
        v = wide(random);
    x[7] = std::nanf("");
    x[8] = HUGE_VALF;
    x[9] = -HUGE_VALF;
    for (const int bits : {16, 24})
    {
        std::vector<std::int32_t> out(x.size());
        TpdfDither(bits, 99).quantize(x.data(), out.data(), x.size());
        std::uint64_t s = 99 ^ 0x6469746865720000ull;
        const double scale = static_cast<double>(1L << (bits - 1));
        for (std::size_t i = 0; i < x.size(); ++i)
        {
            const std::uint64_t r = splitMix64(s);
            const double tpdf = (static_cast<double>(r >> 32) - static_cast<double>(r & 0xffffffffu)) * 0x1.0p-32;
            const double steps = x[i] * scale + tpdf;
            const long expected =
                std::isnan(steps) ? 0
                                  : std::clamp(std::lrint(std::clamp(steps, -scale - 1.0, scale)), static_cast<long>(-scale),
                                               static_cast<long>(scale) - 1);
            ASSERT_EQ(out[i] >> (32 - bits), expected) << bits << " bits, sample " << i;
        }
        // Handed over a few samples at a time, the same noise goes on from call to call.
        std::vector<std::int32_t> pieces(x.size());
        TpdfDither inPieces(bits, 99);
        for (std::size_t at = 0; at < x.size(); at += 7)
            inPieces.quantize(x.data() + at, pieces.data() + at, std::min<std::size_t>(7, x.size() - at));
        EXPECT_EQ(pieces, out) << bits << " bits";
    }
}
} // namespace

// The rounding is the C library's lrint (to nearest, ties to even) of the dithered value, the
// same sequence of noise from the seed: the first 16-bit steps of a known signal are pinned, and
// a long random signal with values beyond full scale, NaN and infinities rounds as lrint rounds,
// whether quantized at once or in pieces, one sample at a time or four side by side (with the
// 64-bit products formed from halves or in one instruction, where the processor allows).
TEST(Dither, RoundsAsLrintWithTheSeedsNoise)
{
    for (const DitherSteps steps :
         {DitherSteps::OneAtATime, DitherSteps::FourSideBySide, DitherSteps::FourMultiplyingNatively})
    {
        SCOPED_TRACE(static_cast<int>(steps));
        limitDitherSteps(steps);
        roundsAsLrintWithTheSeedsNoise();
    }
    limitDitherSteps(DitherSteps::FourMultiplyingNatively);
}

class DitheredFiles : public ScratchFolderTest
{
};

TEST_F(DitheredFiles, SilenceIn16BitsBecomesHalfAStepOfNoiseAndFloatsAreNeverDithered)
{
    const std::uint32_t frames = 200000;
    const std::vector<float> silence(frames, 0.f);
    for (int format : {SF_FORMAT_WAV | SF_FORMAT_PCM_16, SF_FORMAT_WAV | SF_FORMAT_FLOAT, SF_FORMAT_FLAC | SF_FORMAT_PCM_16})
    {
        const std::string file = path(format == (SF_FORMAT_FLAC | SF_FORMAT_PCM_16) ? "out.flac" : "out.wav");
        {
            AudioWriter writer(file, file, format, 1, 48000, frames);
            writer.ditherWith(7);
            ASSERT_TRUE(writer.write(silence.data(), frames));
            ASSERT_EQ(writer.close(), "");
        }
        SndfileHandle in(file);
        std::vector<short> samples(frames);
        ASSERT_EQ(in.read(samples.data(), frames), static_cast<sf_count_t>(frames));
        std::map<int, std::size_t> counts;
        for (short s : samples)
            ++counts[s];
        if ((format & SF_FORMAT_SUBMASK) == SF_FORMAT_FLOAT)
        {
            EXPECT_EQ(counts[0], frames);
            continue;
        }
        // Rounded TPDF: 0 three times in four, -1 and +1 one time in eight each, nothing else;
        // its level is half a step, -96.3 dBFS.
        EXPECT_EQ(counts.size(), 3u);
        EXPECT_NEAR(static_cast<double>(counts[0]) / frames, 0.75, 0.005);
        EXPECT_NEAR(static_cast<double>(counts[1]) / frames, 0.125, 0.004);
        EXPECT_NEAR(static_cast<double>(counts[-1]) / frames, 0.125, 0.004);
    }
}

namespace
{
std::string bytesOf(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
} // namespace

TEST_F(DitheredFiles, TheBytesAreThoseLibsndfileWritesFromTheDitheredIntegers)
{
    // Over 64 KiB of samples, beyond full scale at times, handed over in uneven pieces; a WAV
    // file of unknown length is written as RF64 and closed as WAV, as the writer does it.
    const std::uint32_t channels = 2, frames = 40000;
    std::vector<float> x(static_cast<std::size_t>(frames) * channels);
    std::mt19937 random(5);
    std::uniform_real_distribution<float> sample(-1.2f, 1.2f);
    for (float& v : x)
        v = sample(random);
    struct Case
    {
        int format;
        std::uint64_t mostFrames;
        const char* name;
    };
    for (const Case c : {Case{SF_FORMAT_WAV | SF_FORMAT_PCM_16, frames, "a.wav"},
                         Case{SF_FORMAT_WAV | SF_FORMAT_PCM_24, frames, "b.wav"},
                         Case{SF_FORMAT_W64 | SF_FORMAT_PCM_24, frames, "c.w64"},
                         Case{SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, "d.wav"},
                         Case{SF_FORMAT_AIFF | SF_FORMAT_PCM_16, frames, "e.aiff"}})
    {
        const std::string file = path(c.name), reference = path(std::string("reference-") + c.name);
        {
            AudioWriter writer(file, file, c.format, channels, 48000, c.mostFrames);
            writer.ditherWith(11);
            for (std::uint32_t at = 0, piece = 1; at < frames; at += piece, piece = piece * 3 % 9001 + 1)
                ASSERT_TRUE(writer.write(x.data() + static_cast<std::size_t>(at) * channels, std::min(piece, frames - at)));
            ASSERT_EQ(writer.close(), "");
        }
        {
            std::vector<std::int32_t> quantized(x.size());
            TpdfDither((c.format & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_16 ? 16 : 24, 11)
                .quantize(x.data(), quantized.data(), x.size());
            const bool rf64 = c.mostFrames == 0;
            SndfileHandle out(reference, SFM_WRITE, rf64 ? (c.format & ~SF_FORMAT_TYPEMASK) | SF_FORMAT_RF64 : c.format,
                              channels, 48000);
            if (rf64)
                out.command(SFC_RF64_AUTO_DOWNGRADE, nullptr, SF_TRUE);
            ASSERT_EQ(out.writef(quantized.data(), frames), static_cast<sf_count_t>(frames));
        }
        const std::string written = bytesOf(file);
        EXPECT_GT(written.size(), static_cast<std::size_t>(frames) * channels * 2) << c.name;
        EXPECT_TRUE(written == bytesOf(reference)) << c.name;
    }
}

TEST_F(DitheredFiles, AWriteErrorIsToldByTheWriteOrTheClose)
{
    // Files may grow to 100 kB here: 16-bit stereo fails after some 25,000 frames.
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 100000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::vector<float> x(2 * 512, 0.25f);
    // 30 buffers fit; 59 fail on the last bytes, which a write may hold until the close;
    // 200 fail midway.
    for (const std::uint32_t buffers : {30u, 59u, 200u})
    {
        const std::string file = path("full.wav");
        AudioWriter writer(file, file, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 48000, 512 * buffers);
        writer.ditherWith(3);
        std::uint32_t accepted = 0;
        while (accepted < buffers && writer.write(x.data(), 512))
            ++accepted;
        const std::string error = writer.close();
        if (buffers == 30u)
        {
            EXPECT_EQ(error, "");
            continue;
        }
        EXPECT_NE(error, "") << buffers << " buffers: the error stands at the close";
        if (buffers == 200u)
        {
            EXPECT_LT(accepted, 100u) << "the writes stop soon after the file is full";
        }
    }
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
}
