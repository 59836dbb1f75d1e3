// The authoring side of the host interface: the plugin object the host creates for
// every instance of the effect, and the host objects it talks to.
//
// Operations are declared in the order of the host's tables of virtual operations
// (counted from 1); reserved slots keep the numbered operations in their places.
#pragma once

#include "ZQ/QuarlTypes.h"
#include "platform/WinTypes.h"

#include <cstdint>

namespace ZQ::Quarl
{
// A change (undo) group of the host: op 2 opens, op 3 closes under a label.
class IChangeGroup
{
public:
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
    virtual void DestroyPlugin() = 0; // op 1

protected:
    ~IPluginBase() = default;
};

class IAudioPlugin : public IPluginBase
{
public:
    virtual void AttachPropertySet(IPropertySet* propertySet) = 0;                        // 2
    virtual void Reserved3() = 0;                                                         // 3
    virtual void Reserved4() = 0;                                                         // 4
    virtual bool Reserved5() = 0;                                                         // 5
    virtual void Reserved6() = 0;                                                         // 6
    virtual void Reserved7() = 0;                                                         // 7
    virtual bool Reserved8() = 0;                                                         // 8
    virtual bool Reserved9() = 0;                                                         // 9
    virtual bool Reserved10() = 0;                                                        // 10
    virtual void Reserved11() = 0;                                                        // 11
    virtual void OnPropertyChanged(const GUID& platform, LPCWSTR name) = 0;               // 12
    virtual void Reserved13() = 0;                                                        // 13
    virtual void Reserved14() = 0;                                                        // 14
    virtual void Reserved15() = 0;                                                        // 15
    virtual bool WriteBankBlock(const GUID& platform, IBlockWriter* writer) = 0;          // 16
    virtual bool Reserved17() = 0;                                                        // 17
    virtual HINSTANCE GetResourceModule() = 0;                                            // 18
    virtual bool GetDialogResource(std::int32_t selector, UINT& dialogId, void*& table) = 0; // 19
    virtual bool HandleWindowMessage(std::int32_t selector, HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam, LRESULT& result) = 0;                 // 20
    virtual bool GetPropertyDisplayName(LPCWSTR name, LPWSTR buffer, UINT length) = 0;    // 21
    virtual bool Reserved22() = 0;                                                        // 22
    virtual bool ShowHelp(HWND window, std::int32_t selector) = 0;                        // 23
    virtual void ReceiveMonitorData(const MonitorEntry* entries, std::uint32_t count, bool byteSwap,
                                    std::uint8_t extra) = 0;                              // 24
    virtual std::int32_t Reserved25() = 0;                                                // 25
    virtual std::uint32_t ForwardHostQuery(std::uint32_t value) = 0;                      // 26
    virtual bool GetValueRange(double& low, double& high) = 0;                            // 27

protected:
    ~IAudioPlugin() = default;
};

// Default answers for every operation a plugin object does not override.
class DefaultAudioPluginImplementation : public IAudioPlugin
{
public:
    void AttachPropertySet(IPropertySet*) override {}
    void Reserved3() override {}
    void Reserved4() override {}
    bool Reserved5() override { return true; }
    void Reserved6() override {}
    void Reserved7() override {}
    bool Reserved8() override { return false; }
    bool Reserved9() override { return false; }
    bool Reserved10() override { return true; }
    void Reserved11() override {}
    void OnPropertyChanged(const GUID&, LPCWSTR) override {}
    void Reserved13() override {}
    void Reserved14() override {}
    void Reserved15() override {}
    bool WriteBankBlock(const GUID&, IBlockWriter*) override { return false; }
    bool Reserved17() override { return false; }
    HINSTANCE GetResourceModule() override { return nullptr; }
    bool GetDialogResource(std::int32_t, UINT&, void*&) override { return false; }
    bool HandleWindowMessage(std::int32_t, HWND, UINT, WPARAM, LPARAM, LRESULT& result) override
    {
        result = 0;
        return false;
    }
    bool GetPropertyDisplayName(LPCWSTR, LPWSTR, UINT) override { return false; }
    bool Reserved22() override { return false; }
    bool ShowHelp(HWND, std::int32_t) override { return false; }
    void ReceiveMonitorData(const MonitorEntry*, std::uint32_t, bool, std::uint8_t) override {}
    std::int32_t Reserved25() override { return 0; }
    std::uint32_t ForwardHostQuery(std::uint32_t) override { return 2; }
    bool GetValueRange(double& low, double& high) override
    {
        low = 0.0;
        high = 3.4028234663852886e38; // the largest single-precision value
        return false;
    }

protected:
    ~DefaultAudioPluginImplementation() = default;
};
} // namespace ZQ::Quarl

// Exported by the module: makes a new authoring plugin object, or null.
using ZqCreatePluginFn = ZQ::Quarl::IAudioPlugin* (*)();
