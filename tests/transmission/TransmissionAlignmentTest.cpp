// Every codec's output lines up with its input, at the speech's own rate and at 44.1 and
// 48 kHz: as many frames out as in, fed in pieces of any size, and the best cross-correlation
// at lag 0.
#include "tests/transmission/SpeechSamples.h"
#include "transmission/Transmission.h"
#include "transmission/codecs/CodecCatalogue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace transmission
{
namespace
{
using testing::Speech;

std::vector<float> transmit(const std::string& codec, const Speech& speech, std::size_t piece)
{
    TransmissionSettings settings;
    settings.codec = parseCodec(codec);
    Transmission line(settings, speech.sampleRate, 1, 7);
    std::vector<float> out;
    for (std::size_t at = 0; at < speech.samples.size(); at += piece)
        line.process(speech.samples.data() + at, std::min(piece, speech.samples.size() - at), out);
    line.finish(out);
    return out;
}

struct Case
{
    const char* codec;
    // How the lag is found and how far from 0 it may be. Waveform coders are compared sample by
    // sample: GSM and G.726 exactly; AMR and G.729 delay by a fraction of a codec sample that
    // differs a little from mode to mode, so within one output sample; Opus's layers (SILK
    // below 12 kbit/s, CELT above) differ in their resamplers' phase, and SILK's with the
    // signal: within 0.125 ms. Vocoders
    // (Codec 2, LPC-10) synthesise their own phases: their speech envelope lines up, measured
    // to within 1.5 ms.
    bool envelope;
    double toleranceMs;
    int toleranceSamples;
};

const Case kCases[] = {{"gsm", false, 0, 0},          {"amr:4.75", false, 0, 1},     {"amr:12.2", false, 0, 1},
                       {"amr-wb:12.65", false, 0, 1}, {"opus:8k", false, 0.125, 0},  {"opus:24k", false, 0.125, 0},
                       {"g726:32k", false, 0, 0},     {"g726:16k", false, 0, 0},     {"g729", false, 0, 1},
                       {"codec2:700", true, 1.5, 0},  {"codec2:1300", true, 1.5, 0}, {"codec2:3200", true, 1.5, 0},
                       {"lpc10", true, 1.5, 0}};

TEST(TransmissionAlignment, EveryCodecLinesUpWithItsInputAtEveryRate)
{
    Speech speech16 = testing::readSpeech(testing::speechPath());
    speech16.samples.resize(std::min<std::size_t>(speech16.samples.size(), 4 * 16000));
    std::size_t piece = 97;
    for (double rate : {16000.0, 44100.0, 48000.0})
    {
        const Speech speech = rate == 16000.0 ? speech16 : testing::resampled(speech16, rate);
        for (const Case& c : kCases)
        {
            if (!codecEntry(parseCodec(c.codec).kind).available)
                continue;
            piece = piece * 7 % 4093 + 1; // pieces of many sizes
            const std::vector<float> out = transmit(c.codec, speech, piece);
            ASSERT_EQ(out.size(), speech.samples.size()) << c.codec << " at " << rate;
            const int most = static_cast<int>(rate / 100);
            const int halfWidth = static_cast<int>(rate / 200);
            const int lag = c.envelope ? testing::bestLag(testing::envelope(speech.samples, halfWidth),
                                                          testing::envelope(out, halfWidth), most)
                                       : testing::bestLag(speech.samples, out, most);
            EXPECT_LE(std::abs(lag), std::max(c.toleranceSamples, static_cast<int>(std::floor(c.toleranceMs * rate / 1000.0))))
                << c.codec << " at " << rate << " Hz: lag " << lag;
            EXPECT_GT(testing::correlation(c.envelope ? testing::envelope(speech.samples, halfWidth) : speech.samples,
                                           c.envelope ? testing::envelope(out, halfWidth) : out),
                      c.envelope ? 0.5 : 0.3)
                << c.codec << " at " << rate;
        }
    }
}

} // namespace
} // namespace transmission
