// The SIM browser: the device menu grouped under its category headings, and the picture of
// the chosen device cut from the strip of device pictures.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <string>
#include <vector>

namespace SimBrowser
{
// Fills `menu` with a heading per category and the category's devices in menu order; an
// item's id is its device's SIMType value + 1, its text the device's name.
void fillMenu(juce::ComboBox& menu, const std::vector<std::string>& deviceNames);

// Frame width of the strip of pictures (strip width / the number of devices, 164).
int frameWidth(const juce::Image& strip);
// The picture of `device` within the strip.
juce::Image picture(const juce::Image& strip, int device);
} // namespace SimBrowser
