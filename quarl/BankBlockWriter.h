// The stand-in host's bank block writer: packs values one after the other,
// little-endian, without gaps, as the host stores them in its sound banks.
#pragma once

#include "ZQ/QuarlPlugin.h"

#include <cstdint>
#include <vector>

namespace quarl
{
class BankBlockWriter final : public ZQ::Quarl::IBlockWriter
{
public:
    bool WriteBool(bool value) override;
    bool WriteInt32(std::int32_t value) override;
    bool WriteReal32(float value) override;

    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }
    void clear() { m_bytes.clear(); }

private:
    std::vector<std::uint8_t> m_bytes;
};
} // namespace quarl
