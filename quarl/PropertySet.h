// The stand-in host's property set of one plugin instance: the values of the plugin's
// properties as VARIANTs of their declared types, per platform, with the host's answers
// around them (game-driven properties, change groups, the host query).
#pragma once

#include "ZQ/QuarlPlugin.h"
#include "quarl/PluginDescription.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace quarl
{
// The platform the stand-in host edits unless told otherwise.
constexpr GUID kAuthoringPlatform = {0x5E3C1A70, 0x2B4D, 0x4C61, {0x9A, 0x1E, 0x43, 0x72, 0x75, 0x6D, 0x6C, 0x01}};

// One step of a change group, in the order the plugin took it.
struct ChangeGroupEvent
{
    enum class Kind
    {
        Opened,
        Closed,
    };
    Kind kind;
    std::int32_t paramId; // what the plugin passed when it asked for the group
    std::string label;    // the closing label; empty when opened
    std::int32_t flags;
};

class PropertySet final : public ZQ::Quarl::IPropertySet
{
public:
    // Every property at the description's default.
    explicit PropertySet(PluginDescription description);
    ~PropertySet() = default;
    PropertySet(const PropertySet&) = delete;
    PropertySet& operator=(const PropertySet&) = delete;

    // The host's operations as the plugin calls them.
    // op 1: the value for `platform`; false for a name that is not a property.
    bool GetValue(const GUID& platform, LPCWSTR name, VARIANT& value) override;
    // op 2: converts to the property's type (as VariantChangeType does; floats to int round
    // half to even), brings it into range and stores it for `platform`. False for an
    // unknown name, a type other than bool, int32 and float, or a value that is not a number.
    bool SetValue(const GUID& platform, LPCWSTR name, const VARIANT& value) override;
    bool IsRTPC(LPCWSTR name) override;                          // op 3
    void GetCurrentPlatform(GUID& platform) override;            // op 4
    ZQ::Quarl::IChangeGroup* GetChangeGroup(std::int32_t paramId) override; // op 10
    // op 11: first = the value asked about, second = the answer set with setQueryAnswer, third = 0.
    void QueryHost(std::uint32_t value, std::uint32_t& first, std::uint32_t& second, std::uint32_t& third) override;

    // The host's own side.
    const PluginDescription& description() const { return m_description; }
    bool has(const std::string& name) const { return m_description.indexOf(name) >= 0; }

    // The value for the current platform, as its VARIANT; false for an unknown name.
    bool get(const std::string& name, VARIANT& value) const;
    // The value for the current platform as a number (a bool as 1 or 0); NaN for an unknown name.
    double value(const std::string& name) const;
    // Sets a value for the current platform as SetValue does: bools take non-zero as true,
    // ints round, everything is brought into range. False for an unknown name or NaN.
    bool set(const std::string& name, double value);
    bool setVariant(const std::string& name, const VARIANT& value);
    // Every property of every platform back to its default.
    void resetToDefaults();

    void setCurrentPlatform(const GUID& platform) { m_platform = platform; }
    const GUID& currentPlatform() const { return m_platform; }

    // Marks a property as driven by a game parameter (an RTPC), or no longer.
    void setRTPC(const std::string& name, bool driven);

    // When off, op 10 answers null (the host offers no change groups).
    void setChangeGroupsAvailable(bool available) { m_groupsAvailable = available; }
    const std::vector<ChangeGroupEvent>& changeGroupEvents() const { return m_groupEvents; }
    // Groups opened and not yet closed.
    int openChangeGroups() const { return m_openGroups; }

    void setQueryAnswer(std::uint32_t second) { m_queryAnswer = second; }
    const std::vector<std::uint32_t>& queries() const { return m_queries; }

    // Called after every stored change with the platform and the property name, as the
    // host notifies the plugin object (its operation 12).
    using ChangeListener = std::function<void(const GUID& platform, LPCWSTR name)>;
    void setChangeListener(ChangeListener listener) { m_listener = std::move(listener); }

    // How many values op 2 and the host's setters stored.
    std::uint64_t writeCount() const { return m_writeCount; }

private:
    using PlatformKey = std::array<std::uint8_t, 16>;
    static PlatformKey keyOf(const GUID& platform);

    class ChangeGroup final : public ZQ::Quarl::IChangeGroup
    {
    public:
        explicit ChangeGroup(PropertySet& owner) : m_owner(owner) {}
        void OpenGroup(std::int32_t flags) override;
        void CloseGroup(LPCWSTR label, std::int32_t flags) override;
        std::int32_t paramId = 0;

    private:
        PropertySet& m_owner;
    };

    const VARIANT& stored(const GUID& platform, std::size_t index) const;
    bool store(const GUID& platform, int index, const VARIANT& value);
    bool convert(const PropertyDescription& property, const VARIANT& in, VARIANT& out) const;

    PluginDescription m_description;
    std::vector<VARIANT> m_defaults;
    std::map<PlatformKey, std::vector<VARIANT>> m_values;
    GUID m_platform = kAuthoringPlatform;
    std::set<std::string> m_rtpc;
    bool m_groupsAvailable = true;
    ChangeGroup m_group{*this};
    std::vector<ChangeGroupEvent> m_groupEvents;
    int m_openGroups = 0;
    std::uint32_t m_queryAnswer = 0;
    std::vector<std::uint32_t> m_queries;
    ChangeListener m_listener;
    std::uint64_t m_writeCount = 0;
};

// A VARIANT holding one value of each host type.
VARIANT makeBool(bool value);
VARIANT makeInt(std::int32_t value);
VARIANT makeFloat(float value);
} // namespace quarl
