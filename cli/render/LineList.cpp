#include "cli/render/LineList.h"

#include "cli/io/CsvRecords.h"
#include "cli/io/QuotedText.h"
#include "cli/io/SpreadsheetText.h"
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

void readCsv(const std::string& text, LineListHead head, const std::function<void(const LineRow&)>& each,
             const std::function<void(const LineListHead&)>& headed)
{
    const char separator = csvSeparator(text);
    head.decimalComma = separator != ',';
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
            head.columns = header;
            if (headed)
                headed(head);
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

void readJsonLines(const std::string& text, const LineListHead& head, const std::function<void(const LineRow&)>& each,
                   const std::function<void(const LineListHead&)>& headed)
{
    if (headed)
        headed(head);
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

void readLineList(const std::string& path, const std::function<void(const LineRow&)>& row,
                  const std::function<void(const LineListHead&)>& head)
{
    std::string text;
    {
        const SettingsFileBytes read = readSettingsFile(path, kMostLineListBytes, "a line list");
        if (read.longer)
            throw UsageError("\"" + path + "\" is larger than a line list may be (64 MB)");
        text.assign(read.bytes.begin(), read.bytes.end());
    }
    SpreadsheetText decoded = spreadsheetText(std::move(text));
    text = std::move(decoded.text);
    LineListHead listHead;
    listHead.fromWindows1252 = decoded.fromWindows1252;
    const std::string ext = lower(fs::path(path).extension().string());
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    const bool json = ext == ".jsonl" || ext == ".ndjson" || ext == ".json" ||
                      (ext != ".csv" && first != std::string::npos && text[first] == '{');
    std::size_t rows = 0;
    const auto counted = [&](const LineRow& line) {
        ++rows;
        row(line);
    };
    json ? readJsonLines(text, listHead, counted, head) : readCsv(text, listHead, counted, head);
    if (rows == 0)
        throw UsageError("\"" + path + "\" lists no lines");
}
