// What tells a source file's bytes from another's: its size and modification time, read in one
// stat, and a hash of its bytes (XXH3, 128 bits) for when those differ but the bytes may not.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct FileStamp
{
    std::uint64_t bytes = 0;
    std::int64_t modifiedNs = 0; // nanoseconds since 1970 (UTC)
};

// The stamp of a regular file; unset for anything else (a pipe, a missing file).
std::optional<FileStamp> fileStamp(const std::string& path);

// The file's bytes hashed (XXH3, 128 bits) as 32 hexadecimal digits. Throws IoError with the
// system's reason.
std::string contentHash(const std::string& path);
