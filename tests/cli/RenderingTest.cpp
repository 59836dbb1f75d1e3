// Rendering through the stand-in host: files, formats, block sizes, batches, tails.
#include "cli/signals/DemoSignal.h"
#include "cli/render/EffectHost.h"
#include "cli/render/FileRenderer.h"
#include "cli/settings/ParameterSettings.h"
#include "cli/settings/UsageError.h"
#include "quarl/HostAllocator.h"
#include "quarl/ProcessingContext.h"
#include "quarl/SoundEngine.h"
#include "quarl/StreamRenderer.h"

#include "ScratchFolderTest.h"

#include <gtest/gtest.h>
#include <sndfile.hh>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <sys/resource.h>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

namespace
{
class Rendering : public ScratchFolderTest
{
protected:
    // A short stereo tone written as 32-bit float.
    std::string writeTone(const std::string& name, int frames, int rate = 44100, int channels = 2)
    {
        std::vector<float> samples(static_cast<std::size_t>(frames) * channels);
        for (int i = 0; i < frames; ++i)
            for (int c = 0; c < channels; ++c)
                samples[static_cast<std::size_t>(i) * channels + c] = 0.5f * std::sin(0.05f * i * (c + 1));
        SndfileHandle f(path(name), SFM_WRITE, SF_FORMAT_WAV | SF_FORMAT_FLOAT, channels, rate);
        f.writef(samples.data(), frames);
        return path(name);
    }
};

ParameterSettings fresh()
{
    return ParameterSettings(EffectHost::instance().description());
}

std::vector<std::uint8_t> defaultBlock()
{
    return EffectHost::instance().bankBlock(fresh());
}

std::shared_ptr<const RenderRecipe> recipeOf(const std::vector<std::uint8_t>& block, SampleFormat format,
                                             LoudnessTarget loudness)
{
    auto recipe = std::make_shared<RenderRecipe>();
    recipe->block = block;
    recipe->format = format;
    if (loudness.mode == LoudnessTarget::Mode::Fixed)
        recipe->loudness = loudness.lufs;
    recipe->matchLoudness = loudness.mode == LoudnessTarget::Mode::MatchInput;
    return recipe;
}

// A file rendered with these settings, replacing an existing output.
FileRenderRequest fileRequest(const std::string& input, const std::string& output,
                              const std::vector<std::uint8_t>& block, std::uint32_t blockFrames, SampleFormat format,
                              LoudnessTarget loudness)
{
    FileRenderRequest request;
    request.input = input;
    request.output = output;
    request.recipe = recipeOf(block, format, loudness);
    request.blockFrames = blockFrames;
    return request;
}
} // namespace

TEST_F(Rendering, DemoIsLongStereoAndCarriesItsTail)
{
    FileRenderRequest request = fileRequest("", path("demo.wav"), defaultBlock(), 512, SampleFormat::Automatic, {});
    const FileRenderResult result = renderFile(request);
    SF_INFO info{};
    const auto samples = readAll(request.output, &info);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.samplerate, 48000);
    EXPECT_EQ(info.format & SF_FORMAT_SUBMASK, SF_FORMAT_FLOAT);
    EXPECT_GE(result.inputFrames, 3u * 48000u);
    // The tail plays on in whole buffers after the last, short one.
    EXPECT_GT(result.outputFrames, result.inputFrames);
    EXPECT_EQ(result.outputFrames % 512, 0u);
    EXPECT_EQ(static_cast<std::uint64_t>(info.frames), result.outputFrames);
    // Nothing but the output is left in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
}

TEST_F(Rendering, KeepsChannelsRateAndFollowsTheFormat)
{
    const std::string in = writeTone("mono.wav", 3000, 22050, 1);
    FileRenderRequest request = fileRequest(in, path("out.flac"), defaultBlock(), 256, SampleFormat::Automatic, {});
    renderFile(request);
    SF_INFO info{};
    readAll(request.output, &info);
    EXPECT_EQ(info.channels, 1);
    EXPECT_EQ(info.samplerate, 22050);
    EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_FLAC);

    request.output = path("out16.wav");
    request.recipe = recipeOf(defaultBlock(), SampleFormat::Pcm16, {});
    renderFile(request);
    readAll(request.output, &info);
    EXPECT_EQ(info.format & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_16);
}

