// The effect editor's response plot: a frequency plot that carries the calculator designing
// its curves, at the plot's own rate.
#pragma once

#include "widgets/C_Crumlet_Calculator.h"
#include "widgets/Freq_Plot.h"

class Freq_Plot_Crumlet : public Freq_Plot
{
public:
    Freq_Plot_Crumlet() { m_calculator.SetSampleRate(static_cast<std::int32_t>(getSampleRate())); }
    ~Freq_Plot_Crumlet() override = default;

    C_Crumlet_Calculator& calculator() { return m_calculator; }

private:
    C_Crumlet_Calculator m_calculator;
};
