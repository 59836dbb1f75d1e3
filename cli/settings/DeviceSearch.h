// Finding a device by words (WordSearch.h): each word must stand whole in its name, its
// category, its tags (params/DeviceTags.h) or the description of its response.
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
