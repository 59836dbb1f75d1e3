// Output names made from a template, for batches and line lists: `--name
// "{stem}_radio.{ext}"` or `--name "{preset}/{stem}.wav"`. Fields: {stem} (the input's name
// without its extension), {ext} (its extension, without the dot), {preset} (the preset's
// name as a file-name slug: "Police radio" is police_radio), {index} (the file's place in
// the batch from 1; {index:3} pads it to three digits), {parent} (the name of the folder the
// input is in); "{{" and "}}" are braces. What a template makes from an input's name is
// checked where it is placed (cli/render/OutputFolder).
#pragma once

#include <cstddef>
#include <string>

struct NameFields
{
    std::string input; // the input's path
    std::string preset;
    std::size_t index = 1;
};

// Throws UsageError naming what is wrong with a template: an unknown field, an unclosed
// brace, an absolute path or "..", no extension, a NUL.
void checkNameTemplate(const std::string& nameTemplate);

// The name (a relative path) the template makes for a file.
std::string expandName(const std::string& nameTemplate, const NameFields& fields);

// "Police radio" -> "police_radio"; a preset file's path -> its name's slug; none -> "default".
std::string presetSlug(const std::string& preset);
