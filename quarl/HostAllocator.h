// The stand-in host's memory allocator: counts what is live and can be told to fail.
#pragma once

#include "ZQ/QuarlSoundEngine.h"

#include <cstddef>
#include <cstdint>

namespace quarl
{
class HostAllocator final : public ZQ::Quarl::IAllocator
{
public:
    HostAllocator() = default;
    HostAllocator(const HostAllocator&) = delete;
    HostAllocator& operator=(const HostAllocator&) = delete;

    void* Malloc(std::size_t bytes) override;
    void Free(void* pointer) override;

    // Makes the n-th allocation from now (1 = the next one) fail; 0 cancels.
    void failNth(std::uint64_t n) { m_failAt = n == 0 ? 0 : m_requests + n; }
    // While set, every allocation fails.
    void setOutOfMemory(bool outOfMemory) { m_outOfMemory = outOfMemory; }

    std::uint64_t requests() const { return m_requests; }
    std::uint64_t failures() const { return m_failures; }
    std::uint64_t liveBlocks() const { return m_liveBlocks; }
    std::size_t liveBytes() const { return m_liveBytes; }
    std::size_t peakBytes() const { return m_peakBytes; }

private:
    std::uint64_t m_requests = 0;
    std::uint64_t m_failAt = 0;
    std::uint64_t m_failures = 0;
    bool m_outOfMemory = false;
    std::uint64_t m_liveBlocks = 0;
    std::size_t m_liveBytes = 0;
    std::size_t m_peakBytes = 0;
};
} // namespace quarl
