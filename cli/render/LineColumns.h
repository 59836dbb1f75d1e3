// The columns of a line list: one table, each column setting what its command-line option
// sets (a row starts from the command line's options, read), each cell read once. A column
// named after a property sets it as `--set NAME=VALUE`. A new render option becomes a column
// by one entry here.
#pragma once

#include "cli/render/RenderSetup.h"
#include "quarl/PluginDescription.h"

#include <functional>
#include <string>
#include <vector>

class OutputFolder;
class PresetMap;

struct LineContext
{
    std::string folder;                   // the list's: paths in it are relative to it
    const PresetMap* presets = nullptr;   // --map-preset: the preset column's values as presets
    const OutputFolder* outputs = nullptr; // --out-dir: the output column's relative paths go under it
};

// What a row's cells set: where it reads and writes, and its setup.
struct LineCells
{
    RenderSetup setup;
    std::string input;
    std::string output;       // a file: relative ones under --out-dir, else the list's folder
    std::string nameTemplate; // else a name under --out-dir
};

struct LineColumn
{
    const char* name;
    const char* help; // for --help and errors
    // Reads a cell's (non-empty) text into the row; throws UsageError saying what it takes.
    std::function<void(LineCells&, const std::string&, const LineContext&)> set;
    // Says only which file the row reads or writes, nothing of how it renders: rows whose
    // other cells are the same share one setup.
    bool placesFile = false;
};

const std::vector<LineColumn>& lineColumns();

// Applies one cell (its column's name in any case); throws UsageError for an unknown column
// or a value it does not take.
void applyLineCell(LineCells& row, const std::string& column, const std::string& value, const LineContext& context);

// Whether a column (in any case) only places the row's files (input, output, name).
bool placesFile(const std::string& column);
