// Reading the small files settings come from (parameter blocks, presets): regular files and
// pipes (`--bank <(...)`), never more than the caller's limit, so that a device or an
// endless stream cannot exhaust memory; a folder or a device is bad usage.
#pragma once

#include <cstddef>
#include <string>

struct SettingsFileBytes
{
    std::string bytes;  // at most the limit
    bool longer = false; // the file holds more than the limit
};

// Reads up to `mostBytes` of `path` (and one byte more, to tell a longer file). Throws
// UsageError for a folder or a device, naming `kind` ("a parameter block file"), and IoError
// with the system's reason when the file cannot be read.
SettingsFileBytes readSettingsFile(const std::string& path, std::size_t mostBytes, const std::string& kind);