TEST_F(Rendering, BlockSizeDoesNotChangeTheSound)
{
    const std::string in = writeTone("tone.wav", 20000);
    ParameterSettings s = fresh();
    s.assign("DistortionAmount=50");
    s.assign("LoFiDownSampleIndex=#3");
    s.assign("GateThreshold=-20");
    s.assign("SIMType=99");
    // The noise is drawn channel after channel per buffer, so it alone depends on the
    // buffer size.
    s.assign("NoiseEnable=off");
    FileRenderRequest a = fileRequest(in, path("a.wav"), EffectHost::instance().bankBlock(s), 512, SampleFormat::Automatic, {});
    FileRenderRequest b = fileRequest(in, path("b.wav"), EffectHost::instance().bankBlock(s), 7, SampleFormat::Automatic, {});
    renderFile(a);
    renderFile(b);
    const auto p = readAll(a.output), q = readAll(b.output);
    ASSERT_GE(p.size(), 40000u);
    ASSERT_GE(q.size(), 40000u);
    for (std::size_t i = 0; i < 40000; ++i)
        ASSERT_EQ(p[i], q[i]) << "sample " << i;
}

TEST_F(Rendering, A16BitWavInputRendersAsItsFloatCopy)
{
    // Every 16-bit value's float is exact, so the two inputs are the same signal: 16-bit WAV
    // data read as stored must give the frames libsndfile's own conversion gives, over many
    // reads and a last short one, and nothing of a chunk that follows the data.
    const int frames = 70001;
    std::vector<short> stored(2 * static_cast<std::size_t>(frames));
    for (std::size_t i = 0; i < stored.size(); ++i)
        stored[i] = static_cast<short>(i < 4 ? (i % 2 == 0 ? -32768 : 32767) : (i * 7919) % 65536 - 32768);
    std::vector<float> copy(stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i)
        copy[i] = static_cast<float>(stored[i]) / 32768.f;
    {
        SndfileHandle pcm(path("pcm.wav"), SFM_WRITE, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100);
        ASSERT_EQ(pcm.writef(stored.data(), frames), frames);
        SndfileHandle floats(path("float.wav"), SFM_WRITE, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 44100);
        ASSERT_EQ(floats.writef(copy.data(), frames), frames);
    }
    {
        // A LIST chunk of loud bytes after the data, the RIFF size grown to hold it.
        std::fstream wav(path("pcm.wav"), std::ios::in | std::ios::out | std::ios::binary);
        wav.seekp(0, std::ios::end);
        const std::string list = std::string("LIST") + std::string("\xe8\x03\0\0", 4) + std::string(1000, '\x7f');
        wav.write(list.data(), static_cast<std::streamsize>(list.size()));
        const auto riff = static_cast<std::uint32_t>(wav.tellp()) - 8;
        const char size[4] = {static_cast<char>(riff), static_cast<char>(riff >> 8), static_cast<char>(riff >> 16),
                              static_cast<char>(riff >> 24)};
        wav.seekp(4);
        wav.write(size, 4);
    }
    FileRenderRequest fromPcm = fileRequest(path("pcm.wav"), path("a.wav"), defaultBlock(), 512, SampleFormat::Float, {});
    FileRenderRequest fromFloat = fileRequest(path("float.wav"), path("b.wav"), defaultBlock(), 512, SampleFormat::Float, {});
    const FileRenderResult a = renderFile(fromPcm), b = renderFile(fromFloat);
    EXPECT_EQ(a.inputFrames, static_cast<std::uint64_t>(frames));
    EXPECT_EQ(b.inputFrames, static_cast<std::uint64_t>(frames));
    EXPECT_TRUE(readAll(fromPcm.output) == readAll(fromFloat.output));
}

TEST_F(Rendering, BadInputsAreClearErrorsAndWriteNothing)
{
    FileRenderRequest request = fileRequest(path("missing.wav"), path("out.wav"), defaultBlock(), 512, SampleFormat::Automatic, {});
    EXPECT_THROW(renderFile(request), IoError);
    EXPECT_FALSE(fs::exists(path("out.wav")));

    std::ofstream(path("junk.wav")) << "not audio";
    request.input = path("junk.wav");
    EXPECT_THROW(renderFile(request), IoError);

    request.input = writeTone("ok.wav", 100);
    request.output = path("out.unknownext");
    EXPECT_THROW(renderFile(request), UsageError);
    EXPECT_FALSE(fs::exists(request.output));
}

