// The columns of a line list: one table, each column setting the render's options as its
// command-line option does (a row starts from the command line's options). A column named
// after a property sets it as `--set NAME=VALUE`. A new render option becomes a column by
// one entry here.
#pragma once

#include "cli/commands/RenderCommand.h"
#include "quarl/PluginDescription.h"

#include <functional>
#include <string>
#include <vector>

struct LineContext
{
    std::string folder; // the list's: paths in it are relative to it
    const quarl::PluginDescription* description = nullptr;
};

struct LineColumn
{
    const char* name;
    const char* help; // for --help and errors
    // Sets the options from a cell's (non-empty) text; throws UsageError saying what it takes.
    std::function<void(RenderOptions&, const std::string&, const LineContext&)> set;
};

const std::vector<LineColumn>& lineColumns();

// Applies one cell (its column's name in any case); throws UsageError for an unknown column
// or a value it does not take.
void applyLineCell(RenderOptions& options, const std::string& column, const std::string& value,
                   const LineContext& context);
