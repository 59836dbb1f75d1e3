// Single-parameter updates as the host sends them: a stream of (identifier, size, value)
// records, with a buffer played after every few. Unknown identifiers answer 31, known
// ones 1 or 31; the output stays finite.
#include "fuzz/FuzzEffect.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzEffect effect(44100, 2, 32);
    std::size_t pos = 0;
    int sinceBuffer = 0;
    while (pos + 5 <= size)
    {
        std::int32_t id;
        std::memcpy(&id, data + pos, 4);
        // Mostly identifiers of the table, now and then anything.
        if ((data[pos + 4] & 0x80) == 0)
            id = static_cast<std::int32_t>(static_cast<std::uint32_t>(id) % 80u);
        const std::uint32_t bytes = data[pos + 4] & 0x07;
        pos += 5;
        std::uint8_t value[8] = {};
        const std::size_t take = std::min<std::size_t>(bytes, size - pos);
        std::memcpy(value, data + pos, take);
        pos += take;
        const ZQ::Quarl::Result r = effect.params().SetParam(id, bytes == 0 ? nullptr : value, bytes);
        if (r != ZQ::Quarl::Success && r != ZQ::Quarl::InvalidParameter)
            std::abort();
        if (findParameter(id) == nullptr && r != ZQ::Quarl::InvalidParameter)
            std::abort();
        if (++sinceBuffer == 3)
        {
            effect.playTestBuffer();
            sinceBuffer = 0;
        }
    }
    effect.playTestBuffer();
    return 0;
}
