// Builds the property values from --bank, --preset and --set, in that order.
#pragma once

#include "cli/settings/ParameterSettings.h"
#include "space/SpaceSettings.h"
#include "transmission/TransmissionSettings.h"

#include <string>
#include <vector>

// The preset's transmission goes to `transmission` and its space to `space` when given.
ParameterSettings settingsFrom(const quarl::PluginDescription& description, const std::string& bankFile,
                               const std::string& preset, const std::vector<std::string>& assignments,
                               transmission::TransmissionSettings* transmission = nullptr,
                               space::SpaceSettings* space = nullptr);

// Reads a parameter block file, never more than `size` + 1 bytes; throws UsageError unless it
// holds exactly `size` bytes, and for a folder or a device.
std::vector<std::uint8_t> readBankFile(const std::string& path, std::size_t size);
