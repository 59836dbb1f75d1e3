// `crumlet validate`: loads the effect's module as the host does and runs it through named
// checks (formats, buffer sizes, channel counts, automation, hostile inputs, stored state,
// allocation failures, several instances at once), one pass/fail line each and a summary.
#pragma once

#include <cstdint>

struct ValidateOptions
{
    double seconds = 4.0;   // roughly the time the checks take altogether
    std::uint64_t seed = 1; // the same seed plays the same signals and automation
};

// 0 when every check passed, 1 otherwise.
int runValidate(const ValidateOptions& options);
