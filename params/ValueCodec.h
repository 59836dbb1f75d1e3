// How a value crosses from the host to the sound engine: an entry of the parameter block and a
// single-parameter update each carry it as a one-byte bool, a 32-bit signed integer or a
// 32-bit float, little-endian. Every side that writes or reads those bytes goes through here.
#pragma once

#include "ZQ/QuarlPlugin.h"
#include "platform/WinTypes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

enum class ValueType : std::uint8_t
{
    Bool,  // one byte, 0 or 1; the host holds it as VT_BOOL
    Int,   // four bytes, two's complement; VT_I4
    Float, // four bytes, IEEE 754 single precision; VT_R4
};

// The most bytes a value takes.
constexpr std::size_t kMaxValueBytes = 4;

constexpr std::size_t valueSizeOf(ValueType type)
{
    return type == ValueType::Bool ? 1 : 4;
}

// Writes `value` as `type` to out[0 .. valueSizeOf(type)) and answers that size. A bool is 1
// from 0.5 up (NaN is 0); an integer is the nearest whole number, halves away from zero,
// brought into 32 bits, and 0 for NaN and the infinities; a float is written as it is, NaN and
// the infinities included. A double gives every 32-bit integer exactly; a float, as the sound
// engine and the DAWs hold values, goes without a conversion.
std::size_t encodeValue(ValueType type, float value, std::uint8_t* out);
std::size_t encodeValue(ValueType type, double value, std::uint8_t* out);

// encodeValue's bytes, appended to `block`.
void appendValue(std::vector<std::uint8_t>& block, ValueType type, double value);

// Reads a value of `type` from the `bytes` bytes at `in`. A bool is any one to four bytes,
// on (1) when any of them is non-zero; an integer or a float needs four. False when there are
// too few bytes; `value` is then left alone.
bool decodeValue(ValueType type, const void* in, std::size_t bytes, float& value);
bool decodeValue(ValueType type, const void* in, std::size_t bytes, double& value);

// The value as `type` carries it: what decodeValue gives for encodeValue's bytes (a switch's
// 0 or 1, a whole number, or the float itself).
float carriedValue(ValueType type, float value);

// A property's VARIANT through the host's block writer, as `type`: the writer's call for that
// type with the VARIANT's member of that type.
bool writeBlockValue(ZQ::Quarl::IBlockWriter& writer, ValueType type, const VARIANT& value);
