// Everything wrong with a plan, found before anything renders: a usage error whose message
// says how many, with each error on a line of its own.
#pragma once

#include "cli/settings/UsageError.h"

#include <string>
#include <vector>

struct PlanErrors : UsageError
{
    // Errors listed in full; the rest are counted.
    static constexpr std::size_t kMostListed = 20;

    PlanErrors(const std::string& what, std::vector<std::string> each)
        : UsageError(what + "; nothing was rendered"), summary(what), errors(std::move(each))
    {
    }

    // Prints the errors, one a line, as "crumlet COMMAND: error" (after the summary when
    // `summarised`).
    void print(const char* command, bool summarised = false) const
    {
        for (const std::string& note : notes)
            std::fprintf(stderr, "note: %s\n", printable(note).c_str());
        if (summarised)
            std::fprintf(stderr, "crumlet %s: %s\n", command, printable(summary).c_str());
        for (std::size_t i = 0; i < errors.size() && i < kMostListed; ++i)
            std::fprintf(stderr, "crumlet %s: %s\n", command, printable(errors[i]).c_str());
        if (errors.size() > kMostListed)
            std::fprintf(stderr, "crumlet %s: ... and %zu more\n", command, errors.size() - kMostListed);
    }

    std::string summary;
    std::vector<std::string> errors;
    std::vector<std::string> notes; // what helps read the errors (a list's encoding), printed first
};