TEST_F(Rendering, MeteringAndWritingBesideTheRenderChangeNoFigureAndNoByte)
{
    // The demo through the busy default chain, in every loudness mode: the figures bit for
    // bit, the files byte for byte, with the meters inline and on threads of their own.
    const LoudnessTarget targets[] = {{}, {LoudnessTarget::Mode::MatchInput, 0}, {LoudnessTarget::Mode::Fixed, -18}};
    for (const auto& target : targets)
    {
        FileRenderRequest inline_ = fileRequest("", path("inline.wav"), defaultBlock(), 512, SampleFormat::Automatic, target);
        FileRenderRequest aside = inline_;
        aside.output = path("aside.wav");
        aside.workAside = true;
        const FileRenderResult a = renderFile(inline_), b = renderFile(aside);
        EXPECT_EQ(std::memcmp(&a.output, &b.output, sizeof a.output), 0);
        EXPECT_EQ(std::memcmp(&a.gainDb, &b.gainDb, sizeof a.gainDb), 0);
        EXPECT_EQ(std::memcmp(&a.inputLoudnessLufs, &b.inputLoudnessLufs, sizeof a.inputLoudnessLufs), 0);
        EXPECT_EQ(a.outputFrames, b.outputFrames);
        EXPECT_EQ(readAll(inline_.output), readAll(aside.output));
        if (target.mode != LoudnessTarget::Mode::None)
            continue;
        // The figures the render reported before its meters could run aside.
        EXPECT_NEAR(b.output.loudnessLufs, -13.453805505, 1e-6);
        EXPECT_NEAR(b.output.peakDbfs, -0.559709717, 1e-6);
        EXPECT_NEAR(b.output.truePeakDbtp, -0.559375103, 1e-6);
        EXPECT_EQ(b.output.clippedSamples, 0u);
    }
}

TEST_F(Rendering, AWriteErrorMidwayFailsTheRenderAndLeavesNothing)
{
    // Files may grow to 1 MB here: the output (10 s of float stereo) fails a quarter of the way.
    const std::string in = writeTone("long.wav", 441000);
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 1 << 20;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    for (const bool aside : {false, true})
    {
        FileRenderRequest request = fileRequest(in, path("out.wav"), defaultBlock(), 512, SampleFormat::Automatic, {});
        request.workAside = aside;
        std::string error;
        try
        {
            renderFile(request);
        }
        catch (const IoError& e)
        {
            error = e.what();
        }
        EXPECT_NE(error.find("cannot write \"" + request.output + "\""), std::string::npos) << aside << ": " << error;
        EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1) << aside;
    }
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
}

namespace
{
// Resonances that coincide: the high- and low-pass at one frequency, both 24 dB/oct at the
// highest Q, every other stage off. Their four sections ring far longer than the tail the
// effect reports, which counts them as falling 60 dB each on their own.
ParameterSettings coincidingResonances()
{
    ParameterSettings s = fresh();
    for (const char* a : {"FiltersHPFFreq=300", "FiltersHPFQ=100", "FiltersHPFSlope=#1", "FiltersLPFFreq=300",
                          "FiltersLPFQ=100", "FiltersLPFSlope=#1", "DistortionEnable=off", "EQEnable=off",
                          "NoiseEnable=off", "SIMEnable=off", "GateEnable=off", "LoFiEnable=off"})
        s.assign(a);
    return s;
}

// What the effect plays with its own tail alone, as the host's sound engine plays it.
std::vector<float> effectsOwnRender(const std::vector<std::uint8_t>& block, const std::vector<float>& input,
                                    std::uint32_t rate)
{
    quarl::HostAllocator allocator;
    quarl::ProcessingContext context(false);
    quarl::EffectInstance instance(EffectHost::instance().effect(), allocator, &context);
    EXPECT_EQ(instance.create(block.data(), static_cast<std::uint32_t>(block.size()), {rate, 1}), ZQ::Quarl::Success);
    quarl::StreamRenderer renderer(*instance.effect(), 1, 512);
    std::size_t read = 0;
    std::vector<float> out;
    renderer.run(
        [&](float* into, std::uint32_t frames) {
            const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(frames, input.size() - read));
            std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(read), n, into);
            read += n;
            return n;
        },
        [&](const float* from, std::uint32_t frames) {
            out.insert(out.end(), from, from + frames);
            return true;
        });
    return out;
}

