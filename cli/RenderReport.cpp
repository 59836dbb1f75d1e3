#include "cli/RenderReport.h"

#include "cli/QuotedText.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>

namespace
{
const char* statusName(JobOutcome::Status s)
{
    switch (s)
    {
    case JobOutcome::Status::Rendered: return "rendered";
    case JobOutcome::Status::Failed: return "failed";
    case JobOutcome::Status::Skipped: return "skipped";
    case JobOutcome::Status::Interrupted: return "interrupted";
    }
    return "";
}

// A level for JSON: a number, or null for silence.
nlohmann::ordered_json dbJson(double db)
{
    return std::isfinite(db) ? nlohmann::ordered_json(std::round(db * 100.0) / 100.0) : nlohmann::ordered_json();
}

// Names as a line shows them: a newline in a name would split the line, an escape sequence
// would reach the terminal.
std::string inputName(const JobOutcome& o)
{
    return o.input.empty() ? "(demo)" : printable(o.input);
}

// JSON holds Unicode: a name that is not UTF-8 has its stray bytes replaced (U+FFFD), where
// the library would otherwise throw.
std::string jsonLine(const nlohmann::ordered_json& j)
{
    return j.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}
} // namespace

std::string formatDb(double db)
{
    if (!std::isfinite(db))
        return db > 0 ? "+inf" : "-inf";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", db);
    return text;
}

void RenderReport::file(const JobOutcome& o)
{
    const FileRenderResult& r = o.result;
    const double rate = r.sampleRate > 0 ? r.sampleRate : 1.0;
    switch (o.status)
    {
    case JobOutcome::Status::Rendered:
        ++m_summary.rendered;
        m_summary.audioSeconds += static_cast<double>(r.outputFrames) / rate;
        break;
    case JobOutcome::Status::Failed:
        ++m_summary.failed;
        m_summary.badUsage += o.badUsage ? 1 : 0;
        break;
    case JobOutcome::Status::Skipped: ++m_summary.skipped; break;
    case JobOutcome::Status::Interrupted: ++m_summary.interrupted; break;
    }

    if (m_json)
    {
        nlohmann::ordered_json j{{"input", o.input.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(o.input)},
                                 {"output", o.output},
                                 {"status", statusName(o.status)}};
        if (o.status == JobOutcome::Status::Rendered)
        {
            j["framesIn"] = r.inputFrames;
            j["framesOut"] = r.outputFrames;
            j["tailFrames"] = r.outputFrames - r.inputFrames;
            j["channels"] = r.channels;
            j["sampleRate"] = r.sampleRate;
            j["peakDbfs"] = dbJson(r.output.peakDbfs);
            j["truePeakDbtp"] = dbJson(r.output.truePeakDbtp);
            j["loudnessLufs"] = dbJson(r.output.loudnessLufs);
            j["gainDb"] = std::round(r.gainDb * 100.0) / 100.0;
            j["gainNote"] = r.gainNote.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(r.gainNote);
            j["clippedSamples"] = r.integerFormat ? r.output.clippedSamples : 0;
        }
        j["error"] = o.error.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(o.error);
        std::printf("%s\n", jsonLine(j).c_str());
        std::fflush(stdout);
    }

    switch (o.status)
    {
    case JobOutcome::Status::Rendered:
        if (!m_quiet)
        {
            std::string gain;
            if (r.gainDb != 0.0 || !r.gainNote.empty())
                gain = std::string(", gain ") + (r.gainDb > 0 ? "+" : "") + formatDb(r.gainDb) + " dB" +
                       (r.gainNote.empty() ? "" : " (" + r.gainNote + ")");
            std::fprintf(stderr, "rendered: %s -> %s: %.2f s + %.2f s tail; peak %s dBFS, true peak %s dBTP, %s LUFS%s\n",
                         inputName(o).c_str(), printable(o.output).c_str(), static_cast<double>(r.inputFrames) / rate,
                         static_cast<double>(r.outputFrames - r.inputFrames) / rate, formatDb(r.output.peakDbfs).c_str(),
                         formatDb(r.output.truePeakDbtp).c_str(), formatDb(r.output.loudnessLufs).c_str(), gain.c_str());
        }
        if (r.integerFormat && r.output.clippedSamples > 0)
            std::fprintf(stderr,
                         "warning: %s: %llu samples clipped (peak %s dBFS); lower OutputGain, render with --loudness "
                         "at a lower target, or write floats (--format float)\n",
                         printable(o.output).c_str(), static_cast<unsigned long long>(r.output.clippedSamples),
                         formatDb(r.output.peakDbfs).c_str());
        break;
    case JobOutcome::Status::Failed:
        std::fprintf(stderr, "failed: %s: %s\n", inputName(o).c_str(), printable(o.error).c_str());
        break;
    case JobOutcome::Status::Skipped:
        if (!m_quiet)
            std::fprintf(stderr, "skipped: %s: %s\n", inputName(o).c_str(), printable(o.error).c_str());
        break;
    case JobOutcome::Status::Interrupted:
        std::fprintf(stderr, "interrupted: %s (its partial output was removed)\n", inputName(o).c_str());
        break;
    }
    std::fflush(stderr);
}

void RenderReport::summary(double wallSeconds, unsigned jobs, int signalExitCode)
{
    m_summary.wallSeconds = wallSeconds;
    m_summary.jobs = jobs;
    m_summary.signalExitCode = signalExitCode;
    const RenderSummary& s = m_summary;
    if (m_json)
    {
        nlohmann::ordered_json j{{"summary",
                                  {{"rendered", s.rendered},
                                   {"failed", s.failed},
                                   {"skipped", s.skipped},
                                   {"interrupted", signalExitCode != 0},
                                   {"audioSeconds", std::round(s.audioSeconds * 1000.0) / 1000.0},
                                   {"wallSeconds", std::round(s.wallSeconds * 1000.0) / 1000.0},
                                   {"jobs", jobs}}}};
        std::printf("%s\n", jsonLine(j).c_str());
        std::fflush(stdout);
    }
    const std::size_t files = s.rendered + s.failed + s.skipped + s.interrupted;
    if (m_quiet && s.failed == 0 && signalExitCode == 0)
        return;
    if (files <= 1 && s.failed == 0 && signalExitCode == 0)
        return; // the file's own line says it all
    std::string extra;
    if (s.skipped > 0)
        extra += ", " + std::to_string(s.skipped) + " skipped";
    if (s.failed > 0)
        extra += ", " + std::to_string(s.failed) + " failed";
    if (signalExitCode != 0)
        extra += ", interrupted" + (s.interrupted > 0 ? " (" + std::to_string(s.interrupted) + " unfinished)" : std::string());
    std::fprintf(stderr, "%zu of %zu files rendered%s (%.1f s of audio in %.1f s, %u job%s)\n", s.rendered, files,
                 extra.c_str(), s.audioSeconds, s.wallSeconds, jobs, jobs == 1 ? "" : "s");
    std::fflush(stderr);
}
