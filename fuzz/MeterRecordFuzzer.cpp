// The editor's meter-record reader and the fold that hands records to the editor, on
// records as the host delivers them: a 32-bit channel count, then seven floats per channel,
// in either byte order.
//
// The first input byte's lowest bit is the byte-swap flag; the rest is the record as the
// producing platform posted it. The reader trusts the count (the entry's size is not
// consulted), and the host only ever delivers what the engine posted, 4 + 28 bytes per
// channel; so the harness hands over a record of exactly that size, the input's bytes
// followed by zeros, in a buffer of its own so that any read past the end is caught.
// Counts above kLargestCount (a record of more than 112 KiB) are left alone.
//
// Checked: the record folded in one byte order gives, bit for bit, the levels of the same
// record byte-reversed and folded with the flag the other way; the count comes through;
// every level is what the record says, worked out here value by value: never NaN, the
// peaks at or above 0 and the gains at or below 1, channel 0 holding the extremes over all
// channels when there are more than two; a take rests the fold.
#include "editor/MeterRecordFold.h"
#include "quarl/MonitorDelivery.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
constexpr std::uint32_t kLargestCount = 4096;

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void require(bool condition)
{
    if (!condition)
        std::abort();
}

// A value folded into a level at rest, as the meters take it: NaN leaves the rest.
double folded(double level, float v, bool gain)
{
    return gain ? std::min(level, static_cast<double>(v)) : std::max(level, static_cast<double>(v));
}

void requireSame(const MeterLevels& a, const MeterLevels& b)
{
    for (std::size_t k = 0; k < MeterLevels::kKinds; ++k)
        for (std::size_t c = 0; c < MeterLevels::kChannels; ++c)
            require(sameBits(a.channels[k][c], b.channels[k][c]));
    require(sameBits(a.noiseLevel, b.noiseLevel));
}

// The levels the record should fold to, worked out from its values.
void requireFoldedFrom(const MeterRecord& record, const MeterLevels& levels)
{
    const std::uint32_t n = record.channels();
    MeterLevels expected;
    double loudestNoise = 0.0;
    for (std::uint32_t c = 0; c < n; ++c)
    {
        loudestNoise = folded(loudestNoise, record.value(c, MeterRecord::NoiseLevel), false);
        for (int k = 0; k < MeterLevels::kKinds; ++k)
        {
            const float v = record.value(c, MeterLevels::fieldOf(k));
            MeterLevels::Channels& kind = expected.channels[static_cast<std::size_t>(k)];
            if (n <= MeterLevels::kChannels)
                kind[c] = folded(kind[c], v, MeterLevels::isGain(k));
            if (n > 2)
                kind[0] = folded(kind[0], v, MeterLevels::isGain(k));
        }
    }
    expected.noiseLevel = loudestNoise;
    requireSame(levels, expected);
    for (std::size_t k = 0; k < MeterLevels::kKinds; ++k)
        for (double level : levels.channels[k])
            require(!std::isnan(level) && (MeterLevels::isGain(static_cast<int>(k)) ? level <= 1.0 : level >= 0.0));
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
    const MeterRecord posted(record.data(), byteSwap);
    require(posted.channels() == count);

    static MeterRecordFold fold, otherFold;
    static MeterLevels levels, otherLevels;
    levels.rest();
    otherLevels.rest();
    fold.fold(record.data(), byteSwap);
    otherFold.fold(reversed.data(), !byteSwap);
    require(fold.takeInto(levels) == count);
    require(otherFold.takeInto(otherLevels) == count);
    requireSame(levels, otherLevels);
    requireFoldedFrom(posted, levels);

    require(fold.takeInto(levels) == MeterRecordFold::kNoRecord);
    levels.rest();
    requireSame(fold.peek(), levels);
    return 0;
}
