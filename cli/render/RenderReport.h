// What `crumlet render` tells as each file finishes: a line for people on stderr and, with
// --json, one JSON object per file on stdout, then a summary of both kinds.
#pragma once

#include "cli/render/FileRenderer.h"
#include "cli/render/Variation.h"

#include <nlohmann/json_fwd.hpp>

#include <cstddef>
#include <functional>
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
        UpToDate, // --update found its output made with its recipe from its source's bytes
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
    std::size_t rendered = 0, failed = 0, skipped = 0, interrupted = 0, upToDate = 0;
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

    // Prints nothing: each file's JSON object, then the summary's, as --json prints them,
    // go to `collect` (the Python module returns them).
    using Collector = std::function<void(const nlohmann::ordered_json&)>;
    explicit RenderReport(Collector collect) : m_json(true), m_quiet(true), m_collect(std::move(collect)) {}

    // Reports one file and counts it into the summary.
    void file(const JobOutcome& outcome);

    void summary(double wallSeconds, unsigned jobs, int signalExitCode);

    // An output under --out-dir that the tool made and nothing in this render makes any more;
    // `pruned` when --prune deleted it, `error` why it could not.
    void orphan(const std::string& path, bool pruned, const std::string& error);

    const RenderSummary& counts() const { return m_summary; }

private:
    void emit(const nlohmann::ordered_json& object) const;

    bool m_json;
    bool m_quiet;
    Collector m_collect;
    RenderSummary m_summary;
    std::vector<std::string> m_neverStarted; // inputs, told in one line with the summary
};

// "-3.1" for a level in dB, "-inf" for silence.
std::string formatDb(double db);
