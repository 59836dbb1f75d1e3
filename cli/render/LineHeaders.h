// What each of a line list's columns is: one of the tool's (cli/render/LineColumns) or a
// property's, by its own header or through --columns ("Source file=input,Look=preset"), or
// one of the list's own, which names may use ({Character}). A header is judged once, however
// many rows the list has: one near a name the tool knows ("presett") and used by no name is
// taken for a misspelling and is a problem of the header, reported once by its column with
// the nearest name; so is a --columns entry naming a header the list lacks, two columns giving
// one, and a list whose columns give no input.
#pragma once

#include "quarl/PluginDescription.h"

#include <map>
#include <string>
#include <vector>

class LineHeaders
{
public:
    // `columnMap`: --columns; `nameFields`: the fields of the names the list makes (--name).
    // Throws UsageError for a malformed map or one naming a column the tool lacks.
    LineHeaders(const std::string& columnMap, const quarl::PluginDescription& description,
                std::vector<std::string> nameFields);

    // The tool's column or property a header gives (the name applyLineCell takes), or empty
    // for one of the list's own or a misspelling. `position`: the header's column from 1 (0
    // where rows name their own columns, as JSON lines do).
    const std::string& column(const std::string& header, std::size_t position = 0);

    // Whether some column gives the tool's `name` (input, output, ...).
    bool gives(const std::string& name) const;

    // The problems of the header, each once, by column; with the --columns entries no header
    // matched and a missing input column, once every row has been read (`finished`).
    std::vector<std::string> problems(bool finished) const;

    // The list's own columns, in the order first seen.
    const std::vector<std::string>& own() const { return m_own; }

private:
    std::vector<std::pair<std::string, std::string>> m_map; // header (any case) -> tool column
    std::vector<std::string> m_known;                       // the tool's columns and the properties
    std::vector<std::string> m_nameFields;
    std::map<std::string, std::string> m_columns;           // header as given -> its column
    std::map<std::string, std::string> m_givenBy;           // tool column (lower case) -> header
    std::vector<std::string> m_problems;
    std::vector<std::string> m_own;
    std::vector<bool> m_mapUsed;
};
