#include "params/ValueCodec.h"

#include <cmath>
#include <cstring>

namespace
{
void putLittleEndian32(std::uint32_t bits, std::uint8_t* out)
{
    for (int b = 0; b < 4; ++b)
        out[b] = static_cast<std::uint8_t>(bits >> (8 * b));
}

std::uint32_t getLittleEndian32(const std::uint8_t* in)
{
    return static_cast<std::uint32_t>(in[0]) | static_cast<std::uint32_t>(in[1]) << 8 |
           static_cast<std::uint32_t>(in[2]) << 16 | static_cast<std::uint32_t>(in[3]) << 24;
}

template <typename Number>
std::int32_t wholeNumberOf(Number value)
{
    if (!std::isfinite(value))
        return 0;
    const Number rounded = std::round(value);
    // 2^31 is the first number beyond the 32-bit integers, -2^31 the last one in them.
    if (rounded >= static_cast<Number>(2147483648.0))
        return 2147483647;
    if (rounded <= static_cast<Number>(-2147483648.0))
        return -2147483647 - 1;
    return static_cast<std::int32_t>(rounded);
}

template <typename Number>
std::size_t encode(ValueType type, Number value, std::uint8_t* out)
{
    switch (type)
    {
    case ValueType::Bool: out[0] = value >= Number(0.5) ? 1 : 0; break;
    case ValueType::Int: putLittleEndian32(static_cast<std::uint32_t>(wholeNumberOf(value)), out); break;
    case ValueType::Float: {
        const auto single = static_cast<float>(value);
        std::uint32_t bits;
        std::memcpy(&bits, &single, sizeof bits);
        putLittleEndian32(bits, out);
        break;
    }
    }
    return valueSizeOf(type);
}

template <typename Number>
bool decode(ValueType type, const void* in, std::size_t bytes, Number& value)
{
    const auto* p = static_cast<const std::uint8_t*>(in);
    if (type == ValueType::Bool)
    {
        if (bytes == 0)
            return false;
        bool on = false;
        for (std::size_t b = 0; b < bytes && b < 4; ++b)
            on = on || p[b] != 0;
        value = on ? Number(1) : Number(0);
        return true;
    }
    if (bytes < 4)
        return false;
    const std::uint32_t bits = getLittleEndian32(p);
    if (type == ValueType::Int)
    {
        value = static_cast<Number>(static_cast<std::int32_t>(bits));
        return true;
    }
    float single;
    std::memcpy(&single, &bits, sizeof single);
    value = single;
    return true;
}
} // namespace

std::size_t encodeValue(ValueType type, float value, std::uint8_t* out)
{
    return encode(type, value, out);
}

std::size_t encodeValue(ValueType type, double value, std::uint8_t* out)
{
    return encode(type, value, out);
}

void appendValue(std::vector<std::uint8_t>& block, ValueType type, double value)
{
    std::uint8_t bytes[kMaxValueBytes];
    block.insert(block.end(), bytes, bytes + encodeValue(type, value, bytes));
}

bool decodeValue(ValueType type, const void* in, std::size_t bytes, float& value)
{
    return decode(type, in, bytes, value);
}

bool decodeValue(ValueType type, const void* in, std::size_t bytes, double& value)
{
    return decode(type, in, bytes, value);
}

float carriedValue(ValueType type, float value)
{
    std::uint8_t bytes[kMaxValueBytes] = {};
    float carried = 0.f;
    decodeValue(type, bytes, encodeValue(type, value, bytes), carried);
    return carried;
}

bool writeBlockValue(ZQ::Quarl::IBlockWriter& writer, ValueType type, const VARIANT& value)
{
    switch (type)
    {
    case ValueType::Bool: return writer.WriteBool(value.boolVal != 0);
    case ValueType::Int: return writer.WriteInt32(value.lVal);
    case ValueType::Float: return writer.WriteReal32(value.fltVal);
    }
    return false;
}
