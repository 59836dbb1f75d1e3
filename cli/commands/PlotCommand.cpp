#include "cli/commands/PlotCommand.h"

#include "cli/render/EffectHost.h"
#include "cli/pictures/DecayPicture.h"
#include "cli/pictures/PresetResponse.h"
#include "cli/pictures/ResponsePicture.h"
#include "cli/pictures/SimResponse.h"
#include "cli/pictures/SpaceDecay.h"
#include "cli/pictures/TransmissionAndSpaceResponse.h"
#include "cli/settings/Presets.h"
#include "cli/settings/SpaceSearch.h"
#include "pipeline/ServedAudio.h"
#include "cli/settings/SettingsOptions.h"
#include "cli/settings/UsageError.h"

#include "engine/sim/SimModel.h"
#include "engine/stages/SimStage.h"
#include "space/SpaceError.h"
#include "space/SpaceSettings.h"
#include "widgets/C_Crumlet_Calculator.h"
#include "widgets/Freq_Plot.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <cmath>
#include <cstdio>
#include <optional>

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

// Distinct colours for overlaid curves, in order.
const juce::Colour kOverlayColours[] = {juce::Colour(0xFFF5F5F5), juce::Colour(0xFFE8A33D), juce::Colour(0xFF5DB7E8),
                                        juce::Colour(0xFF8ED16F), juce::Colour(0xFFE06C9F), juce::Colour(0xFFB59CF0)};

// A plot with no curves of its own: its grid and scales for overlays.
void setUpOverlayPlot(Freq_Plot& plot, int rate)
{
    setUpPlot(plot, kSimPlotHeight);
    plot.setSampleRate(rate);
    // Above the Nyquist frequency a digital response only mirrors itself.
    plot.setFrequencyRange(20.0, std::min(21000.0, rate * 0.5));
    plot.setCurveCount(0, false, false);
    plot.setDbRange(kSimSpanDb * 0.5);
}

// The plot's grid frequencies, where its curves are read.
std::vector<double> gridOf(const Freq_Plot& plot)
{
    std::vector<double> f;
    for (int j = 0; j < Freq_Plot::kPoints; ++j)
        f.push_back(plot.getFrequency(j));
    return f;
}

// The dB window's top edge on a labelled line, at least +12 dB and 2 dB above the highest
// of `curves`.
void fitDbWindow(Freq_Plot& plot, const std::vector<std::vector<double>>& curves)
{
    double peak = -160.0;
    for (const auto& curve : curves)
        for (double db : curve)
            peak = std::max(peak, db);
    const double top = std::max(kSimDbStep, std::ceil((peak + 2.0) / kSimDbStep) * kSimDbStep);
    plot.setDbOffset(kSimSpanDb * 0.5 - top);
}

void printOverlayCsv(const std::vector<std::string>& columns, const std::vector<std::vector<double>>& curves,
                     const std::vector<double>& grid)
{
    std::printf("frequency_hz");
    for (const auto& c : columns)
        std::printf(",%s", c.c_str());
    std::printf("\n");
    for (std::size_t i = 0; i < grid.size(); ++i)
    {
        std::printf("%.3f", grid[i]);
        for (const auto& curve : curves)
            std::printf(",%.4f", curve[i]);
        std::printf("\n");
    }
}

std::string csvColumn(std::string name)
{
    for (char& c : name)
        c = std::isalnum(static_cast<unsigned char>(c)) ? static_cast<char>(std::tolower(static_cast<unsigned char>(c))) : '_';
    return name + "_db";
}

