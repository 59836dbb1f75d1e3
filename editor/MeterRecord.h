// The engine's meter record as the host delivers it, read in place: a 32-bit channel count,
// then seven floats per channel, every word byte-reversed when the platform that posted it
// has the other byte order. The reader trusts the count, as the host only ever delivers
// what the engine posted.
#pragma once

#include <cstdint>

class MeterRecord
{
public:
    static constexpr int kFields = 7;
    // Field order in the record.
    enum Field { InputPeak, OutputPeak, DuckInput, NoiseLevel, DuckGain, GateInput, GateGain };
    // The gain fields fold to their minimum, the others to their maximum.
    static constexpr bool isGain(int field) { return field == DuckGain || field == GateGain; }

    MeterRecord(const void* data, bool byteSwap) : m_bytes(static_cast<const unsigned char*>(data)), m_byteSwap(byteSwap) {}

    std::uint32_t channels() const;
    float value(std::uint32_t channel, int field) const;

private:
    const unsigned char* m_bytes;
    bool m_byteSwap;
};
