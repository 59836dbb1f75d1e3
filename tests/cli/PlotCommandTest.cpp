// `crumlet plot`: the curves it prints and the picture it writes; a space's decay.
#include "cli/commands/PlotCommand.h"
#include "cli/pictures/DecayPicture.h"
#include "cli/pictures/SimResponse.h"
#include "cli/pictures/TransmissionAndSpaceResponse.h"
#include "cli/render/EffectHost.h"
#include "cli/settings/Presets.h"
#include "space/DecayAnalysis.h"
#include "space/RoomAcoustics.h"
#include "space/SpaceCatalogue.h"

#include "CrumletProcess.h"

#include <gtest/gtest.h>
#include <juce_graphics/juce_graphics.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace
{
struct Csv
{
    std::string header;
    std::vector<std::vector<double>> rows;

    // The last column's value at the first grid frequency at or above f.
    double at(double f, std::size_t column) const
    {
        for (const auto& r : rows)
            if (r[0] >= f)
                return r.at(column);
        return rows.back().at(column);
    }
};

Csv parsedCsv(const std::string& printed)
{
    std::istringstream text(printed);
    Csv csv;
    std::getline(text, csv.header);
    for (std::string line; std::getline(text, line);)
    {
        std::vector<double> row;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, ',');)
            row.push_back(std::stod(cell));
        csv.rows.push_back(row);
    }
    return csv;
}

Csv plotCsv(PlotOptions options)
{
    options.csv = true;
    ::testing::internal::CaptureStdout();
    const int rc = runPlot(options);
    const std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(rc, 0);
    return parsedCsv(printed);
}

PlotOptions simPlot(const std::string& model)
{
    PlotOptions o;
    o.sims = {model};
    return o;
}

// The picture the command writes for these options, read back (invalid if it wrote none).
juce::Image plotPicture(PlotOptions options)
{
    const juce::File file = juce::File::createTempFile(".png");
    options.csv = false;
    options.output = file.getFullPathName().toStdString();
    EXPECT_EQ(runPlot(options), 0);
    const juce::Image image = juce::ImageFileFormat::loadFrom(file);
    file.deleteFile();
    return image;
}
} // namespace

TEST(PlotCommand, APhoneModelIsFarDownAtBothEndsOfTheBand)
{
    const Csv csv = plotCsv(simPlot("Classic Desk Phone"));
    EXPECT_EQ(csv.header, "frequency_hz,db");
    ASSERT_EQ(csv.rows.size(), 290u);
    EXPECT_DOUBLE_EQ(csv.rows.front()[0], 20.0);
    EXPECT_NEAR(csv.rows.back()[0], 21000.0, 1e-3);
    const double mid = csv.at(1000.0, 1);
    EXPECT_LT(csv.at(50.0, 1), mid - 30.0);
    EXPECT_LT(csv.at(10000.0, 1), mid - 30.0);
    // The same model by its index.
    EXPECT_EQ(plotCsv(simPlot("84")).rows[100], csv.rows[100]);
}

TEST(PlotCommand, TuningAndRateChangeTheDeviceCurve)
{
    PlotOptions low = simPlot("Classic Desk Phone");
    low.tuning = 50.0;
    const Csv tuned = plotCsv(low);
    const Csv plain = plotCsv(simPlot("Classic Desk Phone"));
    EXPECT_GT(std::abs(tuned.at(300.0, 1) - plain.at(300.0, 1)), 1.0);
    PlotOptions slow = simPlot("Classic Desk Phone");
    slow.rate = 16000;
    const Csv narrow = plotCsv(slow);
    // The axis stops at the Nyquist frequency of the design rate.
    EXPECT_NEAR(narrow.rows.back()[0], 8000.0, 1e-3);
}

TEST(PlotCommand, FiltersCsvHasOneColumnPerCurveAndTheSum)
{
    PlotOptions o;
    o.filters = true;
    o.assignments = {"FiltersEnable=0", "EQEnable=1", "EQFilterType=1", "EQFreq=2500", "EQGain=9"};
    const Csv csv = plotCsv(o);
    EXPECT_EQ(csv.header, "frequency_hz,filters_hpf_db,filters_lpf_db,eq_db,sum_db");
    ASSERT_EQ(csv.rows.size(), 290u);
    double peak = -100.0;
    for (const auto& r : csv.rows)
    {
        EXPECT_EQ(r[1], 0.0); // Filters off: identity sections
        EXPECT_EQ(r[2], 0.0);
        EXPECT_NEAR(r[4], r[3], 1e-9);
        peak = std::max(peak, r[3]);
    }
    EXPECT_NEAR(peak, 9.0, 0.1);
    EXPECT_NEAR(csv.at(2500.0, 3), 9.0, 0.3);
}

