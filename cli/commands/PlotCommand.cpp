#include "cli/commands/PlotCommand.h"

#include "cli/render/EffectHost.h"
#include "cli/pictures/ResponsePicture.h"
#include "cli/render/ServedAudio.h"
#include "cli/settings/SettingsOptions.h"
#include "cli/settings/UsageError.h"

#include "engine/sim/SimModel.h"
#include "engine/stages/SimStage.h"
#include "widgets/C_Crumlet_Calculator.h"
#include "widgets/Freq_Plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{
// The main plot's colours and opacity in the editor.
const juce::Colour kFiltersColour{0xFF9B0000};
const juce::Colour kEqColour{0xFFDCDC0C};
constexpr float kEditorOpacity = 0.6f;
constexpr double kEditorMainDbRange = 18.0;
// The sum's outline, drawn bolder than in the editor so that it reads at this size.
const juce::Colour kSumColour{0xFFF5F5F5};
constexpr int kPlotWidth = 840;
constexpr int kFiltersPlotHeight = 356;
constexpr int kSimPlotHeight = 400;
// The device plot spans this many dB from its top edge down.
constexpr double kSimSpanDb = 72.0;
constexpr double kSimDbStep = 12.0;
constexpr int kSimLevelCurve = kSimSectionCount;

std::string formatted(const char* format, double a, double b = 0.0, double c = 0.0)
{
    char text[160];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

// Curves 0..2 as the editor's main plot holds them: the Filters high-pass pair, the
// Filters low-pass pair and the EQ band, designed at the plot's own rate.
void showFilterCurves(Freq_Plot& plot, const ParameterSettings& s)
{
    C_Crumlet_Calculator calculator;
    calculator.SetSampleRate(static_cast<std::int32_t>(plot.getSampleRate()));
    const bool filtersBypassed = s.value("FiltersEnable") == 0.0;
    BiquadCoefs first, second, eq;
    calculator.CalcHPF(s.value("FiltersHPFFreq"), s.value("FiltersHPFQ"), static_cast<int>(s.value("FiltersHPFSlope")),
                       filtersBypassed, first, second);
    plot.setCurveBiquadPair(first, second, 0);
    calculator.CalcLPF(s.value("FiltersLPFFreq"), s.value("FiltersLPFQ"), static_cast<int>(s.value("FiltersLPFSlope")),
                       filtersBypassed, first, second);
    plot.setCurveBiquadPair(first, second, 1);
    calculator.CalcEQ(s.value("EQFreq"), s.value("EQQ"), s.value("EQGain"), static_cast<int>(s.value("EQFilterType")),
                      s.value("EQEnable") == 0.0, eq);
    plot.setCurveBiquad(eq, 2);
}

void setUpPlot(Freq_Plot& plot, int height)
{
    plot.setSize(kPlotWidth, height);
    plot.setVisible(true);
}

std::string onOff(double v)
{
    return v != 0.0 ? "on" : "off";
}

void printCsv(const Freq_Plot& plot, const std::vector<std::string>& columns, bool eachCurve)
{
    std::printf("frequency_hz");
    for (const auto& c : columns)
        std::printf(",%s", c.c_str());
    std::printf("\n");
    for (int j = 0; j < Freq_Plot::kPoints; ++j)
    {
        std::printf("%.3f", plot.getFrequency(j));
        if (eachCurve)
        {
            for (int k = 0; k < plot.getCurveCount(); ++k)
                std::printf(",%.4f", plot.getCurveDb(k, j));
        }
        std::printf(",%.4f\n", plot.getSumDb(j));
    }
}

int plotFilters(const PlotOptions& options)
{
    const EffectHost& host = EffectHost::instance();
    const ParameterSettings s = settingsFrom(host.description(), options.bankFile, options.preset, options.assignments);

    Freq_Plot plot;
    setUpPlot(plot, kFiltersPlotHeight);
    plot.setDbRange(kEditorMainDbRange);
    plot.setCurveOpacity(kEditorOpacity);
    plot.setCurveCount(3, true, false);
    plot.setCurveColour(kFiltersColour, 0);
    plot.setCurveColour(kFiltersColour, 1);
    plot.setCurveColour(kEqColour, 2);
    plot.setSumStyle(kSumColour, 0.9f, 2.0f);
    showFilterCurves(plot, s);

    if (options.csv)
    {
        printCsv(plot, {"filters_hpf_db", "filters_lpf_db", "eq_db", "sum_db"}, true);
        return 0;
    }
    static const char* const kTypes[] = {"high-pass", "peaking", "low-pass"};
    const int type = static_cast<int>(s.value("EQFilterType"));
    ResponsePictureStyle style;
    style.title = formatted("Filters and EQ: main plot, design rate %.0f Hz", plot.getSampleRate());
    const auto slope = [&](const char* name) { return s.value(name) == 1.0 ? 24.0 : 12.0; };
    style.subtitle = "Filters " + onOff(s.value("FiltersEnable")) +
                     formatted(": HPF %g Hz %g dB/oct, ", s.value("FiltersHPFFreq"), slope("FiltersHPFSlope")) +
                     formatted("LPF %g Hz %g dB/oct", s.value("FiltersLPFFreq"), slope("FiltersLPFSlope")) +
                     "    EQ " + onOff(s.value("EQEnable")) + ": " + (type >= 0 && type < 3 ? kTypes[type] : "?") +
                     formatted(" %g Hz, Q %g %%", s.value("EQFreq"), s.value("EQQ")) +
                     // Only the peak has a gain; the pass types ignore it.
                     (type == 1 ? formatted(", %+g dB", s.value("EQGain")) : std::string());
    style.legend = {{kFiltersColour.withMultipliedAlpha(kEditorOpacity), "Filters"},
                    {kEqColour.withMultipliedAlpha(kEditorOpacity), "EQ"},
                    {kSumColour, "sum"}};
    writePng(drawResponsePicture(plot, style), options.output);
    return 0;
}

int plotSim(const PlotOptions& options)
{
    const EffectHost& host = EffectHost::instance();
    ParameterSettings s(host.description());
    s.set("SIMType", options.sim);
    s.set("SIMTuning", formatted("%.17g", options.tuning));
    if (options.rate < static_cast<int>(kLowestServedRate) || options.rate > static_cast<int>(kHighestServedRate))
        throw UsageError("--rate must be " + std::to_string(kLowestServedRate) + " to " +
                         std::to_string(kHighestServedRate) + " Hz, not " + std::to_string(options.rate));
    const int model = static_cast<int>(s.value("SIMType"));
    const double tuning = s.value("SIMTuning");

    BiquadCoefs sections[kSimSectionCount];
    SimModelSections(static_cast<unsigned>(options.rate), model, tuning * 0.01, sections);
    const double levelDb = SimModelLevel(model) < 0.0 ? SimModelLevel(model) : 0.0;
    const double gain = simLevelToGain(SimModelLevel(model));
    const BiquadCoefs level{gain, 0.0, 0.0, 1.0, 0.0, 0.0};

    Freq_Plot plot;
    setUpPlot(plot, kSimPlotHeight);
    plot.setSampleRate(options.rate);
    // Above the Nyquist frequency a digital response only mirrors itself.
    plot.setFrequencyRange(20.0, std::min(21000.0, options.rate * 0.5));
    // Each section and the level is a curve; only their sum is drawn.
    plot.setCurveCount(kSimSectionCount + 1, true, false);
    plot.setDbRange(kSimSpanDb * 0.5);
    plot.setCurveOpacity(0.0f);
    plot.setSumStyle(kSumColour, 0.95f, 2.0f);
    for (int k = 0; k < kSimSectionCount; ++k)
        plot.setCurveBiquad(sections[k], k);
    plot.setCurveBiquad(level, kSimLevelCurve);
    // The dB window: its top edge on a labelled line, at least +12 dB and 2 dB above the
    // peak. Moving the 0 dB line leaves the computed curves as they are.
    double peak = -160.0;
    for (int j = 0; j < Freq_Plot::kPoints; ++j)
        peak = std::max(peak, plot.getSumDb(j));
    const double top = std::max(kSimDbStep, std::ceil((peak + 2.0) / kSimDbStep) * kSimDbStep);
    plot.setDbOffset(kSimSpanDb * 0.5 - top);

    if (options.csv)
    {
        printCsv(plot, {"db"}, false);
        return 0;
    }
    const auto& names = host.description().properties.at(static_cast<std::size_t>(host.description().indexOf("SIMType"))).values;
    ResponsePictureStyle style;
    style.title = formatted("SIM %.0f \"", model) + names.at(static_cast<std::size_t>(model)) + "\"" +
                  formatted(": summed response, design rate %.0f Hz", options.rate);
    style.subtitle = formatted("seven sections and level %+.1f dB, tuning %g %%", levelDb, tuning);
    style.legend = {{kSumColour, "sections + level"}};
    style.dbStep = kSimDbStep;
    writePng(drawResponsePicture(plot, style), options.output);
    return 0;
}
} // namespace

int runPlot(const PlotOptions& options)
{
    return reportingErrors("plot", [&] {
        if (options.filters == !options.sim.empty())
            throw UsageError("give either --filters or --sim NAME|INDEX");
        if (!options.csv && options.output.empty())
            throw UsageError("give --out FILE.png, or --csv to print the curves");
        if (!options.filters && (!options.assignments.empty() || !options.preset.empty() || !options.bankFile.empty()))
            throw UsageError("--set, --preset and --bank go with --filters");
        const juce::ScopedJuceInitialiser_GUI framework;
        return options.filters ? plotFilters(options) : plotSim(options);
    });
}
