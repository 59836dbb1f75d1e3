#include "python/src/RenderFiles.h"

#include "cli/commands/RenderCommand.h"
#include "cli/render/EffectHost.h"
#include "cli/render/RenderReport.h"
#include "python/src/InterruptibleBatch.h"
#include "python/src/PathText.h"
#include "python/src/PropertyValues.h"
#include "python/src/RenderKeywords.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace py = pybind11;

namespace crumlet_python
{
namespace
{
std::vector<std::string> pathList(const py::handle& paths)
{
    if (paths.is_none())
        return {};
    if (py::isinstance<py::str>(paths) || py::isinstance<py::bytes>(paths) || py::hasattr(paths, "__fspath__"))
        return {pathText(paths, "inputs")};
    std::vector<std::string> list;
    for (const py::handle path : paths)
        list.push_back(pathText(path, "inputs"));
    return list;
}

// The entries of Effect.settings beyond the properties.
bool isRunSetting(const std::string& key)
{
    return key == "codec" || key == "loss" || key == "radio" || key == "space" || key == "seed";
}

std::string keywordNames()
{
    std::string names = "preset, settings, bank";
    for (const auto& row : renderKeywordTable())
        names += std::string(", ") + row.keyword;
    return names;
}
} // namespace

py::list renderFiles(const py::handle& inputs, const py::handle& outDir, const py::object& preset,
                     const py::object& settings, const py::object& bank, const py::kwargs& options)
{
    RenderOptions render;
    render.inputs = pathList(inputs);
    const bool lines = options.contains("lines") && !options["lines"].is_none();
    if (render.inputs.empty() && !lines)
        throw py::value_error("render_files renders the files given (inputs is empty) or a line list (lines=)");
    if (!outDir.is_none())
        render.outputDir = pathText(outDir, "out_dir");
    else if (!lines)
        throw py::value_error("render_files writes into out_dir (a folder), or where a line list's output column says "
                              "(lines=)");
    render.quiet = true;
    if (!preset.is_none())
        render.preset = pathText(preset, "preset");
    if (!bank.is_none())
        render.bankFile = pathText(bank, "bank");
    auto applyKeyword = [&render](const std::string& keyword, const py::handle& value) {
        const auto& table = renderKeywordTable();
        const auto row = std::find_if(table.begin(), table.end(),
                                      [&](const RenderKeyword& r) { return keyword == r.keyword; });
        if (row == table.end())
            throw py::type_error("render_files() got an unexpected keyword argument '" + keyword +
                                 "' (it takes " + keywordNames() + ")");
        if (!value.is_none())
            row->apply(render, value);
    };
    if (!settings.is_none())
    {
        // The properties checked as Effect checks them (KeyError, ValueError), then handed to
        // the tool as its --set assignments; the transmission and the seed (as Effect.settings
        // holds them) as their keywords, unless the call gives its own.
        ParameterSettings probe(EffectHost::instance().description());
        for (const auto& [name, value] : settings.cast<py::dict>())
        {
            const std::string key = py::str(name).cast<std::string>();
            if (isRunSetting(key))
            {
                if (!options.contains(key.c_str()))
                    applyKeyword(key, value);
                continue;
            }
            setProperty(probe, key, value);
            render.assignments.push_back(key + "=" + valueText(value));
        }
    }
    for (const auto& [name, value] : options)
        applyKeyword(py::str(name).cast<std::string>(), value);

    std::vector<nlohmann::ordered_json> outcomes;
    std::optional<py::error_already_set> interrupted = readingAsTheTool([&] {
        return runInterruptibly([&] {
            RenderReport report([&](const nlohmann::ordered_json& object) {
                if (!object.contains("summary"))
                    outcomes.push_back(object);
            });
            renderWith(render, report);
        });
    });
    const py::object loads = py::module_::import("json").attr("loads");
    py::list files;
    for (const auto& outcome : outcomes)
        files.append(loads(outcome.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)));
    if (interrupted)
    {
        // The files finished before it, and those it stopped, go with the KeyboardInterrupt.
        py::setattr(interrupted->value(), "results", files);
        throw std::move(*interrupted);
    }
    return files;
}

py::dict renderKeywords()
{
    py::dict keywords;
    for (const auto& row : renderKeywordTable())
        keywords[row.keyword] = row.option;
    return keywords;
}
} // namespace crumlet_python
