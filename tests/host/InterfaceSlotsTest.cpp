// The slot of every host operation as this compiler lays out the tables of virtual
// operations, against the slots the host calls (counted from 0; the host counts its
// operations from 1), and each table's length against the interface's kSlotCount. An
// operation declared in the wrong place, a second destructor slot or an overload fails here.
//
// A pointer to a virtual member function holds 1 + the byte offset of its slot under the
// Itanium C++ ABI (GCC and Clang, mingw-w64 included), which is what this reads; the C probe
// (windows/tests/AbiProbe.c) makes the same calls as a host built with Microsoft's compiler.
#include "ZQ/QuarlPlugin.h"
#include "ZQ/QuarlSoundEngine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

using namespace ZQ::Quarl;

#if defined(__GNUC__) && defined(__x86_64__)
namespace
{
// The slot of a virtual member function, or -1 for one that is not virtual.
template <class Class, class Function>
long slotOf(Function Class::*member)
{
    struct Representation
    {
        std::uintptr_t pointer;
        std::ptrdiff_t adjustment;
    };
    static_assert(sizeof member == sizeof(Representation), "an Itanium member-function pointer");
    Representation r;
    std::memcpy(&r, &member, sizeof r);
    if ((r.pointer & 1) == 0)
        return -1;
    return static_cast<long>((r.pointer - 1) / sizeof(void*));
}

// A class that adds one operation after the interface's: it lands in the first free slot.
template <class Interface>
struct After : Interface
{
    virtual void firstFreeSlot() noexcept {}
};

template <class Interface>
long tableLength()
{
    return slotOf(&After<Interface>::firstFreeSlot);
}
} // namespace

TEST(InterfaceSlots, ParameterObjectHasTheDeletingDestructorFirst)
{
    EXPECT_EQ(slotOf(&IEffectParams::DeletingDestructor), 0);
    EXPECT_EQ(slotOf(&IEffectParams::SetParam), 1);
    EXPECT_EQ(slotOf(&IEffectParams::Clone), 2);
    EXPECT_EQ(slotOf(&IEffectParams::Init), 3);
    EXPECT_EQ(slotOf(&IEffectParams::Term), 4);
    EXPECT_EQ(slotOf(&IEffectParams::SetParamsBlock), 5);
    EXPECT_EQ(tableLength<IEffectParams>(), IEffectParams::kSlotCount);
}

TEST(InterfaceSlots, ProcessorHasTheDeletingDestructorFirst)
{
    EXPECT_EQ(slotOf(&IEffectPlugin::DeletingDestructor), 0);
    EXPECT_EQ(slotOf(&IEffectPlugin::Term), 1);
    EXPECT_EQ(slotOf(&IEffectPlugin::Reset), 2);
    EXPECT_EQ(slotOf(&IEffectPlugin::GetPluginInfo), 3);
    EXPECT_EQ(slotOf(&IEffectPlugin::SupportsMonitoring), 4);
    EXPECT_EQ(slotOf(&IEffectPlugin::GetLatency), 5);
    EXPECT_EQ(slotOf(&IEffectPlugin::Init), 6);
    EXPECT_EQ(slotOf(&IEffectPlugin::Execute), 7);
    EXPECT_EQ(slotOf(&IEffectPlugin::TimeSkip), 8);
    EXPECT_EQ(tableLength<IEffectPlugin>(), IEffectPlugin::kSlotCount);
}

TEST(InterfaceSlots, SoundEngineHostObjects)
{
    EXPECT_EQ(slotOf(&IAllocator::Malloc), 1);
    EXPECT_EQ(slotOf(&IAllocator::Free), 2);
    EXPECT_EQ(tableLength<IAllocator>(), IAllocator::kSlotCount);
    EXPECT_EQ(slotOf(&IProcessingContext::PostMonitorData), 6);
    EXPECT_EQ(slotOf(&IProcessingContext::CanPostMonitorData), 7);
    EXPECT_EQ(tableLength<IProcessingContext>(), IProcessingContext::kSlotCount);
}

