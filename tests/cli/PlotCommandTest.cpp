// `crumlet plot`: the curves it prints and the picture it writes.
#include "cli/commands/PlotCommand.h"

#include <gtest/gtest.h>
#include <juce_graphics/juce_graphics.h>

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

Csv plotCsv(PlotOptions options)
{
    options.csv = true;
    ::testing::internal::CaptureStdout();
    const int rc = runPlot(options);
    std::istringstream text(::testing::internal::GetCapturedStdout());
    EXPECT_EQ(rc, 0);
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
