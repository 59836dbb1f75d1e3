// A property set that holds exactly the VARIANTs it is given, converting nothing, and
// keeps every write: for checking what the store itself reads and writes.
#pragma once

#include "ZQ/QuarlPlugin.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace crumlet_module_test
{
class RawPropertySet final : public ZQ::Quarl::IPropertySet
{
public:
    struct Write
    {
        std::u16string name;
        VARIANT value;
    };

    bool GetValue(const GUID&, LPCWSTR name, VARIANT& value) override
    {
        ++reads;
        const auto it = values.find(name);
        if (it == values.end() || failReads)
            return false;
        value = it->second;
        return true;
    }
    bool SetValue(const GUID&, LPCWSTR name, const VARIANT& value) override
    {
        writes.push_back(Write{name, value});
        values[name] = value;
        return true;
    }
    bool IsRTPC(LPCWSTR name) override { return rtpc.count(name) != 0; }
    void GetCurrentPlatform(GUID& platform) override { platform = GUID{}; }
    ZQ::Quarl::IChangeGroup* GetChangeGroup(std::int32_t) override { return nullptr; }
    void QueryHost(std::uint32_t, std::uint32_t& first, std::uint32_t& second, std::uint32_t& third) override
    {
        first = 11;
        second = 22;
        third = 33;
    }

    void put(const std::u16string& name, const VARIANT& value) { values[name] = value; }

    std::map<std::u16string, VARIANT> values;
    std::set<std::u16string> rtpc;
    std::vector<Write> writes;
    int reads = 0;
    bool failReads = false;
};

inline VARIANT variantOf(VARTYPE type, std::int32_t bits)
{
    VARIANT v{};
    v.vt = type;
    v.lVal = bits;
    return v;
}
} // namespace crumlet_module_test
