// Output names made from a template, for batches and line lists: `--name
// "{stem}_radio.{ext}"` or `--name "{preset}/{stem}.wav"`. Fields: {stem} (the input's name
// without its extension), {ext} (its extension, without the dot), {preset} (the preset's
// name as a file-name slug: "Police radio" is police_radio), {index} (the file's place in
// the batch from 1; {index:3} pads it to three digits), {parent} (the name of the folder the
// input is in); "{{" and "}}" are braces. A line list's names take its columns too, by their
// header in any case: {Character} is the row's cell slugged as a preset is, {Line:3} a whole
// number padded to three digits. What a template makes from an input's name is checked where
// it is placed (cli/render/OutputFolder).
#pragma once

#include "cli/settings/UsageError.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

struct NameFields
{
    std::string input; // the input's path
    std::string preset;
    std::size_t index = 1;
    // A line list's row: the cell under a column named in any case, or null when it is empty.
    std::function<const std::string*(const std::string& column)> column{};
};

// A cell a name cannot be made from (empty, not a number to pad, nothing to slug).
struct NameCellError : UsageError
{
    NameCellError(std::string inColumn, const std::string& what) : UsageError(what), column(std::move(inColumn)) {}
    std::string column;
};

// Throws UsageError naming what is wrong with a template: an unknown field (unless
// `columns`: a line list's names take its columns), an unclosed brace, an absolute path or
// "..", no extension, a NUL.
void checkNameTemplate(const std::string& nameTemplate, bool columns = false);

// The fields of a template that name columns (every field but the ones above), in order.
std::vector<std::string> nameColumns(const std::string& nameTemplate);

// The name (a relative path) the template makes for a file; throws NameCellError for a column
// whose cell makes no name.
std::string expandName(const std::string& nameTemplate, const NameFields& fields);

// "Police radio" -> "police_radio"; a preset file's path -> its name's slug; none -> "default".
std::string presetSlug(const std::string& preset);

// A text as a file-name slug: letters and digits in lower case, "_" for what lies between;
// empty when it holds no letter or digit.
std::string nameSlug(const std::string& name);
