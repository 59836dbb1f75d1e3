// The slider family's value-to-position laws at known points, through the JUCE sliders.
#include "widgets/SliderLaws.h"
#include "widgets/Slider_Orvex.h"

#include <gtest/gtest.h>

namespace
{
template <typename SliderClass>
struct Ranged : SliderClass
{
    Ranged(double min, double max) { this->setRange(min, max, 0.0); }
};
} // namespace

TEST(SliderLog, PositionsAndValuesOverTheAudioBand)
{
    Ranged<Slider_Orvex_Log> s(20.0, 20000.0);
    EXPECT_NEAR(s.valueToProportionOfLength(1000.0), 0.5663, 5e-5);
    EXPECT_NEAR(s.proportionOfLengthToValue(0.5), 632.46, 5e-3);
    EXPECT_NEAR(s.proportionOfLengthToValue(0.0), 20.0, 1e-9);
    EXPECT_NEAR(s.proportionOfLengthToValue(1.0), 20000.0, 1e-6);
}

TEST(SliderFader, TheLevelLawOverMinus96To0)
{
    Ranged<Slider_Orvex_Fader> s(-96.0, 0.0);
    EXPECT_NEAR(s.valueToProportionOfLength(-96.0), 0.0, 1e-12);
    EXPECT_NEAR(s.valueToProportionOfLength(0.0), 1.0, 1e-12);
    EXPECT_NEAR(s.valueToProportionOfLength(-20.0), 0.5329, 5e-5);
    EXPECT_NEAR(s.proportionOfLengthToValue(0.5), -21.96, 5e-3);
    EXPECT_NEAR(s.proportionOfLengthToValue(0.25), -42.14, 5e-3);
    EXPECT_NEAR(s.proportionOfLengthToValue(0.75), -9.27, 5e-3);
}

TEST(SliderFader, TopOfTravelIsZeroDbWhateverTheMaximum)
{
    Ranged<Slider_Orvex_Fader> s(-24.0, 24.0);
    EXPECT_NEAR(s.valueToProportionOfLength(0.0), 1.0, 1e-12);
    EXPECT_NEAR(s.valueToProportionOfLength(24.0), 2.995, 5e-4);
    // The closed form for min < 0 <= max.
    const double p = (std::pow(10.0, -6.0 / 80.0) - std::pow(10.0, -24.0 / 80.0)) / (1.0 - std::pow(10.0, -24.0 / 80.0));
    EXPECT_NEAR(s.valueToProportionOfLength(-6.0), p, 1e-12);
}

TEST(SliderDiscrete, LinearWithoutSkew)
{
    Ranged<Slider_Orvex_Discrete> s(0.0, 15.0);
    s.setSkewFactor(0.3); // has no effect on this law
    EXPECT_DOUBLE_EQ(s.proportionOfLengthToValue(1.0), 15.0);
    EXPECT_DOUBLE_EQ(s.valueToProportionOfLength(7.5), 0.5);
    EXPECT_DOUBLE_EQ(s.proportionOfLengthToValue(0.2), 3.0);
}

TEST(SliderLaws, EachLawIsItsOwnInverse)
{
    for (double p = 0.0; p <= 1.0; p += 0.0625)
    {
        EXPECT_NEAR(slider_laws::logToProportion(1.0, 2000.0, slider_laws::logToValue(1.0, 2000.0, p)), p, 1e-12);
        EXPECT_NEAR(slider_laws::faderToProportion(-96.0, 0.0, slider_laws::faderToValue(-96.0, 0.0, p)), p, 1e-12);
        EXPECT_NEAR(slider_laws::faderToProportion(-24.0, 24.0, slider_laws::faderToValue(-24.0, 24.0, p)), p, 1e-12);
        EXPECT_NEAR(slider_laws::linearToProportion(-5.0, 5.0, slider_laws::linearToValue(-5.0, 5.0, p)), p, 1e-12);
    }
}

TEST(SliderOrvex, KeepsJuceLinearLawAndHasNoOverlayAtFirst)
{
    Ranged<Slider_Orvex> s(0.0, 200.0);
    EXPECT_DOUBLE_EQ(s.valueToProportionOfLength(50.0), 0.25);
    EXPECT_FALSE(s.isOverlayShown());
    EXPECT_EQ(s.getOverlayFrame(), 0);
    s.setOverlay(true, 2);
    EXPECT_TRUE(s.isOverlayShown());
    EXPECT_EQ(s.getOverlayFrame(), 2);
}
