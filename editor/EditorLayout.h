// The editor canvas: every control's place and size on the 749 x 565 canvas, the section
// panels with their titles, and every control's legend. The backgrounds are drawn from this
// table and the editor places its controls from it, so that legends and controls agree.
#pragma once

#include <vector>

namespace EditorLayout
{
constexpr int kCanvasWidth = 749;
constexpr int kCanvasHeight = 565;

struct Rect
{
    int x = 0, y = 0, w = 0, h = 0;

    int right() const { return x + w; }
    int bottom() const { return y + h; }
    bool contains(const Rect& r) const { return r.x >= x && r.y >= y && r.right() <= right() && r.bottom() <= bottom(); }
    bool intersects(const Rect& r) const { return r.x < right() && x < r.right() && r.y < bottom() && y < r.bottom(); }
    Rect reduced(int dx, int dy) const { return {x + dx, y + dy, w - 2 * dx, h - 2 * dy}; }
};

enum class Section { Input, Sim, LoFi, Response, Levels, Output, Filters, Distortion, Eq, Noise, Gate };

// How a control looks; knobs and faders give their size from their images.
enum class Look
{
    BrushedLarge, BrushedSmall, KnurledLarge, KnurledSmall, RidgeLarge, RidgeSmall,
    DistortionMeter, LongFader, ShortFader, SimMenu,
    ValueLabelLight, // white text on a dark window
    ValueLabelDark,  // black text on a lit window
    EnableLamp, EnableButton, StepUp, StepDown, RadioButton, ComboBox, Plot,
    BarMeter, ClipLight, DuckMeter, GateMeter, NoiseDisplay, Picture
};

enum class LegendPlace { None, Above, Below, Right, Left, Inside };

struct Control
{
    const char* id;        // "InputGain", "InputGain.label", "FiltersHPFSlope.12", "InputMeter.0"
    const char* parameter; // the bound property, nullptr for display-only parts
    Section section;
    Look look;
    Rect bounds;
    const char* legend;    // printed on the faceplate; nullptr when the panel title says it
    LegendPlace legendPlace;
};

struct Panel
{
    Section section;
    const char* title; // printed top left of the panel, letter-spaced
    Rect bounds;
};

struct Legend
{
    const char* text;
    Rect bounds;
    Section section;
    bool onControl = false; // printed on the control's own face (the radio buttons)
};

enum class Channels { Stereo, Mono };

// The controls of the editor; meters in the given channel layout.
const std::vector<Control>& controls(Channels layout = Channels::Stereo);
const std::vector<Panel>& panels();
const Panel* panelOf(Section section);
const Control* findControl(const char* id, Channels layout = Channels::Stereo);

// Where each legend is printed: placed from its control's bounds and legend place, plus the
// group legends over a few controls ("HIGH PASS", "LOW PASS").
std::vector<Legend> legends(Channels layout = Channels::Stereo);

// The part of a control that paints something opaque (a knob's cap inside its transparent frame).
Rect visibleBounds(const Control& control);

// Knob cap geometry inside one filmstrip frame, shared by the knob drawings and the layout checks.
struct KnobGeometry
{
    int frameWidth, frameHeight;
    float centreX, centreY, radius; // of the cap including its skirt, in frame pixels
};
KnobGeometry knobGeometry(Look look);
} // namespace EditorLayout
