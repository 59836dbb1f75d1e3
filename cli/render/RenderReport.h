// What `crumlet render` tells as each file finishes: a line for people on stderr and, with
// --json, one JSON object per file on stdout, then a summary of both kinds.
#pragma once

#include "cli/render/FileRenderer.h"
#include "cli/render/Variation.h"

#include <cstddef>
#include <string>
#include <vector>

struct JobOutcome
{
    enum class Status
    {
        Rendered,
        Failed,
        Skipped,
        Interrupted,
    };
    std::string input; // empty: the built-in demo
    std::string output;
    Status status = Status::Rendered;
    std::string error; // why it failed or was skipped
    FileRenderResult result;
    bool badUsage = false; // it failed on what was asked (a format the file cannot hold, say)
    std::size_t row = 0;   // the line list's row, 0: none
    std::uint64_t seed = 0;
    std::vector<VariedValue> varied{};
    bool neverStarted = false; // interrupted before its render began
};

struct RenderSummary
{
    std::size_t rendered = 0, failed = 0, skipped = 0, interrupted = 0;
    std::size_t badUsage = 0; // of the failed
    double audioSeconds = 0.0;
    double wallSeconds = 0.0;
    unsigned jobs = 1;
    int signalExitCode = 0; // non-zero: the tool was interrupted
};

class RenderReport
{
public:
    RenderReport(bool json, bool quiet) : m_json(json), m_quiet(quiet) {}

    // Reports one file and counts it into the summary.
    void file(const JobOutcome& outcome);

    void summary(double wallSeconds, unsigned jobs, int signalExitCode);

    const RenderSummary& counts() const { return m_summary; }

private:
    bool m_json;
    bool m_quiet;
    RenderSummary m_summary;
    std::vector<std::string> m_neverStarted; // inputs, told in one line with the summary
};

// "-3.1" for a level in dB, "-inf" for silence.
std::string formatDb(double db);
