#include "cli/render/LinePlan.h"

#include "cli/io/FilePlaces.h"
#include "cli/io/OutputFiles.h"
#include "cli/render/EffectHost.h"
#include "cli/render/ExistingOutputs.h"
#include "cli/render/LineColumns.h"
#include "cli/render/LineList.h"
#include "cli/render/OutputFolder.h"
#include "cli/render/OutputNames.h"
#include "cli/render/PlanErrors.h"
#include "cli/settings/UsageError.h"

#include <filesystem>
#include <map>
#include <optional>

namespace fs = std::filesystem;

namespace
{
std::string at(std::size_t row, const std::string& column)
{
    return "row " + std::to_string(row) + (column.empty() ? std::string() : ", column \"" + column + "\"") + ": ";
}
} // namespace

std::vector<RenderJob> planLines(const RenderOptions& options, const RenderSetup& setup)
{
    FilePlaces places;
    std::optional<OutputFolder> folder;
    if (!options.outputDir.empty())
        folder.emplace(options.outputDir, places);
    const LineList list = readLineList(options.lines);
    const LineContext context{list.folder};
    std::vector<std::string> errors;
    std::vector<RenderJob> jobs;
    std::vector<std::string> outputColumns; // the column each job's output came from
    std::vector<std::string> sources{options.lines}; // the list, every input and settings file
    std::size_t index = 0;
    for (const LineRow& row : list.rows)
    {
        ++index;
        LineCells line{setup, {}, {}, options.nameTemplate};
        const std::size_t errorsBefore = errors.size();
        for (const LineCell& cell : row.cells)
        {
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
            continue;

        RenderJob job{line.input, {}, {}, {}};
        job.row = row.row;
        std::string column = "output";
        if (!line.output.empty())
            job.output = line.output;
        else if (!folder)
        {
            errors.push_back(at(row.row, "output") +
                             "no output: give the list an output or name column, or --out-dir FOLDER");
            continue;
        }
        else
        {
            column = line.nameTemplate.empty() ? "input" : "name";
            const std::string name = line.nameTemplate.empty()
                                         ? fs::path(job.input).filename().string()
                                         : expandName(line.nameTemplate, {job.input, line.setup.recipe.preset, index});
            try
            {
                job.output = folder->place(name);
            }
            catch (const UsageError& e)
            {
                errors.push_back(at(row.row, column) + e.what());
                continue;
            }
        }
        try
        {
            completeSetup(line.setup);
            sources.insert(sources.end(), line.setup.settingFiles.begin(), line.setup.settingFiles.end());
            prepareJob(line.setup, job);
        }
        catch (const UsageError& e)
        {
            errors.push_back(at(row.row, "") + e.what());
            continue;
        }
        sources.push_back(job.input);
        jobs.push_back(std::move(job));
        outputColumns.push_back(column);
    }

    // Names, across the whole list.
    const SourceFiles sourceFiles(sources);
    std::map<std::string, std::size_t> taken; // the output's file (FilePlaces::key) -> row
    std::vector<std::string> existing;        // outputs in the way, neither skipped nor replaced
    for (std::size_t i = 0; i < jobs.size(); ++i)
    {
        RenderJob& job = jobs[i];
        const std::string where = at(job.row, outputColumns[i]);
        const auto [other, fresh] = taken.emplace(places.key(job.output), job.row);
        bool exists = false;
        const std::string input = sourceFiles.sourceAt(job.output, exists);
        if (!fresh)
            errors.push_back(where + "row " + std::to_string(other->second) + " also renders to \"" + job.output + "\"");
        else if (!input.empty())
            errors.push_back(where + "the output \"" + job.output + "\" is the " +
                             (input == options.lines ? "line list" : "input") + " \"" + input +
                             "\"; a source is never written over");
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
