// An encoder's or decoder's state from a codec library, owned: freed by the library's own
// destroy function.
#pragma once

#include <memory>
#include <new>

namespace transmission
{

template <typename State, typename Result>
using CodecHandle = std::unique_ptr<State, Result (*)(State*)>;

// Takes ownership of what a library's create function returned; throws bad_alloc when it
// returned nothing.
template <typename State, typename Result>
CodecHandle<State, Result> makeHandle(State* state, Result (*destroy)(State*))
{
    if (state == nullptr)
        throw std::bad_alloc();
    return CodecHandle<State, Result>(state, destroy);
}

} // namespace transmission
