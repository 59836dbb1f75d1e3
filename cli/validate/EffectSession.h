// One effect instance made through the module's registration record and played as the
// host's sound engine plays it, with random automation and the test signals, every buffer
// inspected: no NaN, infinity or subnormal out of finite input, the output within what the
// gains allow, well-formed meter records, and at the end a tail that stops.
#pragma once

#include "ZQ/QuarlSoundEngine.h"
#include "cli/validate/Automation.h"
#include "cli/validate/TestSignals.h"
#include "quarl/PluginDescription.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct SessionSpec
{
    std::uint32_t sampleRate = 48000;
    std::uint32_t channels = 2;
    std::vector<std::uint32_t> bufferSizes{512}; // played in turn; empty: a random schedule of 1..4096
    Automation::Route route = Automation::Route::SingleUpdates;
    Automation::Values values = Automation::Values::InRange;
    std::uint32_t automationInterval = 32; // frames between changes; 0: none
    std::optional<SignalKind> only;        // play one kind of input only
    double seconds = 0.2;                  // wall-clock time to play for (0: exactly minFrames)
    std::uint64_t minFrames = 4096;
    std::uint64_t seed = 1;
    // The end of the tail must be 40 dB below the session's peak (with steady settings:
    // automation's retunes make the tail a moving target).
    bool tailInSilence = false;
    // Random settings, then the Filters' high- and low-pass and the EQ at one frequency, at
    // their highest Q and steepest slopes: resonances that coincide ring longest.
    bool coincidingResonances = false;
};

struct SessionResult
{
    std::string failure; // the first fault found; empty when none
    std::uint64_t buffers = 0;
    std::uint64_t frames = 0;
    std::uint64_t bursts = 0;
    std::uint64_t tailFrames = 0;
    // With steady settings: the tail the effect reports, and how long after the input the
    // output really rings, until it stays 60 dB below the session's peak (or -100 dBFS).
    std::uint64_t effectTail = 0;
    std::uint64_t ringFrames = 0;
    double worstBoundRatio = 0.0; // largest output peak over its bound
    std::uint64_t outputHash = 0; // of every output sample, for comparing runs

    bool ok() const { return failure.empty(); }
};

SessionResult runSession(const ZQ::Quarl::PluginRegistration& effect, const quarl::PluginDescription& description,
                         const SessionSpec& spec);
