// Hands the engine's meter records from the thread the host delivers them on to the
// editor's message thread: a single-producer, single-consumer ring of fixed-size records,
// lock-free and allocation-free on both sides. The producer decodes (and byte-swaps) a
// record into a free slot; the editor's timer takes the slots in order.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

// One decoded meter record: the channel count, each channel's seven values (for up to
// kMaxChannels channels) and the extremes over all channels.
struct MeterRecord
{
    static constexpr std::uint32_t kMaxChannels = 256;
    static constexpr int kFields = 7;
    // Field order in the record.
    enum Field { InputPeak, OutputPeak, DuckInput, NoiseLevel, DuckGain, GateInput, GateGain };
    // The gain fields fold to their minimum, the others to their maximum.
    static constexpr bool isGain(int field) { return field == DuckGain || field == GateGain; }

    std::uint32_t channels = 0;
    std::array<std::array<float, kFields>, kMaxChannels> values{}; // valid for channels <= kMaxChannels
    std::array<float, kFields> extremes{};                          // maxima, minima for the gains

    // Decodes the record at `data`: a 32-bit channel count, then seven floats per channel,
    // every word byte-reversed when `byteSwap` is set.
    void decode(const void* data, bool byteSwap);
};

class MeterRecordQueue
{
public:
    static constexpr std::uint32_t kSlots = 16;

    // Producer: decodes the record into the next free slot. False (the record dropped)
    // when the consumer has fallen kSlots records behind, or for a null record.
    bool push(const void* data, bool byteSwap);

    // Consumer: the oldest record not yet taken, or null; release it with pop().
    const MeterRecord* front() const;
    void pop();

    std::uint64_t droppedCount() const { return m_dropped.load(std::memory_order_relaxed); }

private:
    std::array<MeterRecord, kSlots> m_slots{};
    std::atomic<std::uint32_t> m_head{0}; // next slot to read (consumer)
    std::atomic<std::uint32_t> m_tail{0}; // next slot to write (producer)
    std::atomic<std::uint64_t> m_dropped{0};
};
