// 32-bit float WAV files as every common reader takes them: an 18-byte fmt chunk of
// WAVE_FORMAT_IEEE_FLOAT (cbSize 0) and a fact chunk with the frame count. RIFF's sizes are
// 32 bits, so a WAV file holds at most 4 GiB. A file that may outgrow that keeps room for
// RF64's ds64 chunk (EBU Tech 3306) as a JUNK chunk right after "WAVE": closed larger than
// RIFF allows it becomes an RF64 file with 64-bit sizes, closed smaller it stays a WAV file
// that readers take as any other. Chunks that say how the file was made (bext, the recipe's)
// go between the fact chunk and the samples, where a reader finds them without reading audio.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class FloatWavWriter
{
public:
    // The largest RIFF chunk (its size field's greatest value).
    static constexpr std::uint64_t kMostRiffBytes = 0xffffffffu;

    // Starts the file. `roomForRf64` keeps room for the ds64 chunk; `mostRiffBytes` is the
    // largest RIFF chunk the file may have before it must become RF64 (smaller in tests).
    // Throws IoError with the system's reason, naming `name`.
    FloatWavWriter(const std::string& path, const std::string& name, std::uint32_t channels, std::uint32_t sampleRate,
                   bool roomForRf64, std::uint64_t mostRiffBytes = kMostRiffBytes);
    ~FloatWavWriter();
    FloatWavWriter(const FloatWavWriter&) = delete;
    FloatWavWriter& operator=(const FloatWavWriter&) = delete;

    // Before the first write: whole chunks (see chunkBytes) placed before the data chunk.
    // False, with error() saying why, when the header cannot be written again.
    bool addChunks(const std::string& chunks);

    // Little-endian floats, as the machine holds them. False on a write error, and when a
    // file without room for ds64 would outgrow RIFF: nothing is cut silently.
    bool write(const float* interleaved, std::uint32_t frames);

    // Writes the final header; returns the reason when writing failed, empty otherwise.
    std::string close();

    const std::string& error() const { return m_error; }

private:
    std::string header(std::uint64_t frames) const;

    std::FILE* m_file = nullptr;
    std::uint32_t m_channels;
    std::uint32_t m_sampleRate;
    bool m_roomForRf64;
    std::uint64_t m_mostRiffBytes;
    std::uint64_t m_frames = 0;
    std::string m_chunks; // between "fact" and "data"
    std::string m_error;
};
