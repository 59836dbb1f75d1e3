// `crumlet plot`: response pictures through the editor's frequency plot, and a generated
// space's decay per octave band, rendered off screen to PNG, or the curves as CSV.
#pragma once

#include <string>
#include <vector>

// With neither --filters, --sim nor --space, the settings' (--preset, --set, --bank) whole
// response.
struct PlotOptions
{
    bool filters = false;       // the main plot: Filters pair and EQ band
    std::vector<std::string> sims; // device models by name or index, overlaid
    std::string space;          // a generated space's decay: NAME[:distance=METRES]
    double tuning = 100.0;      // SIMTuning, percent
    int rate = 48000;           // the device model's design rate, Hz
    std::string output;         // PNG file
    bool csv = false;           // print the curves instead
    std::vector<std::string> assignments;
    std::string preset;
    std::string bankFile;
};

int runPlot(const PlotOptions& options);
