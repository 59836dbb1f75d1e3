// The authoring side of the host interface: the plugin object the host creates for
// every instance of the effect, and the host objects it talks to.
//
// Operations are declared in the order of the host's tables of virtual operations
// (counted from 1); reserved slots keep the numbered operations in their places.
#pragma once

#include "ZQ/QuarlTypes.h"
#include "platform/WinTypes.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace ZQ::Quarl
{
// A change (undo) group of the host: op 2 opens, op 3 closes under a label.
class IChangeGroup
{
public:
    static constexpr int kSlotCount = 3;
    virtual void Reserved1() {}
    virtual void OpenGroup(std::int32_t flags) = 0;
    virtual void CloseGroup(LPCWSTR label, std::int32_t flags) = 0;

protected:
    ~IChangeGroup() = default;
};

// The host's property set of one plugin instance.
class IPropertySet
{
public:
    static constexpr int kSlotCount = 11;
    virtual bool GetValue(const GUID& platform, LPCWSTR name, VARIANT& value) = 0;       // op 1
    virtual bool SetValue(const GUID& platform, LPCWSTR name, const VARIANT& value) = 0; // op 2
    virtual bool IsRTPC(LPCWSTR name) = 0;                                                // op 3
    virtual void GetCurrentPlatform(GUID& platform) = 0;                                  // op 4
    virtual void Reserved5() {}
    virtual void Reserved6() {}
    virtual void Reserved7() {}
    virtual void Reserved8() {}
    virtual void Reserved9() {}
    virtual IChangeGroup* GetChangeGroup(std::int32_t paramId) = 0;                       // op 10
    virtual void QueryHost(std::uint32_t value, std::uint32_t& first, std::uint32_t& second,
                           std::uint32_t& third) = 0;                                     // op 11

protected:
    ~IPropertySet() = default;
};

// The host's writer of a bank block (op 5 bool, op 8 int32, op 10 float).
class IBlockWriter
{
public:
    static constexpr int kSlotCount = 10;
    virtual void Reserved1() {}
    virtual void Reserved2() {}
    virtual void Reserved3() {}
    virtual void Reserved4() {}
    virtual bool WriteBool(bool value) = 0;
    virtual void Reserved6() {}
    virtual void Reserved7() {}
    virtual bool WriteInt32(std::int32_t value) = 0;
    virtual void Reserved9() {}
    virtual bool WriteReal32(float value) = 0;

protected:
    ~IBlockWriter() = default;
};

// One monitor entry: the second pointer-sized field points at the posted record.
struct MonitorEntry
{
    std::uintptr_t sourceId;
    const void* data;
    std::uint32_t bytes;
};

class IPluginBase
{
public:
    static constexpr int kSlotCount = 1;
    virtual void DestroyPlugin() noexcept = 0; // op 1

protected:
    ~IPluginBase() = default;
};

class IAudioPlugin : public IPluginBase
{
public:
    static constexpr int kSlotCount = 27;
    virtual void AttachPropertySet(IPropertySet* propertySet) noexcept = 0;                         // 2
    virtual void Reserved3() noexcept = 0;                                                          // 3
    virtual void Reserved4() noexcept = 0;                                                          // 4
    virtual bool Reserved5() noexcept = 0;                                                          // 5
    virtual void Reserved6() noexcept = 0;                                                          // 6
    virtual void Reserved7() noexcept = 0;                                                          // 7
    virtual bool Reserved8() noexcept = 0;                                                          // 8
    virtual bool Reserved9() noexcept = 0;                                                          // 9
    virtual bool Reserved10() noexcept = 0;                                                         // 10
    virtual void Reserved11() noexcept = 0;                                                         // 11
    virtual void OnPropertyChanged(const GUID& platform, LPCWSTR name) noexcept = 0;                // 12
    virtual void Reserved13() noexcept = 0;                                                         // 13
    virtual void Reserved14() noexcept = 0;                                                         // 14
    virtual void Reserved15() noexcept = 0;                                                         // 15
    virtual bool WriteBankBlock(const GUID& platform, IBlockWriter* writer) noexcept = 0;           // 16
    virtual bool Reserved17() noexcept = 0;                                                         // 17
    virtual HINSTANCE GetResourceModule() noexcept = 0;                                             // 18
    virtual bool GetDialogResource(std::int32_t selector, UINT& dialogId, void*& table) noexcept = 0; // 19
    virtual bool HandleWindowMessage(std::int32_t selector, HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam, LRESULT& result) noexcept = 0;                  // 20
    virtual bool GetPropertyDisplayName(LPCWSTR name, LPWSTR buffer, UINT length) noexcept = 0;     // 21
    virtual bool Reserved22() noexcept = 0;                                                         // 22
    virtual bool ShowHelp(HWND window, std::int32_t selector) noexcept = 0;                         // 23
    virtual void ReceiveMonitorData(const MonitorEntry* entries, std::uint32_t count, bool byteSwap,
                                    std::uint8_t extra) noexcept = 0;                               // 24
    virtual std::int32_t Reserved25() noexcept = 0;                                                 // 25
    virtual std::uint32_t ForwardHostQuery(std::uint32_t value) noexcept = 0;                       // 26
    virtual bool GetValueRange(double& low, double& high) noexcept = 0;                             // 27

protected:
    ~IAudioPlugin() = default;
};

// Default answers for every operation a plugin object does not override.
class DefaultAudioPluginImplementation : public IAudioPlugin
{
public:
    void AttachPropertySet(IPropertySet*) noexcept override {}
    void Reserved3() noexcept override {}
    void Reserved4() noexcept override {}
    bool Reserved5() noexcept override { return true; }
    void Reserved6() noexcept override {}
    void Reserved7() noexcept override {}
    bool Reserved8() noexcept override { return false; }
    bool Reserved9() noexcept override { return false; }
    bool Reserved10() noexcept override { return true; }
    void Reserved11() noexcept override {}
    void OnPropertyChanged(const GUID&, LPCWSTR) noexcept override {}
    void Reserved13() noexcept override {}
    void Reserved14() noexcept override {}
    void Reserved15() noexcept override {}
    bool WriteBankBlock(const GUID&, IBlockWriter*) noexcept override { return false; }
    bool Reserved17() noexcept override { return false; }
    HINSTANCE GetResourceModule() noexcept override { return nullptr; }
    bool GetDialogResource(std::int32_t, UINT&, void*&) noexcept override { return false; }
    bool HandleWindowMessage(std::int32_t, HWND, UINT, WPARAM, LPARAM, LRESULT& result) noexcept override
    {
        result = 0;
        return false;
    }
    bool GetPropertyDisplayName(LPCWSTR, LPWSTR, UINT) noexcept override { return false; }
    bool Reserved22() noexcept override { return false; }
    bool ShowHelp(HWND, std::int32_t) noexcept override { return false; }
    void ReceiveMonitorData(const MonitorEntry*, std::uint32_t, bool, std::uint8_t) noexcept override {}
    std::int32_t Reserved25() noexcept override { return 0; }
    std::uint32_t ForwardHostQuery(std::uint32_t) noexcept override { return 2; }
    bool GetValueRange(double& low, double& high) noexcept override
    {
        low = 0.0;
        high = 3.4028234663852886e38; // the largest single-precision value
        return false;
    }

protected:
    ~DefaultAudioPluginImplementation() = default;
};
} // namespace ZQ::Quarl

