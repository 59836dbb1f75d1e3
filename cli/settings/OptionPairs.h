// An option's NAME=VALUE entries separated by commas ("Source file=input,Look=preset"): each
// side trimmed of spaces, empty entries passed over; the last "=" of an entry divides it.
#pragma once

#include <string>
#include <utility>
#include <vector>

// Throws UsageError, naming `option` and an `example`, for an entry without a name or a value.
std::vector<std::pair<std::string, std::string>> optionPairs(const std::string& text, const std::string& option,
                                                             const std::string& example);
