// The files outside the module that list the forty parameters, written from the parameter
// table so that they cannot drift from it: the host's description of the plugin
// (resources/OrvexCrumlet.json) and the Python stubs' property attributes
// (python/crumlet/__init__.pyi).
#pragma once

#include <string>

// The description the host reads beside the module: the plugin's identity and every property
// (name, identifier, type, range, default, unit, value texts) in host order.
std::string pluginDescription();

// The stubs `stubs` with the lines between the two marker lines (kStubsBegin, kStubsEnd)
// replaced by one attribute per parameter, in host order, typed as the attribute reads back.
// Throws std::runtime_error when a marker is missing.
std::string withPropertyAttributes(const std::string& stubs);

extern const char* const kStubsBegin;
extern const char* const kStubsEnd;
