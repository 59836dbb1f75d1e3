// The editor's meter-record reader, on records as the host delivers them: a 32-bit channel
// count, then seven floats per channel, in either byte order.
//
// The first input byte's lowest bit is the byte-swap flag; the rest is the record as the
// producing platform posted it. The reader trusts the count (the entry's size is not
// consulted), and the host only ever delivers what the engine posted, 4 + 28 bytes per
// channel; so the harness hands over a record of exactly that size, the input's bytes
// followed by zeros, in a buffer of its own so that any read past the end is caught.
// Counts above kLargestCount (a record of more than 112 KiB) are left alone.
//
// Checked: the record read in one byte order equals, bit for bit, the same record byte-
// reversed and read with the flag the other way; the count comes through; the extremes
// over all channels are never NaN, stay at or above 0 (the peaks) and at or below 1 (the
// gains), and bound every channel's value; the hand-over queue gives back what it took.
#include "editor/MeterRecordQueue.h"
#include "quarl/MonitorDelivery.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
constexpr std::uint32_t kLargestCount = 4096;

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void require(bool condition)
{
    if (!condition)
        std::abort();
}

void checkExtremes(const MeterRecord& record)
{
    const std::uint32_t stored = std::min(record.channels, MeterRecord::kMaxChannels);
    for (int f = 0; f < MeterRecord::kFields; ++f)
    {
        const float extreme = record.extremes[static_cast<std::size_t>(f)];
        require(!std::isnan(extreme));
        const bool gain = MeterRecord::isGain(f);
        require(gain ? extreme <= 1.0f : extreme >= 0.0f);
        for (std::uint32_t c = 0; c < stored; ++c)
        {
            const float v = record.values[c][static_cast<std::size_t>(f)];
            if (!std::isnan(v))
                require(gain ? extreme <= v : extreme >= v);
        }
    }
}

void requireSame(const MeterRecord& a, const MeterRecord& b)
{
    require(a.channels == b.channels);
    const std::uint32_t stored = std::min(a.channels, MeterRecord::kMaxChannels);
    for (std::uint32_t c = 0; c < stored; ++c)
        for (std::size_t f = 0; f < MeterRecord::kFields; ++f)
            require(sameBits(a.values[c][f], b.values[c][f]));
    for (std::size_t f = 0; f < MeterRecord::kFields; ++f)
        require(sameBits(a.extremes[f], b.extremes[f]));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1 + 4)
        return 0;
    const bool byteSwap = (data[0] & 1) != 0;
    std::uint32_t count;
    std::memcpy(&count, data + 1, sizeof count);
    if (byteSwap)
        count = __builtin_bswap32(count);
    if (count > kLargestCount)
        return 0;

    std::vector<std::uint8_t> record(4 + 28 * static_cast<std::size_t>(count), 0);
    std::memcpy(record.data(), data + 1, std::min(record.size(), size - 1));
    const std::vector<std::uint8_t> reversed = quarl::byteSwapped(record);

    static MeterRecord posted, other;
    posted.decode(record.data(), byteSwap);
    other.decode(reversed.data(), !byteSwap);
    require(posted.channels == count);
    requireSame(posted, other);
    checkExtremes(posted);

    static MeterRecordQueue queue;
    require(queue.push(record.data(), byteSwap));
    const MeterRecord* taken = queue.front();
    require(taken != nullptr);
    requireSame(*taken, posted);
    queue.pop();
    require(queue.front() == nullptr);
    return 0;
}
