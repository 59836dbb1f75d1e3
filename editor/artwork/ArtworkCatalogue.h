// The catalogue of the editor's images: name, pixel size, colour type and frame layout.
// The artwork program draws from it, the module embeds in its order, the tests check against it.
#pragma once

#include <string>

namespace Artwork
{
struct ImageSpec
{
    const char* name; // the embedded array's name, "Knobs_Brushed_large_png"
    int width;
    int height;
    bool rgb;   // RGB without alpha; otherwise RGBA
    int frames; // 1 for a still image

    // Filmstrips run left to right when wider than tall, top to bottom otherwise.
    bool framesSideBySide() const { return width > height; }
    int frameWidth() const { return framesSideBySide() ? width / frames : width; }
    int frameHeight() const { return framesSideBySide() ? height : height / frames; }
    // The PNG file's name: the array name with "_png" turned into ".png".
    std::string fileName() const;
};

const ImageSpec* catalogueBegin();
const ImageSpec* catalogueEnd();
int catalogueSize();
// nullptr for an unknown name.
const ImageSpec* findImageSpec(const std::string& name);
} // namespace Artwork
