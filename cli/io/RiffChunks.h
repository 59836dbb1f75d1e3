// A RIFF file's chunks as its bytes hold them, each with the size its header claims: for the
// checks, tests and fuzzing seeds that build WAV files a reader must take apart safely (a
// chunk whose size lies, a chunk rewritten); and one chunk's bytes, as the float WAV writer
// adds the recipe's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RiffChunk
{
    std::string id;        // four bytes
    std::string data;      // what the file holds of it
    std::uint32_t claimed; // the size its header gives
};

// The chunks after a RIFF header's twelve bytes; a chunk cut short by the file's end keeps
// what the bytes hold.
std::vector<RiffChunk> riffChunks(const std::string& bytes);

// Every chunk `id` given `data`, its size claiming it.
void replaceChunk(std::vector<RiffChunk>& chunks, const std::string& id, const std::string& data);

// Every chunk `id` moved to the end (after the samples), claiming `claimed` bytes.
void moveChunkLast(std::vector<RiffChunk>& chunks, const std::string& id, std::uint32_t claimed);

// One chunk as a RIFF file holds it: its id, its size and its data, padded to an even length.
std::string chunkBytes(const std::string& id, const std::string& data);

// A RIFF WAVE file of the chunks in order, each header claiming its `claimed` size, each
// chunk's data as given and padded to an even length; the RIFF size the bytes that follow it.
std::string riffBytes(const std::vector<RiffChunk>& chunks);
