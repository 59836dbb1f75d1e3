#include "params/ParameterBlock.h"

ParameterBlock parameterBlockOf(const ParameterValues& values)
{
    ParameterBlock block{};
    for (std::size_t i = 0; i < kParameterCount; ++i)
        encodeValue(g_parameterDefinitions[i].hostType, values[i], block.data() + blockOffsetOf(i));
    return block;
}

ParameterValues parameterValuesOf(const std::uint8_t (&block)[kParameterBlockSize])
{
    ParameterValues values{};
    for (std::size_t i = 0; i < kParameterCount; ++i)
    {
        const HostType type = g_parameterDefinitions[i].hostType;
        decodeValue(type, block + blockOffsetOf(i), blockSizeOf(type), values[i]);
    }
    return values;
}
