// Numbers as people type them, in a spreadsheet's cell and on the command line: the one
// reading of a number that every value (a property's, a loudness, a rate, an amount to vary)
// goes through.
// - a minus sign as '-', U+2212 (−) or an en dash (–), which word processors and
//   spreadsheets put in its place;
// - spaces before a unit, or none ("-23 LUFS", "-23LUFS"), no-break and thin spaces too;
// - a decimal comma only where commas separate nothing else: decimalPointed, for lists
//   separated by semicolons or tabs.
#pragma once

#include <string>

// Reads the number that `text` starts with (after spaces) into `value`, and what follows it,
// spaces trimmed, into `rest`; false when the text starts with no number or it is not finite.
bool readTypedNumber(const std::string& text, double& value, std::string& rest);

// "-23,5" as "-23.5", "2,5 dB" as "2.5 dB": a number with one comma between digits and at
// most a unit after it. Any other text is answered as it is.
std::string decimalPointed(const std::string& text);

// What a refusal adds for the characters in `text` that look like ones a number takes and
// are not ("; '—' (U+2014) is not a minus sign: type - or −"), and for a decimal comma;
// empty when there are none.
std::string numberLookalikes(const std::string& text);