int plotSims(const PlotOptions& options)
{
    const EffectHost& host = EffectHost::instance();
    if (options.rate < static_cast<int>(kLowestServedRate) || options.rate > static_cast<int>(kHighestServedRate))
        throw UsageError("--rate must be " + std::to_string(kLowestServedRate) + " to " +
                         std::to_string(kHighestServedRate) + " Hz, not " + std::to_string(options.rate));
    if (options.sims.size() > std::size(kOverlayColours))
        throw UsageError("--sim overlays up to " + std::to_string(std::size(kOverlayColours)) + " devices");
    const auto& names = host.description().properties.at(static_cast<std::size_t>(host.description().indexOf("SIMType"))).values;
    ParameterSettings s(host.description());
    s.set("SIMTuning", formatted("%.17g", options.tuning));
    const double tuning = s.value("SIMTuning");

    Freq_Plot plot;
    setUpOverlayPlot(plot, options.rate);
    const std::vector<double> grid = gridOf(plot);
    std::vector<std::vector<double>> curves;
    std::vector<std::string> columns;
    ResponsePictureStyle style;
    for (std::size_t k = 0; k < options.sims.size(); ++k)
    {
        s.set("SIMType", options.sims[k]);
        const int model = static_cast<int>(s.value("SIMType"));
        curves.push_back(simResponseDb(model, static_cast<unsigned>(options.rate), tuning * 0.01, &grid));
        const std::string& name = names.at(static_cast<std::size_t>(model));
        // One device keeps the one column "db".
        columns.push_back(options.sims.size() == 1 ? "db" : csvColumn(name));
        const SimResponse read = describeResponse(simResponseDb(model));
        style.legend.push_back({kOverlayColours[k], formatted("%.0f ", model) + name + ": " + read.description});
        style.overlays.push_back({kOverlayColours[k], 2.0f, &grid, curves.back()});
    }
    if (options.csv)
    {
        printOverlayCsv(columns, curves, grid);
        return 0;
    }
    fitDbWindow(plot, curves);
    style.title = options.sims.size() == 1
                      ? "Device \"" + names.at(static_cast<std::size_t>(s.value("SIMType"))) + "\": its response"
                      : formatted("%.0f devices compared", static_cast<double>(options.sims.size()));
    style.subtitle = formatted("as the device model plays at %.0f Hz, tuning %g %%; level included", options.rate, tuning);
    style.legendBelow = true;
    style.dbStep = kSimDbStep;
    writePng(drawResponsePicture(plot, style), options.output);
    return 0;
}

// The settings' whole response: each stage that shapes it faint, all of them together bold;
// a preset's codec and space among them.
int plotWhole(const PlotOptions& options)
{
    const EffectHost& host = EffectHost::instance();
    transmission::TransmissionSettings transmission;
    space::SpaceSettings space;
    const ParameterSettings s =
        settingsFrom(host.description(), options.bankFile, options.preset, options.assignments, &transmission, &space);
    constexpr int kRate = 48000;
    Freq_Plot plot;
    setUpOverlayPlot(plot, kRate);
    const std::vector<double> grid = gridOf(plot);
    const TransmissionAndSpaceResponse followingPart(transmission, space, kRate);
    PresetResponse response = presetResponse(s, kRate, &grid);
    followingPart.addTo(response, grid);
    PresetResponse read = presetResponse(s, kRate);
    followingPart.addTo(read, responseFrequencies());

    std::vector<std::vector<double>> curves;
    std::vector<std::string> columns;
    ResponsePictureStyle style;
    static const juce::Colour kPartColours[] = {kFiltersColour.brighter(0.6f), kEqColour, juce::Colour(0xFF5DB7E8),
                                                juce::Colour(0xFF8ED16F), juce::Colour(0xFFE06C9F),
                                                juce::Colour(0xFFB59CF0)};
    for (std::size_t k = 0; k < response.parts.size(); ++k)
    {
        const juce::Colour colour = kPartColours[k % std::size(kPartColours)].withAlpha(0.75f);
        curves.push_back(response.parts[k].db);
        columns.push_back(csvColumn(response.parts[k].key));
        style.overlays.push_back({colour, 1.5f, &grid, response.parts[k].db});
        style.legend.push_back({colour, response.parts[k].label});
    }
    curves.push_back(response.totalDb);
    columns.push_back("total_db");
    style.overlays.push_back({kSumColour, 3.0f, &grid, response.totalDb});
    style.legend.push_back({kSumColour, "what you hear: " + describeResponse(read.totalDb).description});
    if (options.csv)
    {
        printOverlayCsv(columns, curves, grid);
        return 0;
    }
    fitDbWindow(plot, curves);
    const FactoryPreset* shipped = options.preset.empty() ? nullptr : findFactoryPreset(options.preset);
    const std::string name = shipped != nullptr ? "\"" + shipped->name + "\"" : options.preset.empty() ? "The settings" : "\"" + options.preset + "\"";
    const std::string following = followingPart.followingText();
    style.title = name + ": the whole response at 48 kHz, " +
                  (following.empty() ? std::string("as the engine plays it") : "the effect then " + following);
    const bool codec = transmission.codec.kind != transmission::CodecKind::None;
    style.subtitle = std::string("filters, EQ, device and level together") +
                     (codec ? ", then the codec (measured on pink noise)" : "") +
                     (space.active() ? ", then the space (its impulse response)" : "");
    // What has no curve, after the curves' entries: the effect's stages, then the transmission's.
    auto listed = [](const std::vector<std::string>& names) {
        std::string text;
        for (const auto& n : names)
            text += (text.empty() ? "" : ", ") + n;
        return text;
    };
    if (!response.notDrawn.empty())
        style.legend.push_back({juce::Colours::transparentBlack, "not a curve: " + listed(response.notDrawn)});
    if (const std::vector<std::string> named = followingPart.notDrawn(); !named.empty())
        style.legend.push_back({juce::Colours::transparentBlack, "then the line: " + listed(named)});
    style.legendBelow = true;
    style.dbStep = kSimDbStep;
    writePng(drawResponsePicture(plot, style), options.output);
    return 0;
}

