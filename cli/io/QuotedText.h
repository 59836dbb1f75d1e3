// Text from outside the tool (file names, property names and values as given) as messages
// show it: control characters escaped, so that a name cannot split a line or reach the
// terminal as a command, and values cut to a length a message can carry.
#pragma once

#include <cstddef>
#include <string>

// How much of a property name or value a message quotes.
constexpr std::size_t kQuotedExcerptBytes = 64;

// `text` with every control character escaped (\n, \t, \r, \x1b, and the C1 controls as
// \u009b), and every byte that is not part of valid UTF-8 as \xNN.
std::string printable(const std::string& text);

// `text`, printable, in double quotes; cut after `mostBytes` (at a character's boundary) with
// an ellipsis and the whole length when it is longer: "aaaa..." (10000000 bytes).
std::string quoted(const std::string& text, std::size_t mostBytes = std::string::npos);
