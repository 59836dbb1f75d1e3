#include "cli/metering/LoudnessNotes.h"

#include <cmath>

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
