// `crumlet spaces`: every generated space with the reverberation time it states, found by
// words; and `crumlet sims` sending words that find spaces there.
#include "space/RoomAcoustics.h"
#include "space/RoomImpulse.h"
#include "space/SpaceCatalogue.h"

#include "CrumletProcess.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace
{
bool has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// The names the listing gives, a space a line, in order.
std::vector<std::string> spacesListed(const std::vector<std::string>& words)
{
    std::vector<std::string> args{"spaces"};
    args.insert(args.end(), words.begin(), words.end());
    const ProcessResult r = runCrumlet(args);
    std::vector<std::string> names;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);)
        if (const auto room = space::findSpace(line.substr(0, line.find(' '))); room != nullptr && has(line, room->sound))
            names.push_back(room->name);
    return names;
}

std::vector<std::string> allNames()
{
    std::vector<std::string> names;
    for (const auto& room : space::spaceCatalogue())
        names.emplace_back(room.name);
    return names;
}

bool holds(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}
} // namespace

TEST(SpacesCommand, ListsEverySpaceWithTheTimeItStatesAndItsDescription)
{
    const ProcessResult r = runCrumlet({"spaces"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_GE(space::spaceCatalogue().size(), 12u);
    EXPECT_EQ(spacesListed({}), allNames());
    for (const auto& room : space::spaceCatalogue())
    {
        char line[256];
        std::snprintf(line, sizeof line, "%-12s %5.2f s  %s\n", room.name, space::statedRt60(room), room.sound);
        EXPECT_TRUE(has(r.out, line)) << line;
    }
    // The station states near three seconds; a car a tenth of one.
    EXPECT_TRUE(has(r.out, "station       2.77 s  a train-station concourse")) << r.out;
    EXPECT_TRUE(has(r.out, "car           0.09 s  inside a car")) << r.out;
}

TEST(SpacesCommand, WordsFindSpacesByNameDescriptionAndTags)
{
    const auto station = spacesListed({"station"});
    EXPECT_TRUE(holds(station, "station") && holds(station, "underground")) << station.size();
    EXPECT_FALSE(holds(station, "car"));
    // What every space is, in any case.
    EXPECT_EQ(spacesListed({"reverb"}), allNames());
    EXPECT_EQ(spacesListed({"REVERB"}), allNames());
    EXPECT_EQ(spacesListed({"acoustics"}), allNames());
    // Rooms, and not the car or the street.
    const auto room = spacesListed({"room"});
    EXPECT_TRUE(holds(room, "living-room") && holds(room, "next-room") && holds(room, "office")) << room.size();
    EXPECT_FALSE(holds(room, "car") || holds(room, "street"));
    const auto hall = spacesListed({"hall"});
    EXPECT_TRUE(holds(hall, "school-hall") && holds(hall, "church") && holds(hall, "station")) << hall.size();
    // Every word must match; a quoted phrase is one; a name's dash reads as a space.
    EXPECT_EQ(spacesListed({"train", "hall"}), std::vector<std::string>{"station"});
    EXPECT_EQ(spacesListed({"next door"}), std::vector<std::string>{"next-room"});
    EXPECT_EQ(spacesListed({"phone booth"}), std::vector<std::string>{"phone-booth"});
    EXPECT_EQ(spacesListed({"corridor"}), std::vector<std::string>{"stairwell"});
    const auto tv = spacesListed({"TV"});
    EXPECT_TRUE(holds(tv, "next-room") && holds(tv, "living-room")) << tv.size();

    // Nothing found: said so, and the spaces named.
    const ProcessResult none = runCrumlet({"spaces", "xyzzy"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.out.empty()) << none.out;
    EXPECT_TRUE(has(none.err, "no space matches") && has(none.err, "phone-booth")) << none.err;
    const ProcessResult noneAsJson = runCrumlet({"spaces", "xyzzy", "--json"});
    EXPECT_EQ(noneAsJson.exitCode, 0);
    EXPECT_EQ(nlohmann::json::parse(noneAsJson.out), nlohmann::json::array());
}

TEST(SpacesCommand, JsonHoldsWhatTheDescriptionsSay)
{
    const ProcessResult r = runCrumlet({"spaces", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto list = nlohmann::json::parse(r.out);
    const auto& catalogue = space::spaceCatalogue();
    ASSERT_EQ(list.size(), catalogue.size());
    for (std::size_t k = 0; k < catalogue.size(); ++k)
    {
        const auto& room = catalogue[k];
        const auto& json = list[k];
        SCOPED_TRACE(room.name);
        EXPECT_EQ(json["name"], room.name);
        EXPECT_EQ(json["description"], room.sound);
        // Three digits of what the description gives.
        const double stated = space::statedRt60(room);
        EXPECT_NEAR(json["rt60"].get<double>(), stated, 0.005 * stated);
        const double bandsMean = 0.5 * (json["rt60Bands"]["500"].get<double>() + json["rt60Bands"]["1000"].get<double>());
        EXPECT_NEAR(bandsMean, stated, 0.005 * stated);
        EXPECT_EQ(json["rt60Bands"].size(), 7u);
        EXPECT_EQ(json["size"]["width"], room.size.width);
        EXPECT_EQ(json["size"]["length"], room.size.length);
        EXPECT_EQ(json["size"]["height"], room.size.height);
        EXPECT_NEAR(json["volume"].get<double>(), room.size.width * room.size.length * room.size.height, 0.05);
        EXPECT_NEAR(json["distance"].get<double>(), space::describedDistance(room), 0.005);
        EXPECT_LE(json["longestDistance"].get<double>(), space::longestDistance(room));
        EXPECT_GE(json["distance"].get<double>(), 0.1);
        EXPECT_EQ(json["throughWall"], room.wallMass > 0.0);
        EXPECT_GE(json["tags"].size(), 3u);
    }
    // The longest distance it gives is one a space takes back; a little further is refused.
    for (const auto& json : list)
    {
        const std::string name = json["name"];
        const double longest = json["longestDistance"];
        EXPECT_EQ(runCrumlet({"plot", "--space", name + ":distance=" + std::to_string(longest), "--csv"}).exitCode, 0)
            << name;
        EXPECT_EQ(runCrumlet({"plot", "--space", name + ":distance=" + std::to_string(longest + 0.05), "--csv"}).exitCode,
                  2)
            << name;
    }
}

// `crumlet sims station` finds devices heard in a station, and points at the station itself;
// `crumlet sims reverb` finds no device, and points at every space.
TEST(SpacesCommand, SimsPointsWordsThatFindSpacesAtThem)
{
    ProcessResult r = runCrumlet({"sims", "station"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(has(r.out, "Station Phone")) << r.out;
    EXPECT_FALSE(has(r.out, "spaces:")) << r.out; // the listing stays one device a line
    EXPECT_TRUE(has(r.err, "spaces: station, underground (crumlet spaces station)")) << r.err;

    r = runCrumlet({"sims", "reverb"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(has(r.err, "no device matches")) << r.err;
    std::string every;
    for (const auto& name : allNames())
        every += (every.empty() ? "" : ", ") + name;
    EXPECT_TRUE(has(r.err, "spaces: " + every + " (crumlet spaces reverb)")) << r.err;

    r = runCrumlet({"sims", "next door"});
    EXPECT_TRUE(has(r.err, "spaces: next-room (crumlet spaces \"next door\")")) << r.err;

    // Words that find no space leave the spaces out.
    r = runCrumlet({"sims", "megaphone"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_FALSE(has(r.err, "spaces")) << r.err;
    EXPECT_FALSE(has(runCrumlet({"sims"}).err, "spaces"));
    // JSON stays JSON.
    r = runCrumlet({"sims", "station", "--json"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_FALSE(nlohmann::json::parse(r.out).empty());
}