TEST(InterfaceSlots, AuthoringHostObjects)
{
    EXPECT_EQ(slotOf(&IPropertySet::GetValue), 0);
    EXPECT_EQ(slotOf(&IPropertySet::SetValue), 1);
    EXPECT_EQ(slotOf(&IPropertySet::IsRTPC), 2);
    EXPECT_EQ(slotOf(&IPropertySet::GetCurrentPlatform), 3);
    EXPECT_EQ(slotOf(&IPropertySet::GetChangeGroup), 9);
    EXPECT_EQ(slotOf(&IPropertySet::QueryHost), 10);
    EXPECT_EQ(tableLength<IPropertySet>(), IPropertySet::kSlotCount);
    EXPECT_EQ(slotOf(&IChangeGroup::OpenGroup), 1);
    EXPECT_EQ(slotOf(&IChangeGroup::CloseGroup), 2);
    EXPECT_EQ(tableLength<IChangeGroup>(), IChangeGroup::kSlotCount);
    EXPECT_EQ(slotOf(&IBlockWriter::WriteBool), 4);
    EXPECT_EQ(slotOf(&IBlockWriter::WriteInt32), 7);
    EXPECT_EQ(slotOf(&IBlockWriter::WriteReal32), 9);
    EXPECT_EQ(tableLength<IBlockWriter>(), IBlockWriter::kSlotCount);
}

TEST(InterfaceSlots, PluginObjectOperationsOneToTwentySeven)
{
    // Operation n sits in slot n - 1.
    EXPECT_EQ(slotOf(&IAudioPlugin::DestroyPlugin), 1 - 1);
    EXPECT_EQ(slotOf(&IAudioPlugin::AttachPropertySet), 2 - 1);
    EXPECT_EQ(slotOf(&IAudioPlugin::Reserved5), 5 - 1);
    EXPECT_EQ(slotOf(&IAudioPlugin::Reserved11), 11 - 1);
    EXPECT_EQ(slotOf(&IAudioPlugin::OnPropertyChanged), 12 - 1);
    EXPECT_EQ(slotOf(&IAudioPlugin::WriteBankBlock), 16 - 1);
    EXPECT_EQ(slotOf(&IAudioPlugin::Reserved17), 17 - 1);
    EXPECT_EQ(slotOf(&IAudioPlugin::GetResourceModule), 18 - 1);
    EXPECT_EQ(slotOf(&IAudioPlugin::GetDialogResource), 19 - 1);
    EXPECT_EQ(slotOf(&IAudioPlugin::HandleWindowMessage), 20 - 1);
    EXPECT_EQ(slotOf(&IAudioPlugin::GetPropertyDisplayName), 21 - 1);
    EXPECT_EQ(slotOf(&IAudioPlugin::Reserved22), 22 - 1);
    EXPECT_EQ(slotOf(&IAudioPlugin::ShowHelp), 23 - 1);
    EXPECT_EQ(slotOf(&IAudioPlugin::ReceiveMonitorData), 24 - 1);
    EXPECT_EQ(slotOf(&IAudioPlugin::Reserved25), 25 - 1);
    EXPECT_EQ(slotOf(&IAudioPlugin::ForwardHostQuery), 26 - 1);
    EXPECT_EQ(slotOf(&IAudioPlugin::GetValueRange), 27 - 1);
    EXPECT_EQ(tableLength<IAudioPlugin>(), IAudioPlugin::kSlotCount);
    EXPECT_EQ(tableLength<IPluginBase>(), IPluginBase::kSlotCount);
}

TEST(InterfaceSlots, TheReaderTellsAVirtualSlotFromAPlainFunction)
{
    struct Plain
    {
        void f() {}
    };
    EXPECT_EQ(slotOf(&Plain::f), -1);
}
#endif
