// Crumlet Line as the wrappers run it: its parameters give the settings the texts would, its
// output is the transmission delayed by exactly the latency it reports, a codec change at run
// time hands over a new line and reports the new latency, and nothing but finite samples
// comes out, whatever goes in.
#include "plugins/common/LineEngine.h"
#include "plugins/common/LineSession.h"
#include "tests/plugins/common/LineTestSupport.h"
#include "tests/transmission/SpeechSamples.h"
#include "transmission/Transmission.h"
#include "transmission/codecs/CodecCatalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>

namespace
{
using namespace plugins;
using namespace line_test;
} // namespace

TEST(LineParameters, GiveTheSettingsTheTextsGive)
{
    // The codec and its rate, by list index or in kbit/s.
    for (const char* text : {"gsm", "amr:7.4", "amr-wb:23.85", "opus:12k", "codec2:700", "codec2:3200", "g726:16k"})
    {
        if (!available(text))
            continue;
        const auto codec = lineSetupOf(valuesFor(text)).settings.codec;
        EXPECT_EQ(transmission::codecText(codec), transmission::codecText(transmission::parseCodec(text))) << text;
    }
    // Loss, bursts and concealment; a loss its bursts cannot make is brought down to the
    // highest they allow (two frames in the mean: two thirds).
    LineValues v = valuesFor("gsm");
    v[kLineLoss] = 80.f;
    v[kLineBurst] = 2.f;
    v[kLineConcealment] = 2.f;
    auto loss = lineSetupOf(v).settings.loss;
    EXPECT_NEAR(loss.rate, 2.0 / 3.0, 0.002);
    EXPECT_EQ(loss.meanBurst, 2.0);
    EXPECT_EQ(loss.concealment, transmission::Concealment::Silence);
    EXPECT_NO_THROW(transmission::parseLoss(transmission::lossText(loss)));
    // Without a codec there are no frames to lose.
    v[kLineCodec] = 0.f;
    EXPECT_FALSE(lineSetupOf(v).settings.loss.active());

    // The radio: a click switched off is no click; the rest as set.
    v = defaultLineValues();
    v[kLineRadio] = 1.f;
    v[kLineClick] = 0.f;
    v[kLineStatic] = -40.f;
    v[kLineColour] = 0.f;
    v[kLineKeying] = 1.f;
    v[kLineSquelch] = 0.f;
    EXPECT_EQ(transmission::radioText(lineSetupOf(v).settings.radio), "static=-40dB:colour=white:squelch=off:click=off:key=line");

    // Out of range, fractional or NaN: into range, whole, or the default.
    EXPECT_EQ(clampedLineValue(kLineLoss, 150.f), 90.f);
    EXPECT_EQ(clampedLineValue(kLineCodec, 2.6f), 3.f);
    EXPECT_EQ(clampedLineValue(kLineCodec, -4.f), 0.f);
    EXPECT_EQ(clampedLineValue(kLineStatic, std::nanf("")), lineParameters()[kLineStatic].defaultValue);
}

TEST(LineEngine, OutputIsTheTransmissionDelayedByTheLatencyItReports)
{
    // For each codec at 44.1 and 48 kHz, in buffers of a DAW's size and of an odd one: the
    // plugin's output is the line's rendering of the same input in one go (after the warm-up
    // silence), later by exactly latency().
    // Loss and the radio ride along: they change what comes out, not when.
    const char* codecs[] = {"gsm", "amr:4.75", "amr:12.2", "amr-wb:12.65", "opus:8k", "opus:32k",
                            "codec2:700", "codec2:3200", "lpc10", "g726:32k", "g729"};
    for (double rate : {44100.0, 48000.0})
    {
        const auto x = stereoSpeech(rate, 2.0);
        for (const char* text : codecs)
        {
            if (!available(text))
                continue;
            for (std::size_t block : {std::size_t{512}, std::size_t{100}})
            {
                LineValues v = valuesFor(text);
                v[kLineLoss] = 10.f;
                v[kLineRadio] = 1.f;
                const LineSetup setup = lineSetupOf(v);
                const std::size_t latency = LineEngine::measureLatency(setup.settings.codec, rate);
                LineEngine engine(setup, rate, 2, block, latency);
                const auto y = runEngine(engine, x, block);
                const auto reference = renderOffline(setup, rate, x, LineEngine::warmUpFrames(rate, block));
                EXPECT_EQ(engine.shortfalls(), 0u) << text << " at " << rate;
                // A codec frame and what the resamplers hold back: under half a second.
                EXPECT_GT(latency, 0u) << text;
                EXPECT_LT(latency, static_cast<std::size_t>(0.5 * rate)) << text;
                float worst = 0.f;
                for (std::size_t c = 0; c < 2; ++c)
                {
                    for (std::size_t i = latency; i < y[c].size(); ++i)
                        worst = std::max(worst, std::fabs(y[c][i] - reference[c][i - latency]));
                }
                EXPECT_LT(worst, 1e-4f) << text << " at " << rate << " Hz in buffers of " << block << ": latency "
                                        << latency;
            }
        }
    }
}

