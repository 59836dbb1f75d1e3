// What an output says about how it was made. A WAV file (integer or float) carries a
// Broadcast Wave `bext` chunk (EBU Tech 3285: a description, the originator, the date, and a
// coding history of free length) and a chunk of the tool's own, "crml", holding the full
// settings as JSON; AIFF and CAF files carry the "crml" chunk; FLAC and Ogg files carry the
// same JSON as their Vorbis comment. libsndfile writes neither chunks nor texts into W64 or
// headerless files: those carry nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
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
    std::string settingsUnread;      // why the file's "crml" chunk is left unread, else empty
    // The origination date and time written, in seconds since 1970 (UTC); unset: the clock's.
    std::optional<std::int64_t> stampSeconds;

    bool empty() const { return description.empty() && codingHistory.empty() && settingsJson.empty(); }
};

// The id of the tool's own chunk.
constexpr const char* kSettingsChunkId = "crml";

// The most a settings chunk holds, written or read: a recipe takes about 3 KB. libsndfile
// writes a header of at most about 50 KB and, past that, a chunk's size without its bytes; this
// beside the longest coding history it keeps stays well inside.
constexpr std::size_t kMostSettingsChunkBytes = 32 * 1024;

// Why `metadata` cannot be written: a settings chunk (settingsChunkBytes) larger than
// kMostSettingsChunkBytes; empty when it can.
std::string metadataUnwritable(const OutputMetadata& metadata);

// True when a file of libsndfile's `format` carries the metadata (see above).
bool carriesMetadata(int format);

// Sets what the file's container carries (see above) on a file libsndfile writes, before its
// first sample; returns the reason when the metadata is unwritable or libsndfile refuses,
// empty otherwise. `settingsChunk` must outlive the file (libsndfile holds on to it), see
// settingsChunkBytes.
std::string writeMetadata(SndfileHandle& file, const OutputMetadata& metadata, const std::string& settingsChunk);

// The bext and "crml" chunks whole, as a WAV file the tool writes itself holds them
// (cli/io/FloatWavWriter).
std::string metadataChunks(const OutputMetadata& metadata);

// The "crml" chunk's data: the JSON padded with spaces to a multiple of four bytes.
std::string settingsChunkBytes(const OutputMetadata& metadata);

// Reads them back through libsndfile, from the header alone (no audio is read); empty fields
// where a file has none. A settings chunk that claims more than kMostSettingsChunkBytes, or
// more than the whole file, is left unread (settingsUnread says so): what is read is bounded
// whatever a chunk claims. Throws IoError when the file cannot be read.
OutputMetadata readMetadata(const std::string& path);

// The settings alone, for reading many files quickly: a WAV file's "crml" chunk is taken from
// one read of its first 64 KiB when it lies there, before the samples (where the tool writes
// it), within its bound; anything else is read as readMetadata reads it.
OutputMetadata readSettings(const std::string& path);
