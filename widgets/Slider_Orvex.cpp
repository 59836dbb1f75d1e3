#include "widgets/Slider_Orvex.h"

#include "widgets/SliderLaws.h"

double Slider_Orvex_Discrete::proportionOfLengthToValue(double proportion)
{
    return slider_laws::linearToValue(getMinimum(), getMaximum(), proportion);
}

double Slider_Orvex_Discrete::valueToProportionOfLength(double value)
{
    return slider_laws::linearToProportion(getMinimum(), getMaximum(), value);
}

double Slider_Orvex_Log::proportionOfLengthToValue(double proportion)
{
    return slider_laws::logToValue(getMinimum(), getMaximum(), proportion);
}

double Slider_Orvex_Log::valueToProportionOfLength(double value)
{
    return slider_laws::logToProportion(getMinimum(), getMaximum(), value);
}

double Slider_Orvex_Fader::proportionOfLengthToValue(double proportion)
{
    return slider_laws::faderToValue(getMinimum(), getMaximum(), proportion);
}

double Slider_Orvex_Fader::valueToProportionOfLength(double value)
{
    return slider_laws::faderToProportion(getMinimum(), getMaximum(), value);
}
