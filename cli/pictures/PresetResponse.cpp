#include "cli/pictures/PresetResponse.h"

#include "cli/pictures/SimResponse.h"
#include "cli/settings/ParameterSettings.h"
#include "engine/filters/FilterDesign.h"
#include "widgets/C_Crumlet_Calculator.h"

#include <cmath>
#include <cstdio>

namespace
{
std::vector<double> biquadsDb(const std::vector<BiquadCoefs>& sections, unsigned rate, const std::vector<double>& at)
{
    std::vector<double> db;
    for (double f : at)
    {
        double sum = 0.0;
        for (const auto& s : sections)
            sum += f < rate * 0.5 ? filters::MagnitudeDb(s, f, rate) : -200.0;
        db.push_back(sum);
    }
    return db;
}

std::string printed(const char* format, double a, double b = 0.0)
{
    char text[96];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

bool on(const ParameterSettings& s, const char* name)
{
    return s.value(name) != 0.0;
}

std::string filtersLabel(const ParameterSettings& s)
{
    const bool cutsLow = s.value("FiltersHPFFreq") > 20.0;
    const bool cutsHigh = s.value("FiltersLPFFreq") < 20000.0;
    std::string text = "filters:";
    if (cutsLow)
        text += " cut below " + formatHz(s.value("FiltersHPFFreq"));
    if (cutsLow && cutsHigh)
        text += ",";
    if (cutsHigh)
        text += " cut above " + formatHz(s.value("FiltersLPFFreq"));
    return cutsLow || cutsHigh ? text : "filters: open";
}

std::string eqLabel(const ParameterSettings& s)
{
    switch (static_cast<int>(s.value("EQFilterType")))
    {
    case 0: return "EQ: cut below " + formatHz(s.value("EQFreq"));
    case 2: return "EQ: cut above " + formatHz(s.value("EQFreq"));
    default:
        return printed("EQ: %+.0f dB ", s.value("EQGain")) + (s.value("EQGain") >= 0 ? "boost" : "dip") + " at " +
               formatHz(s.value("EQFreq"));
    }
}
} // namespace

PresetResponse presetResponse(const ParameterSettings& s, unsigned rate, const std::vector<double>* frequencies)
{
    const std::vector<double>& at = frequencies != nullptr ? *frequencies : responseFrequencies();
    PresetResponse r;
    C_Crumlet_Calculator calculator;
    calculator.SetSampleRate(static_cast<std::int32_t>(rate));
    if (on(s, "FiltersEnable"))
    {
        BiquadCoefs a, b, c, d;
        calculator.CalcHPF(s.value("FiltersHPFFreq"), s.value("FiltersHPFQ"), static_cast<int>(s.value("FiltersHPFSlope")),
                           false, a, b);
        calculator.CalcLPF(s.value("FiltersLPFFreq"), s.value("FiltersLPFQ"), static_cast<int>(s.value("FiltersLPFSlope")),
                           false, c, d);
        r.parts.push_back({"filters", filtersLabel(s), biquadsDb({a, b, c, d}, rate, at)});
    }
    // A bell at 0 dB does nothing: not drawn as a stage.
    const bool eqShapes = static_cast<int>(s.value("EQFilterType")) != 1 || std::fabs(s.value("EQGain")) >= 0.05;
    if (on(s, "EQEnable") && eqShapes)
    {
        BiquadCoefs eq;
        calculator.CalcEQ(s.value("EQFreq"), s.value("EQQ"), s.value("EQGain"), static_cast<int>(s.value("EQFilterType")),
                          false, eq);
        r.parts.push_back({"eq", eqLabel(s), biquadsDb({eq}, rate, at)});
    }
    if (on(s, "SIMEnable"))
    {
        const auto& names = s.description().properties.at(static_cast<std::size_t>(s.description().indexOf("SIMType"))).values;
        const int model = static_cast<int>(s.value("SIMType"));
        r.parts.push_back({"device", "device: " + names.at(static_cast<std::size_t>(model)),
                           simResponseDb(model, rate, s.value("SIMTuning") * 0.01, &at)});
    }
    const double gainDb = s.value("InputGain") + s.value("OutputGain");
    if (gainDb != 0.0)
        r.parts.push_back({"level", printed("level %+.1f dB", gainDb), std::vector<double>(at.size(), gainDb)});

    r.totalDb.assign(at.size(), 0.0);
    for (const auto& part : r.parts)
        for (std::size_t i = 0; i < r.totalDb.size(); ++i)
            r.totalDb[i] += part.db[i];

    auto text = [&](const char* name) { return s.valueText(static_cast<std::size_t>(s.description().indexOf(name))); };
    if (on(s, "DistortionEnable") && s.value("DistortionAmount") > 0.0)
        r.notDrawn.push_back("drive (" + text("DistortionMode") + printed(" %g %%)", s.value("DistortionAmount")));
    if (on(s, "NoiseEnable") && s.value("NoiseLevel") > -96.0)
        r.notDrawn.push_back(printed("hiss at %g dB", s.value("NoiseLevel")));
    if (on(s, "GateEnable") && s.value("GateThreshold") > -80.0)
        r.notDrawn.push_back(printed("gate at %g dB", s.value("GateThreshold")));
    if (on(s, "LoFiEnable") && s.value("LoFiBitDepthType") > 0.0)
        r.notDrawn.push_back(text("LoFiBitDepthType") + " bits");
    if (on(s, "LoFiEnable") && s.value("LoFiDownSampleIndex") > 0.0)
        r.notDrawn.push_back("resampled at " + text("LoFiDownSampleIndex") + " Hz (nothing above half of it but aliases)");
    if (s.value("Balance") < 100.0)
        r.notDrawn.push_back(printed("%g %% dry mixed in", 100.0 - s.value("Balance")));
    return r;
}
