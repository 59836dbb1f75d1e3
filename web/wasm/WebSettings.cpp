// The page's settings as the engine takes them: property values in host order to the
// parameter block and back, through the parameter table and the value codec. Exported from
// the page's WebAssembly module as plain C functions over the module's memory.
#include "params/ParameterBlock.h"

#include <cstring>
#include <string>

extern "C" {

int crumlet_web_property_count()
{
    return static_cast<int>(kParameterCount);
}

int crumlet_web_block_bytes()
{
    return static_cast<int>(kParameterBlockSize);
}

// The property's name (ASCII, NUL-terminated) into out[0 .. capacity); its length, or -1
// for an index out of range or a name that does not fit.
int crumlet_web_property_name(int index, char* out, int capacity)
{
    if (index < 0 || index >= static_cast<int>(kParameterCount))
        return -1;
    const std::string name = toAscii(g_parameterDefinitions[static_cast<std::size_t>(index)].name);
    if (static_cast<int>(name.size()) >= capacity)
        return -1;
    std::memcpy(out, name.c_str(), name.size() + 1);
    return static_cast<int>(name.size());
}

// The block of `values` (kParameterCount floats in host order, each in its parameter's units:
// a list's entry index, a switch's 0 or 1) into `block` (kParameterBlockSize bytes).
void crumlet_web_block_of(const float* values, std::uint8_t* block)
{
    ParameterValues v{};
    std::memcpy(v.data(), values, sizeof(float) * kParameterCount);
    const ParameterBlock b = parameterBlockOf(v);
    std::memcpy(block, b.data(), b.size());
}

// The values a block carries, into `values` (kParameterCount floats in host order).
void crumlet_web_values_of(const std::uint8_t* block, float* values)
{
    std::uint8_t bytes[kParameterBlockSize];
    std::memcpy(bytes, block, sizeof bytes);
    const ParameterValues v = parameterValuesOf(bytes);
    std::memcpy(values, v.data(), sizeof(float) * kParameterCount);
}
}