TEST(PlotCommand, WritesAPngOfThePictureSize)
{
    PlotOptions o;
    o.filters = true;
    const juce::Image image = plotPicture(o);
    ASSERT_TRUE(image.isValid());
    EXPECT_GT(image.getWidth(), 800);
    EXPECT_GT(image.getHeight(), 400);
}

TEST(PlotCommand, BadUsageIsRefused)
{
    PlotOptions neither;
    neither.output = "x.png";
    EXPECT_EQ(runPlot(neither), 2);
    PlotOptions both = simPlot("1");
    both.filters = true;
    both.output = "x.png";
    EXPECT_EQ(runPlot(both), 2);
    EXPECT_EQ(runPlot(simPlot("1")), 2); // neither --out nor --csv
    PlotOptions unknown = simPlot("No Such Device");
    unknown.csv = true;
    EXPECT_EQ(runPlot(unknown), 2);
    PlotOptions slowRate = simPlot("1");
    slowRate.csv = true;
    slowRate.rate = 100;
    EXPECT_EQ(runPlot(slowRate), 2);
}

TEST(PlotCommand, SeveralDevicesAreOverlaid)
{
    PlotOptions o;
    o.sims = {"Stereo BoomBox", "60", "House Phone"};
    const Csv csv = plotCsv(o);
    EXPECT_EQ(csv.header, "frequency_hz,stereo_boombox_db,red_megaphone_db,house_phone_db");
    ASSERT_EQ(csv.rows.size(), 290u);
    // Each column is that device alone.
    EXPECT_EQ(plotCsv(simPlot("Red Megaphone")).rows[120][1], csv.rows[120][2]);
    EXPECT_GT(csv.at(60.0, 1), csv.at(60.0, 2) + 30.0); // the boombox has bass, the megaphone none
    o.sims.assign(7, "1");
    o.output = "x.png";
    EXPECT_EQ(runPlot(o), 2); // up to six
}

TEST(PlotCommand, APresetsWholeResponseIsItsStagesTogether)
{
    PlotOptions o;
    o.preset = "Megaphone";
    const Csv csv = plotCsv(o);
    EXPECT_EQ(csv.header, "frequency_hz,filters_db,eq_db,device_db,level_db,total_db");
    for (const auto& r : csv.rows)
        EXPECT_NEAR(r[5], r[1] + r[2] + r[3] + r[4], 1e-3);
    EXPECT_NEAR(csv.at(1000.0, 4), -7.5, 1e-9); // the preset's output gain
    EXPECT_LT(csv.at(100.0, 5), csv.at(2000.0, 5) - 40.0);

    const juce::Image image = plotPicture(o);
    ASSERT_TRUE(image.isValid());
    EXPECT_GT(image.getHeight(), 520); // the legend's rows under the plot

    PlotOptions both;
    both.preset = "Megaphone";
    both.sims = {"1"};
    both.csv = true;
    EXPECT_EQ(runPlot(both), 2);
}

