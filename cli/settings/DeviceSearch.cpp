#include "cli/settings/DeviceSearch.h"

#include "cli/settings/WordSearch.h"
#include "params/DeviceTags.h"

bool deviceMatches(const DeviceText& device, const std::vector<std::string>& words)
{
    return holdsEveryWord(device.name + " | " + device.category + " | " + device.tags + " | " + device.description, words);
}

std::vector<std::string> deviceTags(int model)
{
    if (model < 0 || static_cast<std::size_t>(model) >= kDeviceCount)
        return {};
    return tagList(kDeviceTags[model].tags);
}
