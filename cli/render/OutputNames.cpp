#include "cli/render/OutputNames.h"

#include "cli/io/QuotedText.h"
#include "cli/settings/Presets.h"
#include "cli/settings/UsageError.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;

namespace
{
const char* const kFields = "{stem}, {ext}, {preset}, {index} (or {index:N}, N digits) and {parent}";

bool builtIn(const std::string& field)
{
    return field == "stem" || field == "ext" || field == "preset" || field == "index" || field == "parent";
}

// Walks the template, handing each literal text and each field (name, width) to `take`.
template <typename Take>
void walk(const std::string& t, Take&& take)
{
    for (std::size_t i = 0; i < t.size();)
    {
        if (t.compare(i, 2, "{{") == 0 || t.compare(i, 2, "}}") == 0)
        {
            take(std::string(1, t[i]), std::string(), 0);
            i += 2;
            continue;
        }
        if (t[i] == '}')
            throw UsageError("--name " + quoted(t, kQuotedExcerptBytes) + ": a \"}\" without its \"{\" (\"}}\" is a brace)");
        if (t[i] != '{')
        {
            take(std::string(1, t[i]), std::string(), 0);
            ++i;
            continue;
        }
        const auto close = t.find('}', i);
        if (close == std::string::npos)
            throw UsageError("--name " + quoted(t, kQuotedExcerptBytes) + ": a \"{\" without its \"}\"");
        std::string field = t.substr(i + 1, close - i - 1);
        int width = 0;
        if (const auto colon = field.rfind(':'); colon != std::string::npos)
        {
            const std::string digits = field.substr(colon + 1);
            if (digits.empty() || digits.size() > 2 || digits.find_first_not_of("0123456789") != std::string::npos)
                throw UsageError("--name: {index:N} (or a column's {NAME:N}) pads to N digits (1 to 99), not " +
                                 quoted("{" + field + "}", kQuotedExcerptBytes));
            width = std::stoi(digits);
            field.erase(colon);
        }
        if (field.empty())
            throw UsageError("--name " + quoted(t, kQuotedExcerptBytes) + ": \"{}\" names no field (\"{{\" is a brace)");
        take(std::string(), field, width);
        i = close + 1;
    }
}

// A column's cell in a name: slugged, a whole number padded to `width` digits.
std::string columnText(const NameFields& fields, const std::string& column, int width)
{
    const std::string* value = fields.column ? fields.column(column) : nullptr;
    if (value == nullptr)
        throw NameCellError(column, "the name's {" + column + "} takes this cell, which is empty");
    if (width > 0)
    {
        if (value->empty() || value->find_first_not_of("0123456789") != std::string::npos)
            throw NameCellError(column, "{" + column + ":" + std::to_string(width) + "} pads a whole number, not " +
                                            quoted(*value, kQuotedExcerptBytes));
        std::string padded = *value;
        if (static_cast<int>(padded.size()) < width)
            padded.insert(0, static_cast<std::size_t>(width) - padded.size(), '0');
        return padded;
    }
    const std::string slug = nameSlug(*value);
    if (slug.empty())
        throw NameCellError(column, quoted(*value, kQuotedExcerptBytes) +
                                        " has no letter or digit to name a file by (the name's {" + column + "})");
    return slug;
}

// The name of the folder `input` is in: its path's last folder, or where a path says "a.wav",
// "./a.wav" or "sub/../a.wav", the name of the folder that is.
std::string parentName(const fs::path& input)
{
    const fs::path named = input.parent_path().filename();
    if (!named.empty() && named != "." && named != "..")
        return named.string();
    std::error_code ec;
    const fs::path folder = fs::absolute(input, ec).parent_path();
    const fs::path resolved = fs::weakly_canonical(folder, ec);
    return (ec ? folder.lexically_normal() : resolved).filename().string();
}
} // namespace

void checkNameTemplate(const std::string& nameTemplate, bool columns)
{
    if (nameTemplate.empty())
        throw UsageError("--name takes a template such as \"{stem}_radio.{ext}\"; the fields are " +
                         std::string(kFields));
    if (nameTemplate.find('\0') != std::string::npos)
        throw UsageError("--name " + quoted(nameTemplate, kQuotedExcerptBytes) + " holds a NUL byte");
    std::string shape; // the template with each field as "x"
    walk(nameTemplate, [&](const std::string& text, const std::string& field, int width) {
        if (!field.empty() && !builtIn(field) && !columns)
            throw UsageError("--name: no field " + quoted("{" + field + "}", kQuotedExcerptBytes) + "; the fields are " +
                             kFields);
        if (width > 0 && builtIn(field) && field != "index")
            throw UsageError("--name: {" + field + "} is not padded; {index:N} and a column's {NAME:N} are");
        shape += field.empty() ? text : "x";
    });
    const fs::path path(shape);
    if (path.is_absolute())
        throw UsageError("--name makes names under the output folder, not absolute paths: " + quoted(nameTemplate, kQuotedExcerptBytes));
    for (const auto& part : path)
        if (part == "..")
            throw UsageError("--name makes names under the output folder, without \"..\": " +
                             quoted(nameTemplate, kQuotedExcerptBytes));
    if (nameTemplate.find("{ext}") == std::string::npos && !path.has_extension())
        throw UsageError("--name " + quoted(nameTemplate, kQuotedExcerptBytes) +
                         " makes names without an extension, which the output's format is told by: end it in "
                         "\".wav\" or \".{ext}\"");
}

std::string expandName(const std::string& nameTemplate, const NameFields& fields)
{
    const fs::path input(fields.input);
    std::string name;
    walk(nameTemplate, [&](const std::string& text, const std::string& field, int width) {
        if (field.empty())
            name += text;
        else if (field == "stem")
            name += input.stem().string();
        else if (field == "ext")
            name += input.has_extension() ? input.extension().string().substr(1) : "wav";
        else if (field == "preset")
            name += presetSlug(fields.preset);
        else if (field == "parent")
            name += parentName(input);
        else if (field != "index")
            name += columnText(fields, field, width);
        else
        {
            std::string index = std::to_string(fields.index);
            if (static_cast<int>(index.size()) < width)
                index.insert(0, static_cast<std::size_t>(width) - index.size(), '0');
            name += index;
        }
    });
    return name;
}

std::vector<std::string> nameColumns(const std::string& nameTemplate)
{
    std::vector<std::string> columns;
    walk(nameTemplate, [&](const std::string&, const std::string& field, int) {
        if (!field.empty() && !builtIn(field) && std::find(columns.begin(), columns.end(), field) == columns.end())
            columns.push_back(field);
    });
    return columns;
}

std::string presetSlug(const std::string& preset)
{
    std::string name = preset;
    if (!preset.empty() && findFactoryPreset(preset) == nullptr)
        name = fs::path(preset).stem().string();
    const std::string slug = nameSlug(name);
    return slug.empty() ? "default" : slug;
}

std::string nameSlug(const std::string& name)
{
    std::string slug;
    for (unsigned char c : name)
    {
        if (std::isalnum(c))
            slug.push_back(static_cast<char>(std::tolower(c)));
        else if (!slug.empty() && slug.back() != '_')
            slug.push_back('_');
    }
    while (!slug.empty() && slug.back() == '_')
        slug.pop_back();
    return slug;
}