// What a host built with Microsoft's compiler sees (x86-64), on every compiler that builds
// either side; the slot counts are checked against the compiler's tables by
// tests/host/InterfaceSlotsTest.cpp and, from C, by windows/tests/AbiProbe.c.
static_assert(sizeof(WCHAR) == 2, "property names are UTF-16");
static_assert(sizeof(GUID) == 16, "GUID");
static_assert(sizeof(void*) != 8 || sizeof(VARIANT) == 24, "VARIANT");
static_assert(offsetof(ZQ::Quarl::MonitorEntry, data) == sizeof(void*) &&
                  sizeof(ZQ::Quarl::MonitorEntry) == 3 * sizeof(void*),
              "the record is the entry's second pointer-sized field");
static_assert(!std::has_virtual_destructor_v<ZQ::Quarl::IAudioPlugin> &&
                  !std::has_virtual_destructor_v<ZQ::Quarl::IPropertySet> &&
                  !std::has_virtual_destructor_v<ZQ::Quarl::IBlockWriter> &&
                  !std::has_virtual_destructor_v<ZQ::Quarl::IChangeGroup>,
              "no C++ virtual destructor in a host table: its slot count differs between ABIs");

// Exported by the module: makes a new authoring plugin object, or null.
using ZqCreatePluginFn = ZQ::Quarl::IAudioPlugin* (*)();
