#include "editor/SimBrowser.h"

#include "params/DeviceCategories.h"
#include "params/DeviceTable.h"

namespace SimBrowser
{
namespace
{
constexpr int kDevices = static_cast<int>(kDeviceCount);
}

void fillMenu(juce::ComboBox& menu, const std::vector<std::string>& deviceNames)
{
    for (const DeviceCategory& category : g_deviceCategories)
    {
        menu.addSectionHeading(category.heading);
        for (const std::uint8_t device : category.devices)
            if (device < deviceNames.size())
                menu.addItem(juce::String(deviceNames[device]), device + 1);
    }
}

int frameWidth(const juce::Image& strip)
{
    return strip.getWidth() / kDevices;
}

juce::Image picture(const juce::Image& strip, int device)
{
    const int w = frameWidth(strip);
    return strip.getClippedImage({device * w, 0, w, strip.getHeight()});
}
} // namespace SimBrowser
