#include "cli/render/LinePlan.h"

#include "cli/io/FilePlaces.h"
#include "cli/io/OutputFiles.h"
#include "cli/io/QuotedText.h"
#include "cli/render/EffectHost.h"
#include "cli/render/ExistingOutputs.h"
#include "cli/render/LineColumns.h"
#include "cli/render/LineList.h"
#include "cli/render/OutputFolder.h"
#include "cli/render/OutputNames.h"
#include "cli/render/PlanErrors.h"
#include "cli/render/RenderSetup.h"
#include "cli/settings/UsageError.h"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>

namespace fs = std::filesystem;

namespace
{
std::string at(std::size_t row, const std::string& column)
{
    return "row " + std::to_string(row) + (column.empty() ? std::string() : ", column " + quoted(column, kQuotedExcerptBytes)) + ": ";
}
} // namespace

std::vector<RenderJob> planLines(const RenderOptions& options, const RenderSetup& setup)
{
    FilePlaces places;
    std::optional<OutputFolder> folder;
    if (!options.outputDir.empty())
        folder.emplace(options.outputDir, places);
    const LineContext context{fs::path(options.lines).parent_path().string()};
    std::vector<std::string> errors;
    std::vector<RenderJob> jobs;
    std::vector<const char*> outputColumns; // the column each job's output came from
    std::set<std::string> sources{options.lines}; // the list, every input and settings file, once
    // Rows whose cells other than their files' are the same share one setup, read once (a
    // million rows of a few looks plan in seconds and keep a few setups).
    std::map<std::string, std::shared_ptr<const RenderSetup>> setups;
    LineCells placed{setup, {}, {}, {}}; // a row's files, for a row whose setup is known
    std::size_t index = 0;
    readLineList(options.lines, [&](const LineRow& row) {
        ++index;
        const std::size_t errorsBefore = errors.size();
        std::string key;
        for (const LineCell& cell : row.cells)
        {
            if (cell.value.size() > kMostLineCellBytes)
                errors.push_back(at(row.row, cell.column) + std::to_string(cell.value.size()) +
                                 " bytes; a cell holds at most " + std::to_string(kMostLineCellBytes));
            else if (cell.value.find('\0') != std::string::npos || cell.column.find('\0') != std::string::npos)
                errors.push_back(at(row.row, cell.column) + quoted(cell.value, kQuotedExcerptBytes) +
                                 " holds a NUL byte");
            else if (!placesFile(cell.column))
                key.append(cell.column).append(1, '\0').append(cell.value).append(1, '\0');
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
        for (const LineCell& cell : row.cells)
        {
            if (!fresh && !placesFile(cell.column))
                continue;
            try
            {
                applyLineCell(line, cell.column, cell.value, context);
            }
            catch (const UsageError& e)
            {
                errors.push_back(at(row.row, cell.column) + e.what());
            }
        }
        if (line.input.empty() && errors.size() == errorsBefore)
            errors.push_back(at(row.row, "input") + "no input file");
        if (errors.size() > errorsBefore)
            return;
        if (fresh)
        {
            try
            {
                completeSetup(fresh->setup);
            }
            catch (const UsageError& e)
            {
                errors.push_back(at(row.row, "") + e.what());
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
            errors.push_back(at(row.row, "output") +
                             "no output: give the list an output or name column, or --out-dir FOLDER");
            return;
        }
        else
        {
            column = line.nameTemplate.empty() ? "input" : "name";
            const std::string name = line.nameTemplate.empty()
                                         ? fs::path(job.input).filename().string()
                                         : expandName(line.nameTemplate, {job.input, rowSetup->recipe.preset, index});
            try
            {
                job.output = folder->place(name);
            }
            catch (const UsageError& e)
            {
                errors.push_back(at(row.row, column) + e.what());
                return;
            }
        }
        sources.insert(job.input);
        jobs.push_back(std::move(job));
        outputColumns.push_back(column);
    });

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
            errors.push_back(where + "row " + std::to_string(other->second) + " also renders to \"" + job.output + "\"");
        else if (!freshName)
            errors.push_back(where + "\"" + job.output + "\" and row " + std::to_string(jobs[sameName->second].row) +
                             "'s \"" + jobs[sameName->second].output +
                             "\" differ only in case: one file on Windows and macOS");
        else if (!input.empty())
            errors.push_back(where + "the output \"" + job.output + "\" is the " +
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
    if (!errors.empty())
        throw PlanErrors("the line list \"" + options.lines + "\" has " + std::to_string(errors.size()) + " error" +
                             (errors.size() == 1 ? "" : "s"),
                         errors);
    refuseExistingOutputs(existing, jobs.size());
    return jobs;
}
