// The text of a file a spreadsheet saved, as UTF-8: a byte-order mark is dropped, and a file
// that is not valid UTF-8 (a Windows spreadsheet's "CSV" is Windows-1252) is converted from
// Windows-1252, so that no byte of another encoding reaches a file name or a message.
#pragma once

#include <string>

struct SpreadsheetText
{
    std::string text;             // UTF-8
    bool fromWindows1252 = false; // read as Windows-1252 and converted
};

SpreadsheetText spreadsheetText(std::string bytes);

// Whether `text` is valid UTF-8.
bool isUtf8(const std::string& text);
