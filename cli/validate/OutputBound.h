// The largest output the effect's settings allow for a given input peak, stage by stage.
// A resonant section's steady-state peak is not the largest output a bounded input can
// draw from it: a square wave matched to its ringing gets 4/π more (its fundamental), so
// every resonant section counts 4/π on top of its peak.
//   input gain         up to +24 dB
//   Filters            each second-order section peaks at 1/(d·√(1 − d²/4)) for its damping
//                      d; a 24 dB/oct slope runs two of them
//   Distortion         clips at ±1 before its 20 Hz high-pass, which may overshoot to 2
//   EQ                 its gain when boosting, or the resonance of its high- or low-pass
//   Noise              adds at most half a full scale at its level, 6 dB down, through two
//                      plain filters that may overshoot to twice that
//   SIM                a device model's seven sections boost by at most +24 dB together
//                      (the device table's largest response is under +20 dB)
//   Gate               never amplifies
//   Lo-fi              rounding adds a quarter of full scale at 2 bits; its band-pass may
//                      overshoot to twice its input
//   output mix         wet = balance · output gain on the processed path, plus the dry path
// On top, a factor of four for ringing when the input changes abruptly.
//
// Settings change at once, without smoothing. Re-tuning cascaded sections at once (the
// filters' four, the device model's seven) throws their memories against new coefficients,
// and the transients multiply from section to section: with settings changing every 32
// frames, several hundred times the steady-state bound has been seen. Under such
// automation the bound is therefore a guard against runaways only, kRetuneAllowance
// (+48 dB) higher; an unstable section still crosses it within milliseconds.
#pragma once

#include "cli/validate/Automation.h"

class OutputBound
{
public:
    // The bound for steady settings as the automation holds them now and an input of this
    // peak (ringing headroom included, the retune allowance not).
    static double of(const Automation& settings, double inputPeak);

    // Resonant peak of a second-order section of damping d, times 4/π when it resonates.
    static double resonance(double damping);

    static constexpr double kRingingHeadroom = 4.0;
    static constexpr double kRetuneAllowance = 256.0;
    static constexpr double kSquareOverSine = 1.2732395447351628; // 4/π
    static constexpr double kSimBoost = 15.848931924611133;       // +24 dB
    static constexpr int kSimSections = 7;
};
