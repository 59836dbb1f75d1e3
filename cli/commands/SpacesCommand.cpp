#include "cli/commands/SpacesCommand.h"

#include "cli/settings/SpaceSearch.h"
#include "cli/settings/UsageError.h"
#include "cli/settings/WordSearch.h"

#include "space/OctaveBands.h"
#include "space/RoomAcoustics.h"
#include "space/RoomImpulse.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <string>

namespace
{
// `value` to `decimals` places: the listing states what the description is good for, not
// the arithmetic's last digits.
double rounded(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

// A time to three digits: 2.77, 0.0943.
double seconds(double value)
{
    return value > 0.0 ? rounded(value, 2 - static_cast<int>(std::floor(std::log10(value)))) : value;
}

nlohmann::ordered_json spaceJson(const space::RoomDescription& room)
{
    nlohmann::ordered_json bands = nlohmann::ordered_json::object();
    const space::BandValues times = space::reverberationTimes(room);
    for (std::size_t b = 0; b < space::kBandCount; ++b)
        bands[std::to_string(static_cast<int>(space::kBandCentres[b]))] = seconds(times[b]);
    return {{"name", room.name},
            {"rt60", seconds(space::statedRt60(room))},
            {"description", room.sound},
            {"tags", tagList(room.tags)},
            {"size", {{"width", room.size.width}, {"length", room.size.length}, {"height", room.size.height}}},
            {"volume", rounded(space::roomVolume(room.size), 1)},
            {"distance", rounded(space::describedDistance(room), 2)},
            // Down, so that the value given back as distance= fits in the room.
            {"longestDistance", std::floor(space::longestDistance(room) * 100.0) / 100.0},
            {"throughWall", room.wallMass > 0.0},
            {"rt60Bands", bands}};
}

int spaces(const SpacesOptions& options)
{
    const auto found = spacesMatching(options.words);
    if (options.json)
    {
        std::printf("%s\n", spacesListJson(options.words).dump(2).c_str());
        return 0;
    }
    if (found.empty())
    {
        std::fprintf(stderr, "crumlet spaces: no space matches (spaces: %s)\n", space::spaceNamesText().c_str());
        return 1;
    }
    for (const space::RoomDescription* room : found)
        std::printf("%-12s %5.2f s  %s\n", room->name, space::statedRt60(*room), room->sound);
    const char* first = found.front()->name;
    std::printf("\nThe time is the reverberation time, RT60: the 500 Hz and 1 kHz octaves' mean.\n"
                "Hear one with: crumlet render --space %s --in IN.wav --out OUT.wav\n"
                "Its decay per octave: crumlet plot --space %s --out %s.png\n",
                first, first, first);
    return 0;
}
} // namespace

nlohmann::ordered_json spacesListJson(const std::vector<std::string>& words)
{
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const space::RoomDescription* room : spacesMatching(words))
        list.push_back(spaceJson(*room));
    return list;
}

int runSpaces(const SpacesOptions& options)
{
    return reportingErrors("spaces", [&] { return spaces(options); });
}
