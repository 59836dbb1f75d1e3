// One gain after the effect, in float, before the file's sample format.
#pragma once

struct LoudnessTarget
{
    enum class Mode
    {
        None,       // the effect's own level
        MatchInput, // the output's integrated loudness equals the input's
        Fixed,      // the output's integrated loudness is `lufs`
    };
    Mode mode = Mode::None;
    double lufs = -23.0;
};
