// Finding a device by words: each word must stand whole in its name, its category, its tags
// (params/DeviceTags.h) or the description of its response, in any case. A word of five
// letters or more also finds the words it begins ("announce": "announcement"); a shorter one
// only itself, so that "PA" is the public address and not "Pail" or "Panel". Words in quotes
// ("public address") are one phrase, matched on word boundaries.
#pragma once

#include <string>
#include <vector>

// The device's own text to search: name, category, tags and description.
struct DeviceText
{
    std::string name, category, tags, description;
};

bool deviceMatches(const DeviceText& device, const std::vector<std::string>& words);

// The device's tags as a list.
std::vector<std::string> deviceTags(int model);
