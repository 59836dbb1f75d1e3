// The data of files whose samples are stored as little-endian 16- or 24-bit integers (WAV,
// RF64, W64): which formats those are, and their bytes to and from the samples the tool
// handles, exactly as libsndfile converts them.
#pragma once

#include <cstddef>
#include <cstdint>

// Bytes per sample of a libsndfile format stored this way; 0 for any other.
int littleEndianPcmBytes(int format);

// 32-bit integers whose bits below the file's depth are zero, as the file stores them.
void packLittleEndianPcm(const std::int32_t* samples, std::size_t count, int bytesPerSample, unsigned char* into);

// 16-bit samples to floats, full scale 1.0 (each value divided by 32768, exactly).
void unpackLittleEndianPcm16(const unsigned char* bytes, std::size_t count, float* into);
