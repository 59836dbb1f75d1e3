// What an output says about how it was made, in a WAV file libsndfile writes (16 or 24 bits): a Broadcast Wave `bext` chunk
// (EBU Tech 3285: a description, the originator, the date, and a coding history of free
// length) and a chunk of the tool's own, "crml", holding the full settings as JSON.
#pragma once

#include <cstdint>
#include <string>

#include <sndfile.hh>

struct OutputMetadata
{
    std::string description;         // at most 256 bytes are kept
    std::string originator;          // at most 32
    std::string originatorReference; // at most 32
    std::string originationDate;     // "yyyy-mm-dd", as read back
    std::string originationTime;     // "hh:mm:ss", as read back
    std::string codingHistory;       // lines ending in CR LF
    std::string settingsJson;        // the "crml" chunk

    bool empty() const { return description.empty() && codingHistory.empty() && settingsJson.empty(); }
};

// The id of the tool's own chunk.
constexpr const char* kSettingsChunkId = "crml";

// Sets the chunks on a file libsndfile writes, before its first sample; returns the reason
// when libsndfile refuses, empty otherwise. `settingsChunk` must outlive the file (libsndfile
// holds on to it), see settingsChunkBytes.
std::string writeMetadata(SndfileHandle& file, const OutputMetadata& metadata, const std::string& settingsChunk);

// The "crml" chunk's data: the JSON padded with spaces to a multiple of four bytes.
std::string settingsChunkBytes(const OutputMetadata& metadata);

// Reads both back through libsndfile; empty fields where a file has none. Throws IoError
// when the file cannot be read.
OutputMetadata readMetadata(const std::string& path);
