// Finding what a tired user meant: the editor's legends as aliases of the properties they
// label, the properties whose names hold a word typed, the closest spellings of a property,
// a preset or a space, and the two readings of a bare number given for a list of numbers.
#pragma once

#include "quarl/PluginDescription.h"

#include <string>
#include <vector>

struct PropertyAlias
{
    std::string alias;    // the legend as the editor prints it: "DRIVE"
    std::string property; // "DistortionAmount"
};

// The legends printed beside one control each that name no other property: "DRIVE", "DUCK",
// "RATE", "BALANCE"... A legend over several controls ("FREQ", "RANGE") or one that is a word
// of several property names ("GAIN", "LPF", "FILTER") is left out: it would guess.
const std::vector<PropertyAlias>& propertyAliases();

// The property an alias names (any case), or empty.
std::string propertyForAlias(const std::string& alias);

// The alias of a property, or empty.
std::string aliasOfProperty(const std::string& property);

// Edit distance, letters compared without case.
std::size_t editDistance(const std::string& a, const std::string& b);

// What to say after "unknown property "NAME"": the properties holding NAME as a part of their
// names or display names ("properties with "LPF" in their names: ..."), a few words for a
// property a person says otherwise ("mix": Balance), or the closest spelling; empty when
// nothing is near.
std::string propertySuggestion(const quarl::PluginDescription& description, const std::string& name);

// "did you mean "Police radio"?" for a mistyped name among `names` (a preset's, a space's):
// the names holding what was typed, or the closest spelling; empty when nothing is near.
std::string nameSuggestion(const std::vector<std::string>& names, const std::string& typed);

// For a list property whose entries are numbers (rates, bit depths, slopes): a bare number
// that is no entry's text reads two ways, as a value and as an index. The refusal naming
// both ("8000 Hz is `8kHz`; index 8, 5333 Hz, is `#8`"), or empty when `text` is not such a
// bare number, the list is not one of numbers, or only the value can be meant ("24" for a
// slope of "24 dB/oct", there being no index 24: `onlyReading` is then that entry, else -1).
std::string ambiguousListNumber(const quarl::PropertyDescription& property, const std::string& text,
                                int& onlyReading);
