#include "quarl/PropertyUpdate.h"

#include "params/ValueCodec.h"

namespace quarl
{
ZQ::Quarl::Result sendProperty(ZQ::Quarl::IEffectParams& params, const PropertySet& properties, const std::string& name)
{
    const int index = properties.description().indexOf(name);
    if (index < 0)
        return ZQ::Quarl::InvalidParameter;
    const PropertyDescription& p = properties.description().properties[static_cast<std::size_t>(index)];
    if (p.id < 0)
        return ZQ::Quarl::InvalidParameter;
    std::uint8_t bytes[kMaxValueBytes];
    const std::size_t size = encodeValue(p.update, properties.value(name), bytes);
    return params.SetParam(p.id, bytes, static_cast<std::uint32_t>(size));
}
} // namespace quarl
