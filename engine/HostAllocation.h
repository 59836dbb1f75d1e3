// Engine objects that live in the host's memory: built in memory from the host's allocator,
// which they remember, and ended through the interface's deleting destructor, which gives
// that memory back when the host asks it to. A class befriends HostAllocation and keeps the
// allocator in `m_madeBy`.
#pragma once

#include "ZQ/QuarlSoundEngine.h"

#include <new>
#include <utility>

struct HostAllocation
{
    // A T built from the arguments in memory from the allocator; null when it has none.
    template <typename T, typename... Args>
    static T* make(ZQ::Quarl::IAllocator* allocator, Args&&... args)
    {
        void* raw = allocator != nullptr ? allocator->Malloc(sizeof(T)) : nullptr;
        if (raw == nullptr)
            return nullptr;
        T* object = new (raw) T(std::forward<Args>(args)...);
        object->m_madeBy = allocator;
        return object;
    }

    // Ends the object; with kDeleteFreesMemory, gives its memory back to the allocator that
    // made it. Answers the object's address, as the deleting destructor does.
    template <typename T>
    static void* destroy(T* object, unsigned int flags) noexcept
    {
        ZQ::Quarl::IAllocator* const madeBy = object->m_madeBy;
        object->~T();
        if ((flags & ZQ::Quarl::kDeleteFreesMemory) != 0 && madeBy != nullptr)
            madeBy->Free(object);
        return object;
    }
};
