#include "cli/render/LineList.h"

#include "cli/io/QuotedText.h"
#include "cli/settings/SettingsFileReader.h"
#include "cli/settings/UsageError.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace
{
// A line list holds at most this many bytes (200 lines take about 20 KB).
constexpr std::size_t kMostLineListBytes = 64 * 1024 * 1024;

std::string trimmed(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t\r");
    return first == std::string::npos ? std::string() : s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

using Record = std::function<void(std::size_t line, const std::vector<std::string>& fields)>;

// RFC 4180 records: quoted fields may hold separators, quotes ("") and line breaks. Each
// record is handed on with the line it starts on.
void csvRecords(const std::string& text, char separator, const Record& record)
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

void readCsv(const std::string& text, const std::function<void(const LineRow&)>& each)
{
    const std::string firstLine = text.substr(0, text.find_first_of("\r\n"));
    char separator = ',';
    if (firstLine.find(',') == std::string::npos)
        separator = firstLine.find(';') != std::string::npos ? ';' : firstLine.find('\t') != std::string::npos ? '\t' : ',';
    std::vector<std::string> header;
    LineRow line;
    csvRecords(text, separator, [&](std::size_t row, const std::vector<std::string>& fields) {
        if (header.empty())
        {
            header = fields;
            std::set<std::string> seen;
            for (std::size_t c = 0; c < header.size(); ++c)
            {
                const std::string at = "row " + std::to_string(row) + ", column ";
                if (header[c].empty())
                    throw UsageError(at + std::to_string(c + 1) + ": the header names no column");
                if (header[c].size() > kMostLineCellBytes)
                    throw UsageError(at + std::to_string(c + 1) + ": " + std::to_string(header[c].size()) +
                                     " bytes; a cell holds at most " + std::to_string(kMostLineCellBytes));
                if (!seen.insert(lower(header[c])).second)
                    throw UsageError(at + quoted(header[c], kQuotedExcerptBytes) + ": named twice");
            }
            return;
        }
        if (fields.size() > header.size())
            throw UsageError("row " + std::to_string(row) + ", column " + std::to_string(header.size() + 1) + ": " +
                             std::to_string(fields.size()) + " cells under a header of " +
                             std::to_string(header.size()) + " columns");
        line.row = row;
        line.cells.clear();
        for (std::size_t c = 0; c < fields.size(); ++c)
            if (!fields[c].empty())
                line.cells.push_back({header[c], fields[c]});
        each(line);
    });
    if (header.empty())
        throw UsageError("row 1: no header row (the columns' names, such as input,output,preset)");
}

void readJsonLines(const std::string& text, const std::function<void(const LineRow&)>& each)
{
    std::size_t row = 0;
    for (std::size_t at = 0; at < text.size();)
    {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        const std::string line = trimmed(text.substr(at, end - at));
        at = end + 1;
        ++row;
        if (line.empty())
            continue;
        nlohmann::json object;
        try
        {
            object = nlohmann::json::parse(line);
        }
        catch (const nlohmann::json::parse_error& e)
        {
            throw UsageError("row " + std::to_string(row) + ": not JSON (" + quoted(e.what(), 2 * kQuotedExcerptBytes) + ")");
        }
        if (!object.is_object())
            throw UsageError("row " + std::to_string(row) + ": a JSON object per line, such as {\"input\": \"a.wav\"}");
        LineRow cells{row, {}};
        for (const auto& [key, value] : object.items())
        {
            if (value.is_null())
                continue;
            if (value.is_array() || value.is_object())
                throw UsageError("row " + std::to_string(row) + ", column " + quoted(key, kQuotedExcerptBytes) + ": a text or a number, not " +
                                 std::string(value.type_name()));
            const std::string text = value.is_string() ? value.get<std::string>() : value.dump();
            if (!text.empty())
                cells.cells.push_back({key, text});
        }
        each(cells);
    }
}
} // namespace

void readLineList(const std::string& path, const std::function<void(const LineRow&)>& row)
{
    std::string text;
    {
        const SettingsFileBytes read = readSettingsFile(path, kMostLineListBytes, "a line list");
        if (read.longer)
            throw UsageError("\"" + path + "\" is larger than a line list may be (64 MB)");
        text.assign(read.bytes.begin(), read.bytes.end());
    }
    if (text.rfind("\xef\xbb\xbf", 0) == 0)
        text.erase(0, 3); // a spreadsheet's byte-order mark
    const std::string ext = lower(fs::path(path).extension().string());
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    const bool json = ext == ".jsonl" || ext == ".ndjson" || ext == ".json" ||
                      (ext != ".csv" && first != std::string::npos && text[first] == '{');
    std::size_t rows = 0;
    const auto counted = [&](const LineRow& line) {
        ++rows;
        row(line);
    };
    json ? readJsonLines(text, counted) : readCsv(text, counted);
    if (rows == 0)
        throw UsageError("\"" + path + "\" lists no lines");
}
