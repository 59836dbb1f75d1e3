#include "cli/settings/SpaceSearch.h"

#include "cli/settings/NameSuggestions.h"
#include "cli/settings/WordSearch.h"

#include <algorithm>

namespace
{
// Every space is one of these, whatever room it is ("room" itself finds the rooms alone).
constexpr const char* kWhatEverySpaceIs = "space, reverb, reverberation, ambience, ambiance, acoustics, impulse response";

std::string searchedText(const space::RoomDescription& room)
{
    std::string spaced = room.name;
    std::replace(spaced.begin(), spaced.end(), '-', ' ');
    return std::string(room.name) + " | " + spaced + " | " + room.sound + " | " + room.tags + " | " + kWhatEverySpaceIs;
}
} // namespace

std::vector<const space::RoomDescription*> spacesMatching(const std::vector<std::string>& words)
{
    std::vector<const space::RoomDescription*> found;
    for (const space::RoomDescription& room : space::spaceCatalogue())
        if (holdsEveryWord(searchedText(room), words))
            found.push_back(&room);
    return found;
}

std::string spaceNameHint(const std::string& typed)
{
    std::vector<std::string> names;
    for (const space::RoomDescription& room : space::spaceCatalogue())
        names.emplace_back(room.name);
    const std::string suggestion = nameSuggestion(names, typed);
    return suggestion.empty() ? " (spaces: " + space::spaceNamesText() + ")" : "; " + suggestion;
}
