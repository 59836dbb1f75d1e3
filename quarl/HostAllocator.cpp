#include "quarl/HostAllocator.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace quarl
{
namespace
{
// Each block carries its size in front, keeping the payload 16-byte aligned.
constexpr std::size_t kHeader = 16;
} // namespace

void* HostAllocator::Malloc(std::size_t bytes)
{
    ++m_requests;
    if (m_outOfMemory || m_requests == m_failAt)
    {
        ++m_failures;
        return nullptr;
    }
    auto* raw = static_cast<unsigned char*>(std::malloc(bytes + kHeader));
    if (raw == nullptr)
    {
        ++m_failures;
        return nullptr;
    }
    std::memcpy(raw, &bytes, sizeof bytes);
    ++m_liveBlocks;
    m_liveBytes += bytes;
    m_peakBytes = std::max(m_peakBytes, m_liveBytes);
    return raw + kHeader;
}

void HostAllocator::Free(void* pointer)
{
    if (pointer == nullptr)
        return;
    auto* raw = static_cast<unsigned char*>(pointer) - kHeader;
    std::size_t bytes = 0;
    std::memcpy(&bytes, raw, sizeof bytes);
    --m_liveBlocks;
    m_liveBytes -= bytes;
    std::free(raw);
}
} // namespace quarl