TEST(LineEngine, SpeechComesOutLaterByTheLatencyMeasuredAgainstTheInput)
{
    // The same, measured on the signal: the waveform coders' output matches the input best at
    // the reported lag (within two samples; searched ±20 ms around it).
    for (double rate : {44100.0, 48000.0})
    {
        const auto x = stereoSpeech(rate, 2.0);
        for (const char* text : {"gsm", "amr:12.2", "opus:32k", "g726:32k", "g729"})
        {
            if (!available(text))
                continue;
            const LineSetup setup = lineSetupOf(valuesFor(text));
            const std::size_t latency = LineEngine::measureLatency(setup.settings.codec, rate);
            LineEngine engine(setup, rate, 2, 256, latency);
            const auto y = runEngine(engine, x, 256);
            const auto window = static_cast<std::size_t>(0.02 * rate);
            ASSERT_GT(latency, window);
            const std::vector<float> fromWindow(y[0].begin() + static_cast<std::ptrdiff_t>(latency - window), y[0].end());
            const int lag = transmission::testing::bestLag(x[0], fromWindow, static_cast<int>(2 * window));
            EXPECT_NEAR(lag + static_cast<int>(latency - window), static_cast<int>(latency), 2) << text << " at " << rate;
        }
    }
}

TEST(LineEngine, OnlyFiniteSamplesComeOutWhateverGoesIn)
{
    // Silence, full-scale clipping, infinities and NaN, through every codec with loss, DTX
    // and the radio.
    const double rate = 48000.0;
    std::vector<std::vector<float>> x(2, std::vector<float>(48000, 0.f));
    for (std::size_t i = 24000; i < x[0].size(); ++i)
    {
        x[0][i] = (i / 7) % 2 ? 8.f : -8.f;
        x[1][i] = i % 97 == 0 ? std::numeric_limits<float>::quiet_NaN()
                              : (i % 89 == 0 ? std::numeric_limits<float>::infinity() : 0.9f);
    }
    for (std::size_t codec = 0; codec <= transmission::codecCatalogue().size(); ++codec)
    {
        LineValues v = defaultLineValues();
        v[kLineCodec] = static_cast<float>(codec);
        v[kLineLoss] = 20.f;
        v[kLineBurst] = 3.f;
        v[kLineDtx] = 1.f;
        v[kLineRadio] = 1.f;
        const LineSetup setup = lineSetupOf(v);
        LineEngine engine(setup, rate, 2, 512, LineEngine::measureLatency(setup.settings.codec, rate));
        const auto y = runEngine(engine, x, 512);
        // Through a codec the samples are in range (its input is clipped to full scale; static
        // and clicks ride on top); without one the input passes as it is, but finite.
        const float most = codec == 0 ? 10.f : 3.f;
        for (const auto& channel : y)
            for (float s : channel)
                ASSERT_TRUE(std::isfinite(s) && std::fabs(s) <= most) << "codec " << codec << ": " << s;
    }
}

