// The settings texts: what --codec, --loss and --radio take, read back from what they write,
// and the errors that name what is available.
#include "transmission/TransmissionSettings.h"
#include "transmission/codecs/CodecCatalogue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace transmission
{
namespace
{
std::string errorOf(const std::function<void()>& f)
{
    try
    {
        f();
    }
    catch (const SettingsError& e)
    {
        return e.what();
    }
    return {};
}

TEST(TransmissionSettings, CodecTextsReadAndWriteBack)
{
    EXPECT_EQ(parseCodec("gsm").kind, CodecKind::Gsm);
    EXPECT_EQ(parseCodec("amr:7.4").bitRate, 7400);
    EXPECT_EQ(parseCodec("AMR:4.75k").bitRate, 4750);
    EXPECT_EQ(parseCodec("opus:12k").bitRate, 12000);
    EXPECT_EQ(parseCodec("opus:12000").bitRate, 12000);
    EXPECT_EQ(parseCodec("codec2:1600").bitRate, 1600);
    EXPECT_EQ(parseCodec("codec2:700c").bitRate, 700);
    EXPECT_EQ(parseCodec("g726:24k").bitRate, 24000);
    EXPECT_EQ(parseCodec("amr-wb").bitRate, 12650);
    const CodecSettings opus = parseCodec("opus:16k:wb:dtx");
    EXPECT_EQ(opus.bandwidth, OpusBandwidth::Wide);
    EXPECT_TRUE(opus.discontinuous);
    EXPECT_EQ(parseCodec("none").kind, CodecKind::None);
    for (const char* text : {"gsm", "amr:7.4", "amr:12.2:dtx", "amr-wb:23.85", "opus:6k", "opus:64k:fb", "codec2:700",
                             "codec2:3200", "lpc10", "g726:40k", "g729:dtx", "none"})
        EXPECT_EQ(codecText(parseCodec(text)), text);
}

TEST(TransmissionSettings, UnknownCodecsAndRatesNameWhatIsAvailable)
{
    const std::string unknown = errorOf([] { parseCodec("mp3"); });
    EXPECT_NE(unknown.find("no codec \"mp3\""), std::string::npos) << unknown;
    for (const auto& entry : codecCatalogue())
        EXPECT_NE(unknown.find(entry.name), std::string::npos) << unknown;
    const std::string rate = errorOf([] { parseCodec("amr:8"); });
    EXPECT_NE(rate.find("4.75, 5.15, 5.9, 6.7, 7.4, 7.95, 10.2, 12.2 kbit/s"), std::string::npos) << rate;
    EXPECT_NE(errorOf([] { parseCodec("opus:5k"); }).find("6 to 64 kbit/s"), std::string::npos);
    EXPECT_NE(errorOf([] { parseCodec("opus:65k"); }).find("6 to 64 kbit/s"), std::string::npos);
    EXPECT_NE(errorOf([] { parseCodec("codec2:2000"); }).find("700, 1200"), std::string::npos);
    EXPECT_NE(errorOf([] { parseCodec("gsm:dtx"); }).find("not a setting of gsm"), std::string::npos);
    EXPECT_NE(errorOf([] { parseCodec("opus:nan"); }).find("not a setting of opus"), std::string::npos);
    for (const char* bad : {":", "::", "amr:", "opus::wb", ":12k"})
        EXPECT_FALSE(errorOf([&] { parseCodec(bad); }).empty()) << bad;
}

TEST(TransmissionSettings, LossTextsReadWriteBackAndRefuseTheImpossible)
{
    EXPECT_DOUBLE_EQ(parseLoss("5%").rate, 0.05);
    const LossSettings bursty = parseLoss("3%:burst=4");
    EXPECT_DOUBLE_EQ(bursty.rate, 0.03);
    EXPECT_DOUBLE_EQ(bursty.meanBurst, 4.0);
    EXPECT_EQ(parseLoss("8%:conceal=repeat").concealment, Concealment::Repeat);
    for (const char* text : {"5%", "3%:burst=4", "12.5%:burst=2:conceal=silence", "off"})
        EXPECT_EQ(lossText(parseLoss(text)), text);
    for (const char* bad : {"100%", "-1%", "5", "x%", "5%:burst=0", "5%:burst=inf", "5%:conceal=maybe", "5%:jitter=3",
                            ":burst=4", ":", "%"})
        EXPECT_FALSE(errorOf([&] { parseLoss(bad); }).empty()) << bad;
    // Bursts of one frame in the mean cannot make up more than half the frames.
    EXPECT_NE(errorOf([] { parseLoss("60%:burst=1"); }).find("at most 50%"), std::string::npos);
}

TEST(TransmissionSettings, RadioTextsReadAndWriteBack)
{
    EXPECT_FALSE(parseRadio("off").enabled);
    EXPECT_TRUE(parseRadio("").enabled);
    EXPECT_EQ(radioText(parseRadio("on")), "on");
    const RadioSettings radio = parseRadio("static=-40dB:colour=white:squelch=off:click=off:hold=500ms:key=line");
    EXPECT_DOUBLE_EQ(radio.staticDb, -40.0);
    EXPECT_EQ(radio.squelchMs, 0.0);
    EXPECT_TRUE(std::isinf(radio.clickDb));
    EXPECT_EQ(radio.keying, Keying::Line);
    EXPECT_EQ(radioText(radio), "static=-40dB:colour=white:squelch=off:click=off:hold=500ms:key=line");
    for (const char* bad : {":", "::", ":static=-40dB", "static=loud", "squelch=-5ms", "colour=green", "volume=3", "static", "threshold=off"})
        EXPECT_FALSE(errorOf([&] { parseRadio(bad); }).empty()) << bad;
    TransmissionSettings all;
    all.codec = parseCodec("amr:7.4");
    all.loss = parseLoss("3%:burst=4");
    all.radio = parseRadio("on");
    EXPECT_EQ(summaryText(all), "codec amr:7.4, loss 3%:burst=4, radio");
}

} // namespace
} // namespace transmission
