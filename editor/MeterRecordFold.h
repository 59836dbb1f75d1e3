// Hands the engine's meter records from the thread the host delivers them on to the
// editor's message thread, folded as the meters read them: per channel the peaks are
// raised and the gains lowered, element by element with atomic operations. The delivering
// side neither locks, nor allocates, nor waits for the other; however many records arrive
// between two ticks, each one counts, and the tick takes what they add up to.
//
// A record folds in as follows: for up to MeterLevels::kChannels channels, each channel's
// values into its own elements; with more than two channels the extremes over all of them
// into channel 0 as well, so that the single meter of the mono layout shows the loudest;
// the noise level's maximum over all channels.
#pragma once

#include "editor/MeterLevels.h"

#include <array>
#include <atomic>
#include <cstdint>

class MeterRecordFold
{
public:
    static constexpr std::int64_t kNoRecord = -1;

    MeterRecordFold();

    // Any thread: folds the record at `data` in (see MeterRecord); every word byte-reversed
    // when `byteSwap` is set. A null record is ignored.
    void fold(const void* data, bool byteSwap);

    // Message thread: folds everything folded in since the previous take into `levels`
    // (peaks raised, gains lowered) and rests this fold. Answers the channel count of the
    // latest record among them, or kNoRecord when none arrived.
    std::int64_t takeInto(MeterLevels& levels);

    // What a take would give now, without taking it (for the tests).
    MeterLevels peek() const;
    std::int64_t latestChannels() const { return m_latestChannels.load(std::memory_order_acquire); }

private:
    using Channels = std::array<std::atomic<float>, MeterLevels::kChannels>;
    std::array<Channels, MeterLevels::kKinds> m_channels;
    std::atomic<float> m_noiseLevel;
    std::atomic<std::int64_t> m_latestChannels{kNoRecord};

    static_assert(std::atomic<float>::is_always_lock_free && std::atomic<std::int64_t>::is_always_lock_free,
                  "the delivering side must never wait for a lock");
};
