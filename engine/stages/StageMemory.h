// Per-channel state of a stage, allocated from the host's allocator while the stage is
// enabled. Freshly allocated state is zeroed before the stage prepares it.
#pragma once

#include "ZQ/QuarlSoundEngine.h"

#include <cstring>
#include <new>
#include <type_traits>

template <typename Channel>
class StageMemory
{
    static_assert(std::is_trivially_destructible_v<Channel>, "stage state must be plain data");

public:
    // False when the host has no memory; the stage is then left without state.
    bool allocate(ZQ::Quarl::IAllocator* allocator, unsigned channels)
    {
        release(allocator);
        void* raw = allocator != nullptr ? allocator->Malloc(sizeof(Channel) * channels) : nullptr;
        if (raw == nullptr)
            return false;
        std::memset(raw, 0, sizeof(Channel) * channels);
        m_channels = static_cast<Channel*>(raw);
        for (unsigned c = 0; c < channels; ++c)
            new (&m_channels[c]) Channel();
        m_count = channels;
        return true;
    }

    void release(ZQ::Quarl::IAllocator* allocator)
    {
        if (m_channels != nullptr && allocator != nullptr)
            allocator->Free(m_channels);
        m_channels = nullptr;
        m_count = 0;
    }

    bool present() const { return m_channels != nullptr; }
    unsigned count() const { return m_count; }
    Channel& operator[](unsigned c) { return m_channels[c]; }
    const Channel& operator[](unsigned c) const { return m_channels[c]; }
    Channel* begin() { return m_channels; }
    Channel* end() { return m_channels + m_count; }

private:
    Channel* m_channels = nullptr;
    unsigned m_count = 0;
};
