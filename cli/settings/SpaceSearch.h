// Finding a generated space by words (WordSearch.h): each must stand whole in its name (as
// written or with spaces for its dashes: "living room"), its description, its tags, or the
// words every space answers to ("reverb", "ambience", "acoustics").
#pragma once

#include "space/SpaceCatalogue.h"

#include <string>
#include <vector>

// The spaces the words find, in the catalogue's order; every space for no words.
std::vector<const space::RoomDescription*> spacesMatching(const std::vector<std::string>& words);

// What follows "no space NAME": "; did you mean "station"?" for a near name, else the list of
// spaces.
std::string spaceNameHint(const std::string& typed);
