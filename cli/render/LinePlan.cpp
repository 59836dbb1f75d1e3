#include "cli/render/LinePlan.h"

#include "cli/io/FilePlaces.h"
#include "cli/io/OutputFiles.h"
#include "cli/io/QuotedText.h"
#include "cli/render/EffectHost.h"
#include "cli/render/ExistingOutputs.h"
#include "cli/render/LineColumns.h"
#include "cli/render/LineHeaders.h"
#include "cli/render/LineList.h"
#include "cli/render/OutputFolder.h"
#include "cli/render/OutputNames.h"
#include "cli/render/PlanErrors.h"
#include "cli/render/RenderSetup.h"
#include "cli/settings/PresetMap.h"
#include "cli/settings/TypedNumber.h"
#include "cli/settings/UsageError.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>

namespace fs = std::filesystem;

namespace
{
std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

std::string at(std::size_t row, const std::string& column)
{
    return "row " + std::to_string(row) + (column.empty() ? std::string() : ", column " + quoted(column, kQuotedExcerptBytes)) + ": ";
}
} // namespace

LinePlan planLines(const RenderOptions& options, const RenderSetup& setup)
{
    FilePlaces places;
    std::optional<OutputFolder> folder;
    if (!options.outputDir.empty())
        folder.emplace(options.outputDir, places);
    std::optional<PresetMap> presets;
    if (!options.presetMap.empty())
        presets.emplace(options.presetMap);
    const LineContext context{fs::path(options.lines).parent_path().string(), presets ? &*presets : nullptr,
                              folder ? &*folder : nullptr};
    const std::vector<std::string> nameFields =
        options.nameTemplate.empty() ? std::vector<std::string>() : nameColumns(options.nameTemplate);
    LineHeaders headers(options.columnMap, setup.start.description(), nameFields);
    LinePlan plan;
    std::vector<std::pair<std::size_t, std::string>> errors; // by row; 0: the header's
    std::vector<RenderJob>& jobs = plan.jobs;
    std::vector<const char*> outputColumns; // the column each job's output came from
    std::set<std::string> sources{options.lines}; // the list, every input and settings file, once
    // Rows whose cells other than their files' are the same share one setup, read once (a
    // million rows of a few looks plan in seconds and keep a few setups).
    std::map<std::string, std::shared_ptr<const RenderSetup>> setups;
    LineCells placed{setup, {}, {}, {}}; // a row's files, for a row whose setup is known
    std::size_t index = 0;
    bool decimalComma = false;
    std::vector<std::string> listColumns; // a CSV's header, in lower case
    const auto headed = [&](const LineListHead& head) {
        decimalComma = head.decimalComma;
        if (head.fromWindows1252)
            plan.notes.push_back(quoted(options.lines, kQuotedExcerptBytes) + " is not UTF-8: read as Windows-1252");
        for (std::size_t c = 0; c < head.columns.size(); ++c)
        {
            headers.column(head.columns[c], c + 1);
            listColumns.push_back(lower(head.columns[c]));
        }
        if (head.columns.empty())
            return;
        for (const std::string& field : nameFields)
            if (std::find(listColumns.begin(), listColumns.end(), lower(field)) == listColumns.end())
                errors.emplace_back(0, "--name: no field " + quoted("{" + field + "}", kQuotedExcerptBytes) +
                                           ": the list has no such column; the fields are {stem}, {ext}, {preset}, "
                                           "{index}, {parent} and the list's columns");
    };
    struct Cell
    {
        const LineCell* cell;
        std::string column; // the tool's, or empty: the list's own
        std::string value;  // as read: a decimal comma made a point
    };
    std::vector<Cell> cells;
    readLineList(
        options.lines,
        [&](const LineRow& row) {
            ++index;
            const std::size_t errorsBefore = errors.size();
            const auto fail = [&](const std::string& column, const std::string& what) {
                errors.emplace_back(row.row, at(row.row, column) + what);
            };
            std::string key;
            cells.clear();
            for (const LineCell& cell : row.cells)
            {
                if (cell.value.size() > kMostLineCellBytes)
                    fail(cell.column, std::to_string(cell.value.size()) + " bytes; a cell holds at most " +
                                          std::to_string(kMostLineCellBytes));
                else if (cell.value.find('\0') != std::string::npos || cell.column.find('\0') != std::string::npos)
                    fail(cell.column, quoted(cell.value, kQuotedExcerptBytes) + " holds a NUL byte");
                else if (const std::string& column = headers.column(cell.column); !column.empty())
                {
                    const bool file = placesFile(column);
                    cells.push_back({&cell, column, decimalComma && !file ? decimalPointed(cell.value) : cell.value});
                    if (!file)
                        key.append(column).append(1, '\0').append(cells.back().value).append(1, '\0');
                }
            }
            if (errors.size() > errorsBefore)
                return;
            const auto known = setups.find(key);
            std::optional<LineCells> fresh;
            if (known == setups.end())
                fresh.emplace(LineCells{setup, {}, {}, options.nameTemplate});
            else
                placed.input.clear(), placed.output.clear(), placed.nameTemplate = options.nameTemplate;
            LineCells& line = fresh ? *fresh : placed;
            for (const Cell& cell : cells)
            {
                if (!fresh && !placesFile(cell.column))
                    continue;
                try
                {
                    applyLineCell(line, cell.column, cell.value, context);
                }
                catch (const UsageError& e)
                {
                    fail(cell.cell->column, e.what());
                }
            }
            // A list whose header gives no input or output says so once, not at every row.
            if (line.input.empty() && errors.size() == errorsBefore && (headers.gives("input") || listColumns.empty()))
                fail("input", "no input file");
            if (line.input.empty() || errors.size() > errorsBefore)
                return;
            if (fresh)
            {
                try
                {
                    completeSetup(fresh->setup);
                }
                catch (const UsageError& e)
                {
                    fail("", e.what());
                    return;
                }
                sources.insert(fresh->setup.settingFiles.begin(), fresh->setup.settingFiles.end());
            }
            const std::shared_ptr<const RenderSetup> rowSetup =
                fresh ? setups.emplace(key, std::make_shared<const RenderSetup>(std::move(fresh->setup))).first->second
                      : known->second;

            RenderJob job{line.input, {}, {}, {}};
            job.row = row.row;
            job.setup = rowSetup;
            const char* column = "output";
            if (!line.output.empty())
                job.output = line.output;
            else if (!folder)
            {
                if (headers.gives("output") || headers.gives("name") || listColumns.empty())
                    fail("output", "no output: give the list an output or name column, or --out-dir FOLDER");
                return;
            }
            else
            {
                column = line.nameTemplate.empty() ? "input" : "name";
                try
                {
                    const NameFields fields{job.input, rowSetup->recipe.preset, index, [&](const std::string& name) {
                                                for (const LineCell& c : row.cells)
                                                    if (lower(c.column) == lower(name))
                                                        return &c.value;
                                                return static_cast<const std::string*>(nullptr);
                                            }};
                    const std::string name = line.nameTemplate.empty() ? fs::path(job.input).filename().string()
                                                                       : expandName(line.nameTemplate, fields);
                    job.output = folder->place(name);
                }
                catch (const NameCellError& e)
                {
                    // A field no column of the header gives is its problem, told once.
                    if (!listColumns.empty() &&
                        std::find(listColumns.begin(), listColumns.end(), lower(e.column)) == listColumns.end())
                        return;
                    std::string header = e.column;
                    for (const LineCell& c : row.cells)
                        if (lower(c.column) == lower(e.column))
                            header = c.column;
                    fail(header, e.what());
                    return;
                }
                catch (const UsageError& e)
                {
                    fail(column, e.what());
                    return;
                }
            }
            sources.insert(job.input);
            jobs.push_back(std::move(job));
            outputColumns.push_back(column);
        },
        headed);

    // What the whole list's columns lack is said once.
    std::vector<std::string> headerProblems = headers.problems(true);
    if (!folder && !headers.gives("output") && !headers.gives("name"))
        headerProblems.push_back("no output: give the list an output or name column, or --out-dir FOLDER");
    if (!headers.own().empty())
    {
        std::string own;
        for (const std::string& c : headers.own())
            own += (own.empty() ? "" : ", ") + quoted(c, kQuotedExcerptBytes);
        plan.notes.push_back("columns the tool does not take, left to --name: " + own);
    }

    // Names, across the whole list.
    const SourceFiles sourceFiles({sources.begin(), sources.end()});
    std::map<std::string, std::size_t> taken; // the output's file (FilePlaces::key) -> row
    std::map<std::string, std::size_t> folded; // its name in lower case -> the job
    std::vector<std::string> existing;        // outputs in the way, neither skipped nor replaced
    for (std::size_t i = 0; i < jobs.size(); ++i)
    {
        RenderJob& job = jobs[i];
        const std::string where = at(job.row, outputColumns[i]);
        const auto [other, fresh] = taken.emplace(places.key(job.output), job.row);
        bool exists = false;
        const std::string input = sourceFiles.sourceAt(job.output, exists);
        const auto [sameName, freshName] = folded.emplace(places.caseFolded(job.output), i);
        if (!fresh)
            errors.emplace_back(job.row, where + "row " + std::to_string(other->second) + " also renders to \"" + job.output + "\"");
        else if (!freshName)
            errors.emplace_back(job.row, where + "\"" + job.output + "\" and row " + std::to_string(jobs[sameName->second].row) +
                                             "'s \"" + jobs[sameName->second].output +
                                             "\" differ only in case: one file on Windows and macOS");
        else if (!input.empty())
            errors.emplace_back(job.row, where + "the output \"" + job.output + "\" is the " +
                                             (input == options.lines ? "line list" : "input") + " \"" + input +
                                             "\"; a source is never written over");
        else if (exists && options.update)
            job.outputExists = true;
        else if (exists && options.skipExisting)
        {
            job.status = JobOutcome::Status::Skipped;
            job.reason = "\"" + job.output + "\" exists (--skip-existing)";
        }
        else if (exists && !options.force)
            existing.push_back(job.output);
    }
    std::vector<std::string> all;
    for (const std::string& problem : headerProblems)
        all.push_back(problem);
    for (const auto& [row, error] : errors)
        all.push_back(error);
    // The header's problems, and every error without --keep-going, refuse the whole list.
    const bool headerErrors = !headerProblems.empty() ||
                              std::any_of(errors.begin(), errors.end(), [](const auto& e) { return e.first == 0; });
    if (headerErrors || (!errors.empty() && !options.keepGoing))
    {
        std::string why = "the line list \"" + options.lines + "\" has " + std::to_string(all.size()) + " error" +
                          (all.size() == 1 ? "" : "s");
        if (!headerErrors)
            why += " (--keep-going renders the rows without one)";
        PlanErrors refused(why, all);
        refused.notes = plan.notes;
        throw refused;
    }
    refuseExistingOutputs(existing, jobs.size());
    // --keep-going: the bad rows' jobs are failed, reported with the others.
    std::map<std::size_t, std::string> bad;
    for (const auto& [row, error] : errors)
        bad.emplace(row, error);
    if (!bad.empty())
    {
        std::vector<RenderJob> good;
        for (RenderJob& job : jobs)
            if (bad.count(job.row) == 0)
                good.push_back(std::move(job));
        jobs = std::move(good);
        for (const auto& [row, error] : bad)
        {
            // Its line names the row already: the reason goes on from the column.
            const std::string prefix = "row " + std::to_string(row);
            const bool named = error.compare(0, prefix.size(), prefix) == 0 && error.size() > prefix.size() + 2;
            RenderJob failed{options.lines, {}, JobOutcome::Status::Failed, named ? error.substr(prefix.size() + 2) : error};
            failed.row = row;
            jobs.push_back(std::move(failed));
        }
        for (const auto& [row, error] : errors)
            plan.badRows.push_back(error);
    }
    return plan;
}
