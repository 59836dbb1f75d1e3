#include "editor/MeterRecordQueue.h"

#include <algorithm>
#include <cstring>

namespace
{
std::uint32_t readWord(const unsigned char* p, bool byteSwap)
{
    std::uint32_t w;
    std::memcpy(&w, p, sizeof w);
    return byteSwap ? __builtin_bswap32(w) : w;
}

float readFloat(const unsigned char* p, bool byteSwap)
{
    const std::uint32_t w = readWord(p, byteSwap);
    float f;
    std::memcpy(&f, &w, sizeof f);
    return f;
}
} // namespace

void MeterRecord::decode(const void* data, bool byteSwap)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    channels = readWord(bytes, byteSwap);
    for (int f = 0; f < kFields; ++f)
        extremes[static_cast<std::size_t>(f)] = isGain(f) ? 1.0f : 0.0f;
    const unsigned char* p = bytes + 4;
    for (std::uint32_t c = 0; c < channels; ++c)
    {
        for (int f = 0; f < kFields; ++f, p += 4)
        {
            const float v = readFloat(p, byteSwap);
            float& extreme = extremes[static_cast<std::size_t>(f)];
            extreme = isGain(f) ? std::min(extreme, v) : std::max(extreme, v);
            if (c < kMaxChannels)
                values[c][static_cast<std::size_t>(f)] = v;
        }
    }
}

bool MeterRecordQueue::push(const void* data, bool byteSwap)
{
    if (data == nullptr)
        return false;
    const std::uint32_t tail = m_tail.load(std::memory_order_relaxed);
    if (tail - m_head.load(std::memory_order_acquire) >= kSlots)
    {
        m_dropped.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    m_slots[tail % kSlots].decode(data, byteSwap);
    m_tail.store(tail + 1, std::memory_order_release);
    return true;
}

const MeterRecord* MeterRecordQueue::front() const
{
    const std::uint32_t head = m_head.load(std::memory_order_relaxed);
    if (head == m_tail.load(std::memory_order_acquire))
        return nullptr;
    return &m_slots[head % kSlots];
}

void MeterRecordQueue::pop()
{
    const std::uint32_t head = m_head.load(std::memory_order_relaxed);
    if (head != m_tail.load(std::memory_order_acquire))
        m_head.store(head + 1, std::memory_order_release);
}
