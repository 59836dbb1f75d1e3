#include "cli/metering/LoudnessNotes.h"

#include <cmath>
#include <cstdio>

namespace
{
void append(std::string& note, const std::string& text)
{
    note += (note.empty() ? "" : "; ") + text;
}

std::string ungatedNote(const char* which, bool both)
{
    return std::string("the ") + which + (both ? " are" : " is") + " shorter than the 400 ms gating block: measured ungated (K-weighted mean square " +
           "over the whole line)";
}
} // namespace

const char* loudnessBasisName(LoudnessBasis basis)
{
    switch (basis)
    {
    case LoudnessBasis::Integrated: return "integrated";
    case LoudnessBasis::Ungated: return "ungated";
    case LoudnessBasis::BelowGate: return "below-gate";
    case LoudnessBasis::Silent: return "silent";
    }
    return "";
}

double gainToTarget(double targetLufs, const Levels& output, const Levels* input, std::string& note)
{
    auto unmeasurable = [&](const Levels& levels, const char* which) {
        if (levels.loudnessBasis == LoudnessBasis::Silent)
            append(note, std::string("the ") + which + " is silent");
        else if (levels.loudnessBasis == LoudnessBasis::BelowGate)
            append(note, std::string("the ") + which + " is under the -70 LUFS gate: too quiet to measure, left as it is");
        else
            return false;
        return true;
    };
    if (unmeasurable(output, "output") || (input != nullptr && unmeasurable(*input, "input")))
        return 0.0;
    const bool inputUngated = input != nullptr && input->loudnessBasis == LoudnessBasis::Ungated;
    const bool outputUngated = output.loudnessBasis == LoudnessBasis::Ungated;
    if (inputUngated || outputUngated)
        append(note, ungatedNote(inputUngated && outputUngated ? "input and output" : inputUngated ? "input" : "output",
                                 inputUngated && outputUngated));
    if (!std::isfinite(targetLufs) || !std::isfinite(output.loudnessLufs))
        return 0.0;
    return targetLufs - output.loudnessLufs;
}

double landingCorrection(double targetLufs, const Levels& gained, std::string& note)
{
    if (gained.loudnessBasis != LoudnessBasis::Integrated || !std::isfinite(targetLufs) ||
        !std::isfinite(gained.loudnessLufs))
        return 0.0;
    const double miss = targetLufs - gained.loudnessLufs;
    if (std::fabs(miss) <= kLoudnessLandingLu)
        return 0.0;
    char text[160];
    std::snprintf(text, sizeof text,
                  "%+.2f dB more: the gain moved quiet blocks across the -70 LUFS gate and the output measured %.2f LUFS",
                  miss, gained.loudnessLufs);
    append(note, text);
    return miss;
}
