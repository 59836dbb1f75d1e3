#include "cli/pictures/ContactSheet.h"

#include "editor/artwork/Artwork.h"
#include "editor/artwork/ArtworkCatalogue.h"
#include "editor/artwork/LiberationFonts.h"
#include "params/ValueLists.h"

#include <functional>
#include <vector>

namespace
{
constexpr int kSheetWidth = 1560;
constexpr int kMargin = 16;
constexpr int kGap = 8;
constexpr int kHeadingHeight = 22;
constexpr int kCaptionHeight = 13;

const juce::Colour kSheet{0xff333438};
const juce::Colour kHeading{0xffe0e0e0};
const juce::Colour kCaption{0xffa8a8a8};

// One picture on the sheet: a part of an image drawn at an integer scale, with a caption.
struct Tile
{
    juce::Image image;
    juce::Rectangle<int> source;
    int scale;
    juce::String caption;
};

struct Block
{
    juce::String heading;
    std::vector<Tile> tiles;
};

// Small images are enlarged so that their pixels can be seen.
int scaleFor(const Artwork::ImageSpec& spec)
{
    const int shortest = std::min(spec.frameWidth(), spec.frameHeight());
    if (shortest >= 40)
        return 1;
    return juce::jlimit(1, 4, 40 / std::max(1, shortest));
}

Block blockFor(const Artwork::ImageSpec& spec, const juce::Image& image)
{
    Block block;
    block.heading << spec.name << "   " << image.getWidth() << " x " << image.getHeight() << " "
                  << (image.hasAlphaChannel() ? "RGBA" : "RGB");
    if (spec.frames > 1)
        block.heading << ", " << spec.frames << " frames of " << spec.frameWidth() << " x " << spec.frameHeight();
    const bool devices = juce::String(spec.name) == "SIM_Strip_r1_png";
    const int scale = scaleFor(spec);
    for (int k = 0; k < spec.frames; ++k)
    {
        const juce::Rectangle<int> source = spec.framesSideBySide()
                                                ? juce::Rectangle<int>(k * spec.frameWidth(), 0, spec.frameWidth(), spec.height)
                                                : juce::Rectangle<int>(0, k * spec.frameHeight(), spec.width, spec.frameHeight());
        juce::String caption;
        if (devices)
            caption << k << " " << g_deviceNames[static_cast<size_t>(k)];
        else if (spec.frames > 1 && (k % 10 == 0 || k == spec.frames - 1))
            caption << k;
        block.tiles.push_back({image, source, scale, caption});
    }
    return block;
}

// Lays the blocks out top to bottom, their tiles left to right in rows; calls `draw` for
// each heading and tile with its place. Returns the height used.
int layOut(const std::vector<Block>& blocks,
           const std::function<void(const juce::String&, juce::Rectangle<int>, const Tile*)>& draw)
{
    int y = kMargin;
    for (const Block& block : blocks)
    {
        draw(block.heading, {kMargin, y, kSheetWidth - 2 * kMargin, kHeadingHeight}, nullptr);
        y += kHeadingHeight;
        int x = kMargin, rowHeight = 0;
        for (const Tile& tile : block.tiles)
        {
            const int w = tile.source.getWidth() * tile.scale;
            const int h = tile.source.getHeight() * tile.scale + kCaptionHeight;
            if (x + w > kSheetWidth - kMargin && x > kMargin)
            {
                x = kMargin;
                y += rowHeight + kGap;
                rowHeight = 0;
            }
            draw(tile.caption, {x, y, w, h}, &tile);
            x += std::max(w, 18) + kGap;
            rowHeight = std::max(rowHeight, h);
        }
        y += rowHeight + 2 * kGap;
    }
    return y + kMargin;
}
} // namespace

juce::Image drawContactSheet()
{
    std::vector<Block> blocks;
    for (const Artwork::Entry* entry = Artwork::begin(); entry != Artwork::end(); ++entry)
    {
        const Artwork::ImageSpec* spec = Artwork::findImageSpec(entry->name);
        const juce::Image image = Artwork::decode(entry->data, entry->size);
        if (spec != nullptr && image.isValid())
            blocks.push_back(blockFor(*spec, image));
    }
    const int height = layOut(blocks, [](const juce::String&, juce::Rectangle<int>, const Tile*) {});

    juce::Image sheet(juce::Image::RGB, kSheetWidth, height, true);
    juce::Graphics g(sheet);
    g.fillAll(kSheet);
    layOut(blocks, [&g](const juce::String& text, juce::Rectangle<int> area, const Tile* tile) {
        if (tile == nullptr)
        {
            g.setColour(kHeading);
            g.setFont(LiberationFonts::sans(13.0f, true));
            g.drawText(text, area.withTrimmedTop(4), juce::Justification::topLeft, true);
            return;
        }
        const juce::Rectangle<int> picture = area.withHeight(tile->source.getHeight() * tile->scale);
        // A checkerboard shows through transparent pixels.
        for (int cy = picture.getY(); cy < picture.getBottom(); cy += 4)
            for (int cx = picture.getX(); cx < picture.getRight(); cx += 4)
            {
                g.setColour(((cx - picture.getX()) / 4 + (cy - picture.getY()) / 4) % 2 ? juce::Colour(0xff4a4b50)
                                                                                         : juce::Colour(0xff3e3f44));
                g.fillRect(juce::Rectangle<int>(cx, cy, 4, 4).getIntersection(picture));
            }
        g.setImageResamplingQuality(juce::Graphics::lowResamplingQuality);
        g.drawImage(tile->image, picture.getX(), picture.getY(), picture.getWidth(), picture.getHeight(),
                    tile->source.getX(), tile->source.getY(), tile->source.getWidth(), tile->source.getHeight());
        if (tile->caption.isNotEmpty())
        {
            g.setColour(kCaption);
            g.setFont(LiberationFonts::sans(10.0f));
            g.drawFittedText(tile->caption, area.withTop(picture.getBottom() + 1).withHeight(kCaptionHeight - 1),
                             juce::Justification::centredTop, 1, 0.7f);
        }
    });
    return sheet;
}
