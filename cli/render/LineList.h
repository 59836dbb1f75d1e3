// A line list: one render per row, from a spreadsheet export (CSV with a header row; a
// header of semicolons or tabs is read with those) or JSON lines (an object per line).
// Rows are numbered as the spreadsheet numbers them (the header is row 1) and as the lines
// of a JSON-lines file are; every error names its row and column.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// A cell holds at most this many bytes (a path's longest): a longer one is refused by its
// size before it is read.
constexpr std::size_t kMostLineCellBytes = 4096;

struct LineCell
{
    std::string column; // as the header names it
    std::string value;  // empty cells are left out
};

struct LineRow
{
    std::size_t row = 0;
    std::vector<LineCell> cells;
};

// What a list says before its rows.
struct LineListHead
{
    std::vector<std::string> columns; // a CSV's header; none for JSON lines, whose rows name their own
    bool decimalComma = false;        // separated by semicolons or tabs: "-23,5" may be a number
    bool fromWindows1252 = false;     // not UTF-8: read as Windows-1252 (cli/io/SpreadsheetText)
};

// Reads the list at `path`, handing its head to `head` and then each row to `row` as it is
// read: a list of a million rows is never held whole. Throws UsageError ("row R, column C:
// ...") for a malformed list (rows before it have been handed on), IoError when it cannot be
// read.
void readLineList(const std::string& path, const std::function<void(const LineRow&)>& row,
                  const std::function<void(const LineListHead&)>& head = {});