namespace
{
// `crumlet plot --preset NAME --csv` as the tool prints it.
Csv presetCsv(const std::string& preset)
{
    const ProcessResult r = runCrumlet({"plot", "--preset", preset, "--csv"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return parsedCsv(r.out);
}
} // namespace

// A preset's codec cuts the band as the line does (wideband Opus at 8 kHz), and its space
// shapes it too: the wall of the next room takes the highs, and what you hear is read with it.
TEST(PlotCommand, APresetsWholeResponseHasItsCodecAndItsSpace)
{
    const Csv video = presetCsv("Video call");
    ASSERT_EQ(video.header, "frequency_hz,filters_db,device_db,level_db,codec_db,total_db");
    for (const auto& r : video.rows)
        EXPECT_NEAR(r[5], r[1] + r[2] + r[3] + r[4], 1e-3);
    EXPECT_NEAR(video.at(1000.0, 4), 0.0, 6.0);                  // the codec keeps the band's middle
    EXPECT_LT(video.at(12000.0, 4), video.at(1000.0, 4) - 30.0); // and nothing above 8 kHz
    EXPECT_LT(video.at(12000.0, 5), video.at(1000.0, 5) - 40.0);

    const Csv wall = presetCsv("Television next door");
    ASSERT_EQ(wall.header, "frequency_hz,filters_db,eq_db,device_db,level_db,space_db,total_db");
    for (const auto& r : wall.rows)
        EXPECT_NEAR(r[6], r[1] + r[2] + r[3] + r[4] + r[5], 1e-3);
    EXPECT_LT(wall.at(3000.0, 5), wall.at(200.0, 5) - 15.0); // through a wall: the highs fall away

    // A preset with neither keeps its stages alone.
    EXPECT_EQ(presetCsv("Megaphone").header, "frequency_hz,filters_db,eq_db,device_db,level_db,total_db");
}

TEST(TransmissionAndSpaceResponse, MeasuresTheCodecsBandAndNamesTheRest)
{
    const FactoryPreset& video = *findFactoryPreset("Video call");
    const TransmissionAndSpaceResponse wideband(video.transmission, video.space);
    EXPECT_GT(wideband.codecTopHz(), 7000.0);
    EXPECT_LT(wideband.codecTopHz(), 9500.0);
    const FactoryPreset& mobile = *findFactoryPreset("Mobile call (2G)");
    const TransmissionAndSpaceResponse narrowband(mobile.transmission, mobile.space);
    EXPECT_GT(narrowband.codecTopHz(), 3200.0);
    EXPECT_LT(narrowband.codecTopHz(), 4200.0);
    EXPECT_EQ(narrowband.followingText(), "its codec");

    // The radio's static, squelch and click are named, with the loss.
    const FactoryPreset& walkie = *findFactoryPreset("Walkie-talkie");
    const TransmissionAndSpaceResponse radio(walkie.transmission, walkie.space);
    std::string named;
    for (const auto& n : radio.notDrawn())
        named += n + "; ";
    EXPECT_NE(named.find("static at -40 dB (pink)"), std::string::npos) << named;
    EXPECT_NE(named.find("squelch tail 220 ms"), std::string::npos) << named;
    EXPECT_NE(named.find("key click at -20 dB"), std::string::npos) << named;
    EXPECT_EQ(radio.followingText(), "its radio");
    const FactoryPreset& breaking = *findFactoryPreset("Mobile call, breaking up");
    named.clear();
    for (const auto& n : TransmissionAndSpaceResponse(breaking.transmission, breaking.space).notDrawn())
        named += n + "; ";
    EXPECT_NE(named.find("7 % of packets lost in bursts of 4"), std::string::npos) << named;

    // What you hear of the television next door is read through the wall: under 2 kHz, where
    // the effect alone reaches past it.
    const FactoryPreset& tv = *findFactoryPreset("Television next door");
    ParameterSettings settings(EffectHost::instance().description());
    applyPreset(settings, tv.name);
    PresetResponse heard = presetResponse(settings);
    const double effectAloneHighHz = describeResponse(heard.totalDb).highHz;
    const TransmissionAndSpaceResponse room(tv.transmission, tv.space);
    EXPECT_EQ(room.followingText(), "its space");
    room.addTo(heard, responseFrequencies());
    EXPECT_LT(describeResponse(heard.totalDb).highHz, 2000.0);
    EXPECT_GT(effectAloneHighHz, 2000.0);
}

namespace
{
// `crumlet plot --space ... --csv`: the header's columns, and each column's values (NaN for an
// empty cell).
struct DecayCsv
{
    std::vector<std::string> columns;
    std::vector<std::vector<double>> values; // per column
};

DecayCsv decayCsv(const std::string& space)
{
    const ProcessResult r = runCrumlet({"plot", "--space", space, "--csv"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    DecayCsv csv;
    std::istringstream text(r.out);
    std::string line;
    std::getline(text, line);
    std::istringstream header(line);
    for (std::string cell; std::getline(header, cell, ',');)
        csv.columns.push_back(cell);
    csv.values.resize(csv.columns.size());
    while (std::getline(text, line))
    {
        std::istringstream cells(line + ",");
        std::size_t c = 0;
        for (std::string cell; std::getline(cells, cell, ',') && c < csv.values.size(); ++c)
            csv.values[c].push_back(cell.empty() ? std::nan("") : std::stod(cell));
    }
    return csv;
}

// A column's values up to its first empty cell.
std::vector<double> curveOf(const std::vector<double>& column)
{
    std::vector<double> curve;
    for (double v : column)
    {
        if (std::isnan(v))
            break;
        curve.push_back(v);
    }
    return curve;
}
} // namespace

// Each space's curves, read as room acoustics reads them, give the time the space states.
TEST(PlotSpace, CsvCurvesFallAtTheTimeTheSpaceStates)
{
    for (const auto& room : space::spaceCatalogue())
    {
        SCOPED_TRACE(room.name);
        const DecayCsv csv = decayCsv(room.name);
        ASSERT_EQ(csv.columns, (std::vector<std::string>{"time_s", "125hz_db", "250hz_db", "500hz_db", "1khz_db",
                                                          "2khz_db", "4khz_db", "8khz_db"}));
        const auto& time = csv.values[0];
        ASSERT_GT(time.size(), 10u);
        EXPECT_EQ(time[0], 0.0);
        EXPECT_NEAR(time[1], 0.001, 1e-9); // a row a millisecond
        for (std::size_t c = 1; c < csv.columns.size(); ++c)
        {
            const std::vector<double> curve = curveOf(csv.values[c]);
            ASSERT_FALSE(curve.empty()) << csv.columns[c];
            EXPECT_NEAR(curve[0], 0.0, 1e-3) << csv.columns[c];
            for (std::size_t i = 1; i < curve.size(); ++i)
                ASSERT_LE(curve[i], curve[i - 1] + 1e-3) << csv.columns[c] << " at row " << i;
        }
        const double measured = 0.5 * (space::reverberationTimeT30(curveOf(csv.values[3]), 1000.0) +
                                       space::reverberationTimeT30(curveOf(csv.values[4]), 1000.0));
        const double stated = space::statedRt60(room);
        EXPECT_NEAR(measured / stated, 1.0, 0.10) << "measured " << measured << " s, stated " << stated << " s";
    }
}

// distance= moves the listener: near the loudspeaker the direct sound is a large share of the
// energy and has arrived at once; from the far end, nothing has arrived after 40 ms.
TEST(PlotSpace, DistanceMovesTheListener)
{
    const auto near = curveOf(decayCsv("station:distance=2").values[4]);
    const auto far = curveOf(decayCsv("station").values[4]);
    ASSERT_GT(near.size(), 40u);
    ASSERT_GT(far.size(), 40u);
    EXPECT_LT(near[40], -3.0);
    EXPECT_EQ(far[40], 0.0);
}

TEST(PlotSpace, WritesAPictureOfItsSize)
{
    const juce::File file = juce::File::createTempFile(".png");
    const ProcessResult r =
        runCrumlet({"plot", "--space", "church", "--out", file.getFullPathName().toStdString()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const juce::Image image = juce::ImageFileFormat::loadFrom(file);
    file.deleteFile();
    ASSERT_TRUE(image.isValid());
    EXPECT_EQ(image.getWidth(), PictureFrame::kLeft + kDecayPlotWidth + PictureFrame::kRight);
    EXPECT_EQ(image.getHeight(), PictureFrame::kTop + kDecayPlotHeight + PictureFrame::kBottom);
}

TEST(PlotSpace, WhatIsNoSpaceOrNotItsDecayIsAUsageError)
{
    ProcessResult r = runCrumlet({"plot", "--space", "staton", "--csv"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("no space \"staton\"; did you mean \"station\"?"), std::string::npos) << r.err;
    r = runCrumlet({"plot", "--space", "kitchen", "--csv"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("(spaces: car, phone-booth"), std::string::npos) << r.err;
    r = runCrumlet({"plot", "--space", "phone-booth:distance=5", "--csv"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("at most"), std::string::npos) << r.err;
    r = runCrumlet({"plot", "--space", "station:mix=50", "--csv"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("distance="), std::string::npos) << r.err;
    EXPECT_EQ(runCrumlet({"plot", "--space", "station:loud=3", "--csv"}).exitCode, 2);
    EXPECT_EQ(runCrumlet({"plot", "--space", "station", "--sim", "1", "--csv"}).exitCode, 2);
    EXPECT_EQ(runCrumlet({"plot", "--space", "station", "--filters", "--csv"}).exitCode, 2);
    EXPECT_EQ(runCrumlet({"plot", "--space", "station", "--preset", "Megaphone", "--csv"}).exitCode, 2);
    EXPECT_EQ(runCrumlet({"plot", "--space", "station"}).exitCode, 2); // neither --out nor --csv
}
