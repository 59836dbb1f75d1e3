#include "cli/render/RenderReport.h"

#include "cli/io/QuotedText.h"
#include "cli/metering/LoudnessNotes.h"

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
    case JobOutcome::Status::UpToDate: return "up to date";
    }
    return "";
}

// A level for JSON: a number, or null for silence (or a range too short to tell).
nlohmann::ordered_json dbJson(double db)
{
    return std::isfinite(db) ? nlohmann::ordered_json(std::round(db * 100.0) / 100.0) : nlohmann::ordered_json();
}

// Names as a line shows them: a newline in a name would split the line, an escape sequence
// would reach the terminal.
std::string inputName(const JobOutcome& o)
{
    const std::string row = o.row > 0 ? "row " + std::to_string(o.row) + ": " : std::string();
    return row + (o.input.empty() ? "(demo)" : printable(o.input));
}

// "; varied SIMTuning 53.2 (+3.2), NoiseLevel -41.4 (-1.4)" for the file's line.
std::string variedNote(const JobOutcome& o)
{
    std::string note;
    for (const VariedValue& v : o.varied)
    {
        char offset[32];
        std::snprintf(offset, sizeof offset, "%+.3g", v.offset);
        note += (note.empty() ? "; varied " : ", ") + v.property + " " + v.text + " (" + offset + ")";
    }
    return note;
}

// "; in station:mix=40, its decay 3.05 s"
std::string spaceNote(const pipeline::SpaceReport& s, double rate)
{
    if (s.settings.empty())
        return {};
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f", static_cast<double>(s.tailFrames) / rate);
    return "; in " + s.settings + ", its decay " + seconds + " s";
}

// Where the input's rate or channels were changed before the effect.
std::string conversionNote(const FileRenderResult& r)
{
    std::string note;
    if (r.inputSampleRate != 0 && r.inputSampleRate != r.sampleRate)
        note += " resampled from " + std::to_string(r.inputSampleRate) + " Hz;";
    if (r.inputChannels != 0 && r.inputChannels != r.channels)
        note += " " + std::to_string(r.inputChannels) + " channels folded to " + std::to_string(r.channels) + ";";
    return note;
}

