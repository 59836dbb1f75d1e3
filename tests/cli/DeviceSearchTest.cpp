// Finding a device: whole words in its name, category, tags and description; and the
// description read as a person reads a response.
#include "cli/pictures/SimResponse.h"
#include "cli/settings/DeviceSearch.h"
#include "params/DeviceTags.h"

#include "CrumletProcess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace
{
bool has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

std::vector<std::string> namesFound(const std::vector<std::string>& words)
{
    std::vector<std::string> args{"sims"};
    args.insert(args.end(), words.begin(), words.end());
    const ProcessResult r = runCrumlet(args);
    std::vector<std::string> names;
    for (std::size_t at = 0; at < r.out.size();)
    {
        const std::size_t end = r.out.find('\n', at);
        const std::string line = r.out.substr(at, end - at);
        if (line.size() > 36)
        {
            std::string name = line.substr(5, 31);
            name.erase(name.find_last_not_of(' ') + 1);
            names.push_back(name);
        }
        at = end == std::string::npos ? r.out.size() : end + 1;
    }
    return names;
}

bool found(const std::vector<std::string>& names, const std::string& name)
{
    for (const auto& n : names)
        if (n == name)
            return true;
    return false;
}

// A response at responseFrequencies() from a function of frequency.
template <typename F>
std::vector<double> responseOf(F dbAt)
{
    std::vector<double> db;
    for (double f : responseFrequencies())
        db.push_back(dbAt(f));
    return db;
}
} // namespace

// Whole words: `crumlet sims PA` finds neither Metal Pail nor Panel, and old, train, announce
// and boxy find their devices.
TEST(DeviceSearch, WholeWordsInNamesCategoriesAndTags)
{
    const auto pa = namesFound({"PA"});
    EXPECT_TRUE(found(pa, "Red Megaphone") && found(pa, "Horrortone")) << pa.size();
    for (const auto& n : pa)
        EXPECT_FALSE(has(n, "Pail") || has(n, "Panel")) << n;
    for (const char* word : {"old", "train", "announce", "boxy", "station", "intercom", "horn", "toy"})
        EXPECT_FALSE(namesFound({word}).empty()) << word;
    EXPECT_EQ(namesFound({"public address"}), pa);
    EXPECT_TRUE(found(namesFound({"old", "radio"}), "Antique Tube Radio 1"));
    EXPECT_FALSE(found(namesFound({"old", "radio"}), "Portable Radio"));
    EXPECT_TRUE(namesFound({"spaceship"}).empty());

    const DeviceText pail{"Metal Pail 1", "Containers", "metal, bucket", ""};
    EXPECT_FALSE(deviceMatches(pail, {"pa"}));
    EXPECT_TRUE(deviceMatches(pail, {"PAIL"}));
    EXPECT_TRUE(deviceMatches(pail, {"metal", "bucket"}));
    EXPECT_FALSE(deviceMatches(pail, {"met"}));    // a short word stands whole
    EXPECT_FALSE(deviceMatches(pail, {"cont"}));
    EXPECT_TRUE(deviceMatches(pail, {"contain"})); // a long one finds the words it begins
}

TEST(DeviceSearch, EveryDeviceHasAFewTags)
{
    for (std::size_t m = 0; m < kDeviceCount; ++m)
    {
        const auto tags = deviceTags(static_cast<int>(m));
        EXPECT_GE(tags.size(), 2u) << kDeviceRows[m].name;
        for (const auto& t : tags)
            EXPECT_TRUE(!t.empty() && t.front() != ' ' && t.back() != ' ') << kDeviceRows[m].name;
    }
}

TEST(SimDescription, ReadsTheBandFromThePassBandsLevel)
{
    // A telephone band: 0 dB from 300 Hz to 3.4 kHz, 60 dB down outside.
    const SimResponse phone = describeResponse(responseOf([](double f) { return f >= 300 && f <= 3400 ? 0.0 : -60.0; }));
    EXPECT_NEAR(phone.levelDb, 0.0, 0.5);
    EXPECT_GT(phone.lowHz, 200.0);
    EXPECT_LT(phone.lowHz, 320.0);
    EXPECT_GT(phone.highHz, 3200.0);
    EXPECT_LT(phone.highHz, 4600.0);
    EXPECT_TRUE(has(phone.description, "no bass") && has(phone.description, "no treble")) << phone.description;

    // Flat from 40 Hz to 10 kHz with an 8 dB bass bump at 80 Hz: the band is the whole of it,
    // not the bump ("39 Hz–180 Hz" it read).
    const SimResponse bump = describeResponse(responseOf([](double f) {
        const double edges = (f < 40.0 ? -40.0 * std::log10(40.0 / f) : 0.0) + (f > 10000.0 ? -40.0 * std::log10(f / 10000.0) : 0.0);
        return edges + 8.0 * std::exp(-std::pow(std::log2(f / 80.0) / 0.5, 2.0));
    }));
    EXPECT_LT(bump.lowHz, 40.0);
    EXPECT_GT(bump.highHz, 10000.0);
    EXPECT_TRUE(has(bump.description, "bass bump at")) << bump.description;

    // Flat: said so.
    EXPECT_EQ(describeResponse(responseOf([](double) { return 0.0; })).description, "full range, flat");

    // The stereo boombox as voiced: within 7 dB from 40 Hz to 10 kHz, with a bass bump.
    const SimResponse boombox = describeSimResponse(57);
    EXPECT_LT(boombox.lowHz, 45.0) << boombox.description;
    EXPECT_GT(boombox.highHz, 10000.0) << boombox.description;
    EXPECT_TRUE(has(boombox.description, "bass bump")) << boombox.description;
    // A megaphone has no bass and a honky or bright peak.
    EXPECT_TRUE(has(describeSimResponse(60).description, "no bass")) << describeSimResponse(60).description;
}
