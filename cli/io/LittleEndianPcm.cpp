#include "cli/io/LittleEndianPcm.h"

#include <sndfile.h>

#include <cstring>

namespace
{
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr bool kLittleEndianHost = true;
#else
constexpr bool kLittleEndianHost = false;
#endif

// The top `Bytes` bytes of each sample, lowest first.
template <int Bytes>
void pack(const std::int32_t* samples, std::size_t count, unsigned char* into)
{
    if (Bytes == 2 && kLittleEndianHost)
    {
        // The machine's own 16-bit integers are the file's: a loop the compiler vectorises.
        for (std::size_t i = 0; i < count; ++i)
        {
            const auto top = static_cast<std::int16_t>(samples[i] >> 16);
            std::memcpy(into + 2 * i, &top, 2);
        }
        return;
    }
    for (std::size_t i = 0; i < count; ++i)
    {
        const auto u = static_cast<std::uint32_t>(samples[i]);
        for (int b = 0; b < Bytes; ++b)
            into[i * Bytes + b] = static_cast<unsigned char>(u >> (8 * (4 - Bytes + b)));
    }
}
} // namespace

int littleEndianPcmBytes(int format)
{
    const int major = format & SF_FORMAT_TYPEMASK, endian = format & SF_FORMAT_ENDMASK;
    const bool littleEndianData = (major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX || major == SF_FORMAT_RF64 ||
                                   major == SF_FORMAT_W64) &&
                                  (endian == SF_ENDIAN_FILE || endian == SF_ENDIAN_LITTLE);
    if (!littleEndianData)
        return 0;
    switch (format & SF_FORMAT_SUBMASK)
    {
    case SF_FORMAT_PCM_16: return 2;
    case SF_FORMAT_PCM_24: return 3;
    default: return 0;
    }
}

void packLittleEndianPcm(const std::int32_t* samples, std::size_t count, int bytesPerSample, unsigned char* into)
{
    if (bytesPerSample == 2)
        pack<2>(samples, count, into);
    else
        pack<3>(samples, count, into);
}

void unpackLittleEndianPcm16(const unsigned char* bytes, std::size_t count, float* into)
{
    // Every 16-bit value over 32768 is a float exactly: no rounding, whatever the order.
    for (std::size_t i = 0; i < count; ++i)
    {
        std::int16_t value;
        if (kLittleEndianHost)
            std::memcpy(&value, bytes + 2 * i, 2);
        else
            value = static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8));
        into[i] = static_cast<float>(value) * (1.f / 32768.f);
    }
}
