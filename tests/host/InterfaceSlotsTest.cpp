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
#include <iterator>
#include <vector>

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

// The slots of the operations given, in order.
template <class... Members>
std::vector<long> slotsOf(Members... members)
{
    return {slotOf(members)...};
}
} // namespace

TEST(InterfaceSlots, ParameterObjectHasTheDeletingDestructorFirst)
{
    using I = IEffectParams;
    EXPECT_EQ(slotsOf(&I::DeletingDestructor, &I::SetParam, &I::Clone, &I::Init, &I::Term, &I::SetParamsBlock),
              (std::vector<long>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(tableLength<I>(), I::kSlotCount);
}

TEST(InterfaceSlots, ProcessorHasTheDeletingDestructorFirst)
{
    using I = IEffectPlugin;
    EXPECT_EQ(slotsOf(&I::DeletingDestructor, &I::Term, &I::Reset, &I::GetPluginInfo, &I::SupportsMonitoring,
                      &I::GetLatency, &I::Init, &I::Execute, &I::TimeSkip),
              (std::vector<long>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(tableLength<I>(), I::kSlotCount);
}

TEST(InterfaceSlots, SoundEngineHostObjects)
{
    EXPECT_EQ(slotsOf(&IAllocator::Malloc, &IAllocator::Free), (std::vector<long>{1, 2}));
    EXPECT_EQ(tableLength<IAllocator>(), IAllocator::kSlotCount);
    EXPECT_EQ(slotsOf(&IProcessingContext::PostMonitorData, &IProcessingContext::CanPostMonitorData),
              (std::vector<long>{6, 7}));
    EXPECT_EQ(tableLength<IProcessingContext>(), IProcessingContext::kSlotCount);
}

TEST(InterfaceSlots, AuthoringHostObjects)
{
    using P = IPropertySet;
    EXPECT_EQ(slotsOf(&P::GetValue, &P::SetValue, &P::IsRTPC, &P::GetCurrentPlatform, &P::GetChangeGroup, &P::QueryHost),
              (std::vector<long>{0, 1, 2, 3, 9, 10}));
    EXPECT_EQ(tableLength<P>(), P::kSlotCount);
    EXPECT_EQ(slotsOf(&IChangeGroup::OpenGroup, &IChangeGroup::CloseGroup), (std::vector<long>{1, 2}));
    EXPECT_EQ(tableLength<IChangeGroup>(), IChangeGroup::kSlotCount);
    using W = IBlockWriter;
    EXPECT_EQ(slotsOf(&W::WriteBool, &W::WriteInt32, &W::WriteReal32), (std::vector<long>{4, 7, 9}));
    EXPECT_EQ(tableLength<W>(), W::kSlotCount);
}

TEST(InterfaceSlots, PluginObjectOperationsOneToTwentySeven)
{
    using A = IAudioPlugin;
    const std::vector<long> slots =
        slotsOf(&A::DestroyPlugin, &A::AttachPropertySet, &A::Reserved5, &A::Reserved11, &A::OnPropertyChanged,
                &A::WriteBankBlock, &A::Reserved17, &A::GetResourceModule, &A::GetDialogResource,
                &A::HandleWindowMessage, &A::GetPropertyDisplayName, &A::Reserved22, &A::ShowHelp,
                &A::ReceiveMonitorData, &A::Reserved25, &A::ForwardHostQuery, &A::GetValueRange);
    // Operation n sits in slot n - 1.
    const long operations[] = {1, 2, 5, 11, 12, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27};
    ASSERT_EQ(slots.size(), std::size(operations));
    for (std::size_t i = 0; i < slots.size(); ++i)
        EXPECT_EQ(slots[i], operations[i] - 1) << "operation " << operations[i];
    EXPECT_EQ(tableLength<A>(), A::kSlotCount);
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
