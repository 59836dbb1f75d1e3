#include "quarl/BankBlockWriter.h"

#include <cstring>

namespace quarl
{
bool BankBlockWriter::WriteBool(bool value)
{
    m_bytes.push_back(value ? 1 : 0);
    return true;
}

bool BankBlockWriter::WriteInt32(std::int32_t value)
{
    put32(static_cast<std::uint32_t>(value));
    return true;
}

bool BankBlockWriter::WriteReal32(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    put32(bits);
    return true;
}

void BankBlockWriter::put32(std::uint32_t bits)
{
    for (int i = 0; i < 4; ++i)
        m_bytes.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
}
} // namespace quarl
