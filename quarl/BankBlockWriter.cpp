#include "quarl/BankBlockWriter.h"

#include "params/ValueCodec.h"

namespace quarl
{
bool BankBlockWriter::WriteBool(bool value)
{
    appendValue(m_bytes, ValueType::Bool, value ? 1.0 : 0.0);
    return true;
}

bool BankBlockWriter::WriteInt32(std::int32_t value)
{
    appendValue(m_bytes, ValueType::Int, value);
    return true;
}

bool BankBlockWriter::WriteReal32(float value)
{
    appendValue(m_bytes, ValueType::Float, value);
    return true;
}
} // namespace quarl
