// The editor's layout table: known positions, every control on the canvas and in its panel,
// no two visible controls on top of each other, legends inside their panels and off the controls.
#include "editor/EditorLayout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace EditorLayout;

namespace
{
const Rect kCanvas{0, 0, kCanvasWidth, kCanvasHeight};

bool isSimMenu(const Control& c) { return c.look == Look::SimMenu; }
} // namespace

TEST(EditorLayout, KnownPositionsAndSizes)
{
    const auto at = [](const char* id, Channels layout = Channels::Stereo) {
        const Control* c = findControl(id, layout);
        EXPECT_NE(c, nullptr) << id;
        return c != nullptr ? c->bounds : Rect{};
    };
    const auto same = [](Rect a, Rect b) { return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h; };
    EXPECT_TRUE(same(at("InputGain"), {31, 34, 62, 64}));
    EXPECT_TRUE(same(at("Balance"), {677, 133, 48, 44}));
    EXPECT_TRUE(same(at("DistortionAmount"), {352, 286, 55, 64}));
    EXPECT_TRUE(same(at("DistortionAmount.meter"), {304, 264, 38, 98}));
    EXPECT_TRUE(same(at("NoiseLevel"), {51, 431, 61, 74}));
    EXPECT_TRUE(same(at("NoiseRecovery"), {356, 455, 42, 42}));
    EXPECT_TRUE(same(at("GateReleaseTime"), {662, 450, 48, 44}));
    EXPECT_TRUE(same(at("SIMType.picture"), {119, 60, 137, 96}));
    EXPECT_TRUE(same(at("SIMType.menu"), {125, 45, 130, 16}));
    EXPECT_TRUE(same(at("SIMTuning"), {119, 158, 137, 5}));
    EXPECT_TRUE(same(at("LoFiBitDepthType"), {266, 155, 67, 5}));
    EXPECT_TRUE(same(at("EQFilterType.LPF"), {665, 273, 28, 15}));
    EXPECT_TRUE(same(at("FiltersLPFQ.label"), {234, 354, 40, 14}));
    EXPECT_TRUE(same(at("GateGainMeter.1"), {520, 433, 158, 4}));
    EXPECT_TRUE(same(at("InputMeter.0", Channels::Mono), {595, 49, 13, 135}));
    EXPECT_TRUE(same(at("GateGainMeter.0", Channels::Mono), {520, 428, 158, 9}));
    EXPECT_EQ(findControl("GateGainMeter.1", Channels::Mono), nullptr);
    EXPECT_EQ(findControl("NoSuchControl"), nullptr);
}

TEST(EditorLayout, CountsOfEachKind)
{
    int knobs = 0, labels = 0, radios = 0, switches = 0;
    for (const Control& c : controls())
    {
        knobs += knobGeometry(c.look).frameWidth > 0 || c.look == Look::DistortionMeter;
        labels += c.look == Look::ValueLabelDark || c.look == Look::ValueLabelLight;
        radios += c.look == Look::RadioButton;
        switches += c.look == Look::EnableButton || c.look == Look::EnableLamp;
    }
    EXPECT_EQ(knobs, 25);   // 24 knobs and the distortion meter
    EXPECT_EQ(labels, 28);
    EXPECT_EQ(radios, 7);
    EXPECT_EQ(switches, 7);
    EXPECT_EQ(controls(Channels::Stereo).size() - controls(Channels::Mono).size(), 8u);
}

TEST(EditorLayout, EveryControlIsOnTheCanvasAndInsideItsPanel)
{
    for (const auto layout : {Channels::Stereo, Channels::Mono})
        for (const Control& c : controls(layout))
        {
            SCOPED_TRACE(c.id);
            EXPECT_TRUE(kCanvas.contains(c.bounds));
            const Panel* panel = panelOf(c.section);
            ASSERT_NE(panel, nullptr);
            EXPECT_TRUE(panel->bounds.contains(visibleBounds(c)));
        }
}

TEST(EditorLayout, NoTwoVisibleControlsOverlap)
{
    // The device menu draws only its text, over the device display, so its neighbours may touch it.
    for (const auto layout : {Channels::Stereo, Channels::Mono})
    {
        const auto& all = controls(layout);
        for (size_t i = 0; i < all.size(); ++i)
            for (size_t j = i + 1; j < all.size(); ++j)
            {
                if (isSimMenu(all[i]) || isSimMenu(all[j]))
                    continue;
                EXPECT_FALSE(visibleBounds(all[i]).intersects(visibleBounds(all[j])))
                    << all[i].id << " and " << all[j].id;
            }
    }
}

TEST(EditorLayout, PanelsAreOnTheCanvasAndApart)
{
    const auto& all = panels();
    EXPECT_EQ(all.size(), 11u);
    for (size_t i = 0; i < all.size(); ++i)
    {
        EXPECT_TRUE(kCanvas.contains(all[i].bounds)) << all[i].title;
        for (size_t j = i + 1; j < all.size(); ++j)
            EXPECT_FALSE(all[i].bounds.intersects(all[j].bounds)) << all[i].title << " and " << all[j].title;
    }
}

TEST(EditorLayout, LegendsAreInsideTheirPanelsAndOffTheControls)
{
    for (const auto layout : {Channels::Stereo, Channels::Mono})
    {
        const auto all = legends(layout);
        EXPECT_GE(all.size(), 40u);
        for (const Legend& legend : all)
        {
            SCOPED_TRACE(legend.text);
            EXPECT_GE(legend.bounds.h, 9); // nothing printed smaller than 9 px
            EXPECT_TRUE(panelOf(legend.section)->bounds.contains(legend.bounds));
            if (legend.onControl)
                continue;
            for (const Control& c : controls(layout))
                EXPECT_FALSE(legend.bounds.intersects(visibleBounds(c))) << c.id;
        }
    }
}

TEST(EditorLayout, KnobCapsSitInsideTheirFrames)
{
    for (const Look look : {Look::BrushedLarge, Look::BrushedSmall, Look::KnurledLarge, Look::KnurledSmall,
                            Look::RidgeLarge, Look::RidgeSmall})
    {
        const KnobGeometry g = knobGeometry(look);
        EXPECT_GE(g.centreX - g.radius, 1.0f);
        EXPECT_GE(g.centreY - g.radius, 1.0f);
        EXPECT_LE(g.centreX + g.radius, g.frameWidth - 2.0f); // room for the shadow below right
        EXPECT_LE(g.centreY + g.radius, g.frameHeight - 2.0f);
    }
    EXPECT_EQ(knobGeometry(Look::Plot).frameWidth, 0);
}