// The octave bands' colours, low to high as the spectrum runs from red to violet.
const juce::Colour kBandColours[] = {juce::Colour(0xFFFF6B6B), juce::Colour(0xFFFFA94D), juce::Colour(0xFFFFD43B),
                                     juce::Colour(0xFF8CE99A), juce::Colour(0xFF66D9E8), juce::Colour(0xFF6F8CFF),
                                     juce::Colour(0xFFDA77F2)};
constexpr double kSpaceRate = 48000.0;
// Where space::reverberationTimeT30 reads the curves.
constexpr double kFitTopDb = -5.0;
constexpr double kFitBottomDb = -35.0;

// The generated space --space names, and where its listener stands; UsageError for anything
// else.
const space::RoomDescription& spaceToPlot(const std::string& text, std::optional<double>& distance)
{
    space::SpaceSettings settings;
    try
    {
        settings = space::parseSpace(text);
    }
    catch (const space::SpaceError& e)
    {
        throw UsageError(std::string("--space: ") + e.what());
    }
    const space::RoomDescription* room = space::findSpace(settings.source);
    if (room == nullptr)
        throw UsageError("no space " + quoted(settings.source.empty() ? text : settings.source, kQuotedExcerptBytes) +
                         spaceNameHint(settings.source));
    if (settings.mixPercent != 100.0 || settings.predelayMs != 0.0)
        throw UsageError("--space draws the space's own decay: it takes NAME[:distance=METRES], not mix= or predelay=");
    distance = settings.distance;
    return *room;
}

// Until the longest band has fallen by 60 dB, and at least until `atLeast`, up to a round
// number: 2.93 s shows 3 s, 0.137 s 0.14 s.
double secondsShown(const SpaceDecay& decay, double atLeast)
{
    double fallen = atLeast;
    for (const BandDecay& band : decay.bands)
    {
        const auto below = std::find_if(band.db.begin(), band.db.end(), [](double db) { return db <= -60.0; });
        fallen = std::max(fallen, static_cast<double>(below - band.db.begin()) * decay.stepSeconds);
    }
    // To the next tenth of the first significant digit, with a little room after the curves.
    const double unit = std::pow(10.0, std::floor(std::log10(fallen * 1.05))) / 10.0;
    return std::ceil(fallen * 1.05 / unit) * unit;
}

// Seconds to three digits: 2.77 s, 0.0920 s.
std::string secondsText(double seconds)
{
    return formatted("%#.3g s", seconds);
}

// When the stated octaves' curves (their mean) have fallen to `db`.
double statedOctavesAt(const SpaceDecay& decay, double db)
{
    const auto& low = decay.bands[space::kBand500].db;
    const auto& high = decay.bands[space::kBand1000].db;
    std::size_t i = 0;
    while (i + 1 < std::min(low.size(), high.size()) && 0.5 * (low[i] + high[i]) > db)
        ++i;
    return static_cast<double>(i) * decay.stepSeconds;
}

std::string bandLabel(double hz)
{
    return hz >= 1000.0 ? formatted("%g kHz", hz / 1000.0) : formatted("%g Hz", hz);
}