float peakOf(const std::vector<float>& x, std::size_t from = 0)
{
    float peak = 0.f;
    for (std::size_t i = from; i < x.size(); ++i)
        peak = std::max(peak, std::fabs(x[i]));
    return peak;
}

double db(double v)
{
    return 20.0 * std::log10(v);
}
} // namespace

TEST_F(Rendering, ARingingTailPlaysOnUntilItIsQuiet)
{
    // A second of silence ending in a 5 ms burst of noise, mono at 48 kHz.
    std::vector<float> input(48000, 0.f);
    std::uint32_t state = 12345;
    for (std::size_t i = 47760; i < input.size(); ++i)
        input[i] = (static_cast<float>((state = state * 1664525u + 1013904223u) >> 8) / 16777216.f - 0.5f);
    {
        SndfileHandle f(path("burst.wav"), SFM_WRITE, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 48000);
        f.writef(input.data(), static_cast<sf_count_t>(input.size()));
    }
    const auto block = EffectHost::instance().bankBlock(coincidingResonances());

    // The effect's own tail stops while the output still rings: its last 2 ms peak only
    // 42 dB below the render's peak, at -33 dBFS.
    const std::vector<float> own = effectsOwnRender(block, input, 48000);
    const double ownEnd = db(peakOf(own, own.size() - 96));
    EXPECT_GT(ownEnd, -40.0);
    EXPECT_LT(db(peakOf(own)) - ownEnd, 50.0);

    FileRenderRequest request = fileRequest(path("burst.wav"), path("out.wav"), block, 512, SampleFormat::Automatic, {});
    const FileRenderResult r = renderFile(request);
    const std::vector<float> out = readAll(request.output);
    ASSERT_EQ(out.size(), r.outputFrames);
    EXPECT_EQ(r.effectTailFrames, own.size() - input.size());
    EXPECT_GT(r.ringOutFrames, 0u);
    EXPECT_EQ(r.outputFrames, own.size() + r.ringOutFrames);
    EXPECT_EQ(r.tailEnd, quarl::TailEnd::Quiet);
    // The render as the effect plays it, then silence in until the end is 90 dB below the
    // peak (the peak is above -6 dBFS, so that comes before -96 dBFS).
    EXPECT_TRUE(std::equal(own.begin(), own.end(), out.begin()));
    const double peak = db(peakOf(out));
    EXPECT_GT(peak, -6.0);
    EXPECT_LE(db(peakOf(out, out.size() - 96)), peak - 90.0);
    EXPECT_LE(r.tailEndBelowPeakDb, 110.0) << "and stops soon after";
    EXPECT_GE(r.tailEndBelowPeakDb, 90.0);
    EXPECT_NEAR(r.tailEndDbfs, peak - r.tailEndBelowPeakDb, 0.01);
}

TEST_F(Rendering, TailsThatEndQuietOrOnTheHissKeepTheirLength)
{
    // The demo at the defaults ends quiet within the effect's own tail.
    FileRenderRequest demo = fileRequest("", path("demo.wav"), defaultBlock(), 512, SampleFormat::Automatic, {});
    const FileRenderResult d = renderFile(demo);
    EXPECT_EQ(d.tailEnd, quarl::TailEnd::Quiet);
    EXPECT_EQ(d.ringOutFrames, 0u);
    EXPECT_EQ(d.outputFrames, d.inputFrames + d.effectTailFrames);
    EXPECT_LE(d.tailEndDbfs, -96.0);

    // Loud hiss under the ringing filters: the end is the settings' own floor, even though
    // it is far above -96 dBFS.
    ParameterSettings s = coincidingResonances();
    s.assign("NoiseEnable=on");
    s.assign("NoiseLevel=-30");
    const std::string in = writeTone("tone.wav", 20000, 48000, 1);
    FileRenderRequest hiss = fileRequest(in, path("hiss.wav"), EffectHost::instance().bankBlock(s), 512, SampleFormat::Automatic, {});
    const FileRenderResult h = renderFile(hiss);
    EXPECT_EQ(h.tailEnd, quarl::TailEnd::Floor);
    EXPECT_GT(h.tailEndDbfs, -70.0);
    EXPECT_EQ(h.outputFrames, h.inputFrames + h.effectTailFrames + h.ringOutFrames);
    EXPECT_LT(h.ringOutFrames, 48000u) << "the ringing sinks into the hiss well within a second";
}
