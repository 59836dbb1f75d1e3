// A spreadsheet's CSV export, record by record (RFC 4180): fields separated by commas, or by
// semicolons or tabs where a spreadsheet writes those (a decimal comma's locale); quoted
// fields may hold separators, quotes ("") and line breaks; lines end in LF, CRLF or a CR alone.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// The separator the first line uses: a comma, else a semicolon, else a tab, else a comma.
char csvSeparator(const std::string& text);

// Hands each record on with the line it starts on (from 1); fields outside quotes are
// trimmed of spaces; blank lines are skipped. Throws UsageError for a quoted field left open.
void csvRecords(const std::string& text, char separator,
                const std::function<void(std::size_t line, const std::vector<std::string>& fields)>& record);
