// The effect's property values between Python and the tool's reading of them: a Python
// value becomes the text `crumlet render --set` would be given (so units, list entries and
// "#N" read exactly as there), values come back as native types, and the tool's messages
// reach Python as KeyError (an unknown name) or ValueError (a value out of range).
#pragma once

#include "cli/settings/ParameterSettings.h"

#include <pybind11/pybind11.h>

#include <string>

namespace crumlet_python
{
// The property's index as the tool finds it (any case, or the editor's legend); -1 when none.
int findProperty(const quarl::PluginDescription& description, const std::string& name);

// The text the tool reads for a Python value: a str as it is, True/False as on/off, an
// integer in decimal, a float in the shortest decimal that reads back as the same number.
// TypeError for anything else.
std::string valueText(const pybind11::handle& value);

// Sets one property as --set NAME=VALUE would; KeyError or ValueError with the tool's message.
void setProperty(ParameterSettings& settings, const std::string& name, const pybind11::handle& value);

// A property's value as a native type: bool for a switch, the entry's text for a list, int
// for a whole number, float otherwise. KeyError for an unknown name.
pybind11::object propertyValue(const ParameterSettings& settings, const std::string& name);

// Every property by name, in the block's order.
pybind11::dict propertyValues(const ParameterSettings& settings);

// A message of the tool's in Python's words: its options as the keywords that give them
// ("--loss takes" becomes "loss= takes", "--force" "force=True").
std::string inPythonWords(const std::string& message);

// Runs `apply`, turning the tool's UsageError into ValueError (a plan's errors a line each)
// and IoError into OSError.
template <typename Apply>
auto readingAsTheTool(Apply&& apply) -> decltype(apply());
} // namespace crumlet_python

#include "python/src/PropertyValues.inl"
