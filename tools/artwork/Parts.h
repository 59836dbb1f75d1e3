// The drawing of each kind of image; each returns an image of the catalogue's size and colour type.
#pragma once

#include "editor/EditorLayout.h"
#include "editor/artwork/ArtworkCatalogue.h"

#include <juce_graphics/juce_graphics.h>

// Knobs.cpp: a 61-frame filmstrip of a knob turning from 7 o'clock to 5 o'clock.
juce::Image drawKnobStrip(const Artwork::ImageSpec& spec, EditorLayout::Look look);

// SmallParts.cpp
juce::Image drawFaderFill(const Artwork::ImageSpec& spec);
juce::Image drawFaderCap(const Artwork::ImageSpec& spec);
juce::Image drawStepButton(const Artwork::ImageSpec& spec, bool up, bool pressed);
juce::Image drawEnableLamp(const Artwork::ImageSpec& spec);
juce::Image drawEnableButton(const Artwork::ImageSpec& spec);
juce::Image drawLitButton(const Artwork::ImageSpec& spec, const char* legend);

// Meters.cpp
juce::Image drawBarMeter(const Artwork::ImageSpec& spec, bool gainReduction);
juce::Image drawClipLight(const Artwork::ImageSpec& spec);
juce::Image drawDistortionMeter(const Artwork::ImageSpec& spec);
juce::Image drawNoiseVisualiser(const Artwork::ImageSpec& spec);

// Backgrounds.cpp: the faceplate with panels, titles, legends and the unlit controls.
juce::Image drawBackground(const Artwork::ImageSpec& spec, EditorLayout::Channels layout);

// devices/DeviceStrip.cpp: the 164 device pictures side by side.
juce::Image drawDeviceStrip(const Artwork::ImageSpec& spec);
