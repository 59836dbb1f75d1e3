// The settings texts --space takes: read, written back, and refused with messages that say
// what is accepted and quote at most 64 bytes of what was given.
#include "space/SpaceCatalogue.h"
#include "space/SpaceError.h"
#include "space/SpaceSettings.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace space
{
namespace
{
std::string errorOf(const std::string& text)
{
    try
    {
        parseSpace(text);
    }
    catch (const SpaceError& e)
    {
        return e.what();
    }
    return "(no error)";
}

TEST(SpaceSettings, TextsReadAsWritten)
{
    const SpaceSettings station = parseSpace(" Station : MIX=40% : distance=12m : predelay=20ms ");
    EXPECT_EQ(station.source, "station");
    EXPECT_TRUE(station.generated());
    EXPECT_EQ(station.mixPercent, 40.0);
    EXPECT_EQ(station.distance, 12.0);
    EXPECT_EQ(station.predelayMs, 20.0);
    EXPECT_FALSE(station.normalize);

    const SpaceSettings plain = parseSpace("phone booth");
    EXPECT_EQ(plain.source, "phone-booth");
    EXPECT_EQ(plain.mixPercent, 100.0);
    EXPECT_FALSE(plain.distance.has_value());
    EXPECT_EQ(plain.predelayMs, 0.0);

    // A file's name keeps its colons; the settings are read from the end.
    const SpaceSettings file = parseSpace("takes/hall:2.wav:normalize:mix=25");
    EXPECT_EQ(file.source, "takes/hall:2.wav");
    EXPECT_FALSE(file.generated());
    EXPECT_TRUE(file.normalize);
    EXPECT_EQ(file.mixPercent, 25.0);
    EXPECT_EQ(parseSpace("C:\\rooms\\vault.wav").source, "C:\\rooms\\vault.wav");

    for (const char* none : {"", "  ", "off", "OFF", "none"})
        EXPECT_FALSE(parseSpace(none).active()) << none;
}

TEST(SpaceSettings, TextsWriteBackToTheSameSettings)
{
    for (const char* text : {"station", "church:mix=35", "car:distance=0.6:predelay=5", "street:mix=0",
                             "halls/vault.wav:mix=12.5:predelay=1000:normalize", "off"})
        EXPECT_EQ(spaceText(parseSpace(text)), text);
    SpaceSettings odd;
    odd.source = "office";
    odd.mixPercent = 100.0 / 3.0;
    odd.distance = 2.0 / 7.0 + 1.0;
    odd.predelayMs = 0.1;
    EXPECT_EQ(parseSpace(spaceText(odd)), odd);
}

TEST(SpaceSettings, BadTextsSayWhatIsAccepted)
{
    const auto says = [](const std::string& text, std::initializer_list<const char*> parts) {
        const std::string message = errorOf(text);
        for (const char* part : parts)
            EXPECT_NE(message.find(part), std::string::npos) << text << " -> " << message;
    };
    says("station:mx=40", {"\"mx=40\"", "mix=PERCENT", "distance=METRES", "predelay=MS", "normalize"});
    says("station:mix=140", {"mix=", "0 to 100", "\"140\""});
    says("station:mix=lots", {"mix=", "\"lots\""});
    says("station:mix=40dB", {"mix=", "\"40dB\""});
    says("station:distance=0", {"distance=", "0.1 to 1000"});
    says("station:predelay=-3", {"predelay=", "0 to 1000"});
    says("station:predelay=nan", {"predelay="});
    says("station:mix=10:mix=20", {"mix", "twice"});
    says(":mix=40", {"named before", "station", "phone-booth"});
    says("station:normalize", {"normalize", "file"});
    says("hall.wav:distance=3", {"distance=", "generated", "\"hall.wav\""});
    says("station:normalize=yes", {"normalize", "no value"});
}

TEST(SpaceSettings, MessagesQuoteAtMost64BytesOfTheText)
{
    const std::string field = "x=" + std::string(200, 'y');
    const std::string message = errorOf("station:" + field);
    EXPECT_NE(message.find("(202 bytes)"), std::string::npos) << message;
    EXPECT_EQ(message.find(std::string(65, 'y')), std::string::npos) << message;
    // Cut at a character's boundary.
    std::string accented = "mix=";
    for (int i = 0; i < 40; ++i)
        accented += "\xc3\xa9";
    const std::string cut = errorOf("station:" + accented);
    EXPECT_EQ(cut.find("\xc3\"") , std::string::npos) << cut;
    EXPECT_LT(cut.size(), 200u);
}
} // namespace
} // namespace space
