// The data of a file whose samples are little-endian 16- or 24-bit integers (WAV, RF64, W64),
// packed here from 32-bit integers and handed to libsndfile as they are stored, in pieces of
// about 64 KiB: no conversion on libsndfile's side and a few large writes rather than one
// small one per buffer. The bytes are those libsndfile writes from the same integers.
#pragma once

#include <sndfile.h>

#include <cstddef>
#include <cstdint>
#include <vector>

class PackedPcmOutput
{
public:
    // `bytesPerSample` as littleEndianPcmBytes (cli/io/LittleEndianPcm.h) tells it.
    PackedPcmOutput(SNDFILE* file, int bytesPerSample);

    // Samples whose bits below the file's depth are zero, whole frames. Writes once enough is
    // packed; false on a write error (libsndfile's error then says why).
    bool add(const std::int32_t* samples, std::size_t count);

    // Writes what is packed; false on a write error.
    bool flush();

    static constexpr std::size_t kWriteBytes = std::size_t{1} << 16;

private:
    SNDFILE* m_file;
    int m_bytesPerSample;
    std::vector<unsigned char> m_bytes;
};