// One row a step: the time, then each band's curve (empty once its energy has ended).
void printDecayCsv(const SpaceDecay& decay)
{
    std::printf("time_s");
    std::size_t rows = 0;
    for (const BandDecay& band : decay.bands)
    {
        std::printf(",%shz_db", frequencyLabel(band.centreHz).c_str());
        rows = std::max(rows, band.db.size());
    }
    std::printf("\n");
    for (std::size_t i = 0; i < rows; ++i)
    {
        std::printf("%.3f", static_cast<double>(i) * decay.stepSeconds);
        for (const BandDecay& band : decay.bands)
            if (i < band.db.size())
                std::printf(",%.3f", band.db[i]);
            else
                std::printf(",");
        std::printf("\n");
    }
}

std::string t30Text(double t30)
{
    return std::isfinite(t30) ? "T30 " + secondsText(t30) : std::string("T30 -");
}

DecayPictureStyle decayStyle(const space::RoomDescription& room, const SpaceDecay& decay)
{
    DecayPictureStyle style;
    style.title = "Space \"" + std::string(room.name) + "\": energy decay per octave band, RT60 " +
                  secondsText(decay.statedRt60);
    style.subtitle = formatted("RT60: the 500 Hz and 1 kHz octaves' mean; listener %.1f m from the source; both ears "
                               "at 48 kHz, Schroeder's backward integration",
                               decay.distance);
    style.stepSeconds = decay.stepSeconds;
    for (std::size_t b = 0; b < decay.bands.size(); ++b)
    {
        const BandDecay& band = decay.bands[b];
        // The two octaves the stated time is the mean of, bolder.
        const bool stated = b == space::kBand500 || b == space::kBand1000;
        style.lines.push_back({kBandColours[b], stated ? 2.6f : 1.6f, band.db});
        style.legend.push_back({kBandColours[b], bandLabel(band.centreHz) + "\t" + t30Text(band.t30)});
    }
    // The stated decay laid on the stated octaves, through the middle of the range T30 is read
    // in, from that range's top.
    const double middleDb = 0.5 * (kFitTopDb + kFitBottomDb);
    style.referenceDb = kFitTopDb;
    style.referenceStart = statedOctavesAt(decay, middleDb) - (kFitTopDb - middleDb) / 60.0 * decay.statedRt60;
    style.referenceRt60 = decay.statedRt60;
    style.seconds = secondsShown(decay, style.referenceStart + style.referenceRt60);
    const double measured = 0.5 * (decay.bands[space::kBand500].t30 + decay.bands[space::kBand1000].t30);
    style.referenceLabel = "stated RT60 " + secondsText(decay.statedRt60) + ", measured " + t30Text(measured);
    style.fitTopDb = kFitTopDb;
    style.fitBottomDb = kFitBottomDb;
    style.fitLabel = "T30: the time to fall from -5 to -35 dB, doubled";
    return style;
}

int plotSpace(const PlotOptions& options)
{
    std::optional<double> distance;
    const space::RoomDescription& room = spaceToPlot(options.space, distance);
    SpaceDecay decay;
    try
    {
        decay = spaceDecay(room, distance, kSpaceRate);
    }
    catch (const space::SpaceError& e)
    {
        throw UsageError(std::string("--space: ") + e.what());
    }
    if (options.csv)
        printDecayCsv(decay);
    else
        writePng(drawDecayPicture(decayStyle(room, decay)), options.output);
    return 0;
}
} // namespace

int runPlot(const PlotOptions& options)
{
    return reportingErrors("plot", [&] {
        const bool settingsGiven = !options.assignments.empty() || !options.preset.empty() || !options.bankFile.empty();
        const int kinds = (options.filters ? 1 : 0) + (options.sims.empty() ? 0 : 1) + (options.space.empty() ? 0 : 1);
        if (kinds > 1)
            throw UsageError("give one of --filters, --sim NAME|INDEX... and --space NAME, not several");
        if (kinds == 0 && !settingsGiven)
            throw UsageError("give --preset NAME (or --set, --bank) for a preset's whole response, --filters for the "
                             "main plot, --sim NAME|INDEX... for devices, or --space NAME for a space's decay");
        if (!options.csv && options.output.empty())
            throw UsageError("give --out FILE.png, or --csv to print the curves");
        if ((!options.sims.empty() || !options.space.empty()) && settingsGiven)
            throw UsageError(std::string("--set, --preset and --bank go with --filters or alone, not with ") +
                             (options.sims.empty() ? "--space" : "--sim"));
        const juce::ScopedJuceInitialiser_GUI framework;
        if (!options.space.empty())
            return plotSpace(options);
        return options.filters ? plotFilters(options) : !options.sims.empty() ? plotSims(options) : plotWhole(options);
    });
}