// JSON holds Unicode: a name that is not UTF-8 has its stray bytes replaced (U+FFFD), where
// the library would otherwise throw.
std::string jsonLine(const nlohmann::ordered_json& j)
{
    return j.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

const char* tailEndName(quarl::TailEnd end)
{
    switch (end)
    {
    case quarl::TailEnd::Quiet: return "quiet";
    case quarl::TailEnd::Floor: return "floor";
    case quarl::TailEnd::Cap: return "cap";
    case quarl::TailEnd::NotWatched: break;
    }
    return nullptr;
}

// How the tail went on past the effect's own, for the file's line; empty when it did not.
std::string ringOutNote(const FileRenderResult& r, double rate)
{
    if (r.ringOutFrames == 0)
        return {};
    char text[200];
    const double effect = static_cast<double>(r.effectTailFrames) / rate;
    const double played = static_cast<double>(r.ringOutFrames) / rate;
    switch (r.tailEnd)
    {
    case quarl::TailEnd::Floor:
        std::snprintf(text, sizeof text, " (%.2f s the effect's, %.2f s played on down to the settings' own floor, %s dBFS)",
                      effect, played, formatDb(r.tailEndDbfs).c_str());
        break;
    case quarl::TailEnd::Cap:
        std::snprintf(text, sizeof text, " (%.2f s the effect's, %.2f s played on, the most it plays on; still at %s dBFS)",
                      effect, played, formatDb(r.tailEndDbfs).c_str());
        break;
    default:
        std::snprintf(text, sizeof text, " (%.2f s the effect's, %.2f s played on while it rang, down to %s dBFS)", effect,
                      played, formatDb(r.tailEndDbfs).c_str());
        break;
    }
    return text;
}
// "3 files: a.wav, b.wav, c.wav" or "200 files: a.wav, b.wav, c.wav and 197 more".
std::string namedFew(const std::vector<std::string>& names)
{
    constexpr std::size_t kNamed = 3;
    std::string text = std::to_string(names.size()) + (names.size() == 1 ? " file: " : " files: ");
    for (std::size_t i = 0; i < names.size() && i < kNamed; ++i)
        text += (i > 0 ? ", " : "") + names[i];
    if (names.size() > kNamed)
        text += " and " + std::to_string(names.size() - kNamed) + " more";
    return text;
}

// "; then codec gsm, loss 5%: 18 of 355 frames lost, radio: 3 overs"
std::string transmissionNote(const pipeline::TransmissionReport& t)
{
    if (t.settings.empty())
        return {};
    std::string note = "; then " + t.settings;
    if (t.lossy)
        note += ": " + std::to_string(t.framesLost) + " of " + std::to_string(t.framesSent) + " frames lost";
    if (t.overs > 0)
        note += std::string(t.lossy ? ", " : ": ") + std::to_string(t.overs) + (t.overs == 1 ? " over" : " overs");
    return note;
}

// "-23.0 LUFS, LRA 4.2 LU"; a line too short to gate says how it was measured.
std::string loudnessText(const Levels& levels)
{
    std::string text = formatDb(levels.loudnessLufs) + " LUFS";
    if (levels.loudnessBasis == LoudnessBasis::Ungated)
        text += " (ungated)";
    else if (levels.loudnessBasis == LoudnessBasis::BelowGate)
        text += " (under the gate)";
    if (std::isnan(levels.loudnessRangeLu))
        return text + ", LRA n/a (under 3 s)";
    char range[48];
    std::snprintf(range, sizeof range, ", LRA %.1f LU", levels.loudnessRangeLu);
    return text + range;
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

void RenderReport::emit(const nlohmann::ordered_json& object) const
{
    if (m_collect)
    {
        m_collect(object);
        return;
    }
    std::printf("%s\n", jsonLine(object).c_str());
    std::fflush(stdout);
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
    case JobOutcome::Status::UpToDate: ++m_summary.upToDate; break;
    }

    if (m_json)
    {
        nlohmann::ordered_json j{{"input", o.input.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(o.input)},
                                 {"output", o.output},
                                 {"status", statusName(o.status)}};
        if (o.row > 0)
            j["row"] = o.row;
        if (!o.output.empty())
            j["seed"] = o.seed;
        if (!o.varied.empty())
        {
            nlohmann::ordered_json varied = nlohmann::ordered_json::object();
            for (const VariedValue& v : o.varied)
                varied[v.property] = {{"value", v.value}, {"offset", v.offset}, {"text", v.text}};
            j["variation"] = varied;
        }
        if (o.status == JobOutcome::Status::Rendered)
        {
            j["framesIn"] = r.inputFrames;
            j["framesOut"] = r.outputFrames;
            j["tailFrames"] = r.outputFrames - r.inputFrames;
            j["effectTailFrames"] = r.effectTailFrames;
            j["ringOutFrames"] = r.ringOutFrames;
            const char* end = tailEndName(r.tailEnd);
            j["tailEnd"] = end != nullptr ? nlohmann::ordered_json(end) : nlohmann::ordered_json();
            j["tailEndDbfs"] = dbJson(r.tailEndDbfs);
            j["channels"] = r.channels;
            j["sampleRate"] = r.sampleRate;
            j["inputChannels"] = r.inputChannels;
            j["inputSampleRate"] = r.inputSampleRate;
            j["peakDbfs"] = dbJson(r.output.peakDbfs);
            j["truePeakDbtp"] = dbJson(r.output.truePeakDbtp);
            j["loudnessLufs"] = dbJson(r.output.loudnessLufs);
            j["loudnessBasis"] = loudnessBasisName(r.output.loudnessBasis);
            j["loudnessRangeLu"] = dbJson(r.output.loudnessRangeLu);
            j["gainDb"] = std::round(r.gainDb * 100.0) / 100.0;
            j["gainNote"] = r.gainNote.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(r.gainNote);
            j["clippedSamples"] = r.integerFormat ? r.output.clippedSamples : 0;
            if (!r.transmission.settings.empty())
                j["transmission"] = {{"settings", r.transmission.settings},
                                     {"framesSent", r.transmission.framesSent},
                                     {"framesLost", r.transmission.framesLost},
                                     {"overs", r.transmission.overs}};
            if (!r.space.settings.empty())
                j["space"] = {{"settings", r.space.settings},
                              {"tailSeconds", static_cast<double>(r.space.tailFrames) / rate}};
        }
        if (o.status == JobOutcome::Status::Interrupted)
            j["started"] = !o.neverStarted;
        j["error"] = o.error.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(o.error);
        emit(j);
    }
    if (m_collect)
        return;

    switch (o.status)
    {
    case JobOutcome::Status::Rendered:
        if (!m_quiet)
        {
            std::string gain;
            if (r.gainDb != 0.0 || !r.gainNote.empty())
                gain = std::string(", gain ") + (r.gainDb > 0 ? "+" : "") + formatDb(r.gainDb) + " dB" +
                       (r.gainNote.empty() ? "" : " (" + r.gainNote + ")");
            std::fprintf(stderr, "rendered: %s -> %s:%s %.2f s + %.2f s tail%s; peak %s dBFS, true peak %s dBTP, %s%s%s%s%s\n",
                         inputName(o).c_str(), printable(o.output).c_str(), conversionNote(r).c_str(),
                         static_cast<double>(r.inputFrames) / rate,
                         static_cast<double>(r.outputFrames - r.inputFrames) / rate, ringOutNote(r, rate).c_str(),
                         formatDb(r.output.peakDbfs).c_str(), formatDb(r.output.truePeakDbtp).c_str(),
                         loudnessText(r.output).c_str(), gain.c_str(), transmissionNote(r.transmission).c_str(),
                         printable(spaceNote(r.space, rate)).c_str(), printable(variedNote(o)).c_str());
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
        if (o.neverStarted)
            m_neverStarted.push_back(inputName(o));
        else
            std::fprintf(stderr, "interrupted: %s (its partial output was removed)\n", inputName(o).c_str());
        break;
    case JobOutcome::Status::UpToDate: break; // counted in the summary
    }
    std::fflush(stderr);
}

void RenderReport::orphan(const std::string& path, bool pruned, const std::string& error)
{
    if (m_json)
    {
        nlohmann::ordered_json j{{"orphan", path}, {"pruned", pruned}};
        j["error"] = error.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(error);
        emit(j);
    }
    if (m_collect)
        return;
    if (!error.empty())
        std::fprintf(stderr, "failed: cannot prune %s: %s\n", printable(path).c_str(), printable(error).c_str());
    else if (pruned)
        std::fprintf(stderr, "pruned: %s\n", printable(path).c_str());
    else
        std::fprintf(stderr, "orphan: %s (nothing in this render makes it any more; --prune deletes it)\n",
                     printable(path).c_str());
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
                                   {"upToDate", s.upToDate},
                                   {"interrupted", signalExitCode != 0},
                                   {"audioSeconds", std::round(s.audioSeconds * 1000.0) / 1000.0},
                                   {"wallSeconds", std::round(s.wallSeconds * 1000.0) / 1000.0},
                                   {"jobs", jobs}}}};
        emit(j);
    }
    if (m_collect)
        return;
    if (!m_neverStarted.empty())
        std::fprintf(stderr, "not started: %s\n", namedFew(m_neverStarted).c_str());
    const std::size_t files = s.rendered + s.failed + s.skipped + s.interrupted + s.upToDate;
    if (m_quiet && s.failed == 0 && signalExitCode == 0)
        return;
    if (files <= 1 && s.failed == 0 && signalExitCode == 0)
        return; // the file's own line says it all
    std::string extra;
    if (s.upToDate > 0)
        extra += ", " + std::to_string(s.upToDate) + " up to date";
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
