// The sound engine's parameter-block reader: any bytes of any length. A block of the
// wrong size is refused; any 139 bytes are taken with every value brought into range, and
// the effect then plays finite output.
#include "fuzz/FuzzEffect.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzEffect effect(48000, 2, 64);
    const ZQ::Quarl::Result r = effect.params().SetParamsBlock(data, static_cast<std::uint32_t>(size));
    if ((size == kParameterBlockSize) != (r == ZQ::Quarl::Success))
        std::abort();
    effect.playTestBuffer();
    effect.playTestBuffer();
    return 0;
}