TEST(LineSession, ACodecChangeAtRunTimeHandsOverANewLineAndReportsItsLatency)
{
    if (!available("gsm") || !available("opus:24k"))
        GTEST_SKIP() << "needs GSM and Opus";
    LineSession session(2);
    std::atomic<std::size_t> told{0};
    std::atomic<int> tellings{0};
    session.setLatencyListener([&](std::size_t latency) {
        told = latency;
        ++tellings;
    });
    const LineValues gsm = valuesFor("gsm");
    for (std::size_t i = 0; i < kLineParameterCount; ++i)
        session.setValue(i, gsm[i]);
    session.prepare(48000.0, 480);
    const std::size_t gsmLatency = session.latency();
    EXPECT_EQ(gsmLatency, LineEngine::measureLatency(lineSetupOf(gsm).settings.codec, 48000.0));

    std::vector<std::vector<float>> x = stereoSpeech(48000.0, 2.0);
    std::vector<float*> pointers(2);
    auto play = [&](std::size_t from, std::size_t frames) {
        for (std::size_t c = 0; c < 2; ++c)
            pointers[c] = x[c].data() + from;
        session.process(pointers.data(), frames);
    };
    std::size_t at = 0;
    for (; at < 48000; at += 480)
        play(at, 480);

    // Opus at 24 kbit/s: a new line, a new latency told once.
    const LineValues opus = valuesFor("opus:24k");
    for (std::size_t i = 0; i < kLineParameterCount; ++i)
        session.setValue(i, opus[i]);
    ASSERT_TRUE(session.waitUntilCurrent(5000));
    const std::size_t opusLatency = LineEngine::measureLatency(lineSetupOf(opus).settings.codec, 48000.0);
    EXPECT_NE(opusLatency, gsmLatency);
    EXPECT_EQ(session.latency(), opusLatency);
    EXPECT_EQ(told.load(), opusLatency);
    EXPECT_EQ(tellings.load(), 1);
    for (; at + 480 <= x[0].size(); at += 480)
        play(at, 480);
    EXPECT_EQ(session.shortfalls(), 0u);
    for (const auto& channel : x)
        for (float s : channel)
            ASSERT_TRUE(std::isfinite(s));
    // The new line plays: the last second is not silent.
    double energy = 0;
    for (std::size_t i = 48000; i < at; ++i)
        energy += x[0][i] * x[0][i];
    EXPECT_GT(energy, 1.0);

    // A reset asked from the audio thread is made with the same settings, at once.
    session.requestReset();
    EXPECT_TRUE(session.waitUntilCurrent(5000));
    EXPECT_EQ(session.latency(), opusLatency);
    session.release();
}

TEST(LineSession, SilenceBeforePrepareAndAfterRelease)
{
    LineSession session(1);
    std::vector<float> x(256, 0.5f);
    float* channel = x.data();
    session.process(&channel, x.size());
    EXPECT_TRUE(std::all_of(x.begin(), x.end(), [](float s) { return s == 0.f; }));
    session.prepare(44100.0, 256);
    session.release();
    std::fill(x.begin(), x.end(), 0.5f);
    session.process(&channel, x.size());
    EXPECT_TRUE(std::all_of(x.begin(), x.end(), [](float s) { return s == 0.f; }));
}

TEST(LineSession, LossAndRadioLevelsChangeInTheLinePlayingAndACodecMakesANewLine)
{
    if (!available("gsm") || !available("opus:24k"))
        GTEST_SKIP() << "needs GSM and Opus";
    // A steady tone through GSM, lost frames filled with silence: 10 ms windows of the output
    // that are (nearly) silent count the frames lost.
    LineSession session(1);
    const LineValues gsm = valuesFor("gsm");
    for (std::size_t i = 0; i < kLineParameterCount; ++i)
        session.setValue(i, gsm[i]);
    session.setValue(kLineConcealment, 2.f);
    session.prepare(48000.0, 480);
    EXPECT_EQ(session.linesMade(), 1u);
    std::vector<float> x(480);
    float* channel = x.data();
    std::size_t frame = 0;
    auto silentWindows = [&](int seconds) {
        int silent = 0;
        for (int b = 0; b < seconds * 100; ++b)
        {
            for (float& s : x)
                s = 0.3f * std::sin(2.f * 3.14159265f * 300.f * static_cast<float>(frame++) / 48000.f);
            session.process(&channel, x.size());
            double energy = 0;
            for (float s : x)
                energy += s * s;
            silent += std::sqrt(energy / x.size()) < 0.01 ? 1 : 0;
        }
        return silent;
    };
    silentWindows(1); // the latency's worth of silence first
    EXPECT_EQ(silentWindows(2), 0);

    // Half the frames lost: the line playing follows (no new line, the codec goes on).
    session.setValue(kLineLoss, 50.f);
    ASSERT_TRUE(session.waitUntilCurrent(5000));
    silentWindows(1);
    const int lost = silentWindows(4);
    EXPECT_GT(lost, 100);
    EXPECT_LT(lost, 300);
    EXPECT_EQ(session.linesMade(), 1u);

    // The radio's static level follows too; switching the radio on or changing the codec
    // makes a new line.
    session.setValue(kLineStatic, -20.f);
    ASSERT_TRUE(session.waitUntilCurrent(5000));
    EXPECT_EQ(session.linesMade(), 1u);
    session.setValue(kLineRadio, 1.f);
    ASSERT_TRUE(session.waitUntilCurrent(5000));
    EXPECT_EQ(session.linesMade(), 2u);
    const LineValues opus = valuesFor("opus:24k");
    session.setValue(kLineCodec, opus[kLineCodec]);
    ASSERT_TRUE(session.waitUntilCurrent(5000));
    EXPECT_EQ(session.linesMade(), 3u);
    EXPECT_EQ(session.shortfalls(), 0u);
}
