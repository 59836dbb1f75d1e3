#include "cli/io/CsvRecords.h"

#include "cli/settings/UsageError.h"

#include <algorithm>

namespace
{
std::string trimmed(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t\r");
    return first == std::string::npos ? std::string() : s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}
} // namespace

void csvRecords(const std::string& text, char separator,
                const std::function<void(std::size_t line, const std::vector<std::string>& fields)>& record)
{
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false, fieldQuoted = false, any = false;
    std::size_t line = 1, start = 1;
    auto endField = [&] {
        fields.push_back(fieldQuoted ? field : trimmed(field));
        field.clear();
        fieldQuoted = false;
    };
    auto endRecord = [&] {
        endField();
        const bool blank = std::all_of(fields.begin(), fields.end(), [](const std::string& f) { return f.empty(); });
        if (!blank || fields.size() > 1)
            record(start, fields);
        fields.clear();
        any = false;
    };
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const char c = text[i];
        // A line ends in LF, CRLF or a CR alone (old spreadsheets).
        const bool lineEnd = c == '\n' || (c == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'));
        if (quoted)
        {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field.push_back('"'), ++i;
            else if (c == '"')
                quoted = false;
            else
            {
                line += lineEnd ? 1 : 0;
                field.push_back(c);
            }
            continue;
        }
        if (!any)
            start = line;
        any = true;
        if (c == '"' && trimmed(field).empty())
        {
            quoted = fieldQuoted = true;
            field.clear();
        }
        else if (c == separator)
            endField();
        else if (lineEnd)
        {
            endRecord();
            ++line;
        }
        else if (c != '\r')
            field.push_back(c);
    }
    if (quoted)
        throw UsageError("row " + std::to_string(start) + ": a quoted field is not closed");
    if (any)
        endRecord();
}


char csvSeparator(const std::string& text)
{
    const std::string firstLine = text.substr(0, text.find_first_of("\r\n"));
    if (firstLine.find(',') != std::string::npos)
        return ',';
    return firstLine.find(';') != std::string::npos ? ';' : firstLine.find('\t') != std::string::npos ? '\t' : ',';
}
