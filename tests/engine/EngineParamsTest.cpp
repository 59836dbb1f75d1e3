// The processor's parameter object: defaults, the 139-byte block, single updates,
// clamping, refusals and cloning.
#include "engine/EngineParams.h"
#include "params/ParameterTable.h"
#include "quarl/HostAllocator.h"
#include "tests/support/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <vector>

using namespace crumlet_test;
using namespace ZQ::Quarl;
namespace P = ParamId;

namespace
{
// Every stored value, every flag and the mask, for whole-object comparisons.
std::vector<double> snapshot(const EngineParams& p)
{
    std::vector<double> v;
    for (const auto& f : kBlockLayout)
        v.push_back(storedValue(p, f.id));
    for (bool changed : {p.filters.changed, p.distortion.changed, p.eq.changed, p.noise.changed, p.gate.changed,
                         p.sim.changed, p.lofi.changed, p.gains.changed})
        v.push_back(changed);
    v.push_back(p.enableMask);
    return v;
}

bool groupChanged(const EngineParams& p, ParameterId id)
{
    switch (id / 10)
    {
    case 0: return p.distortion.changed;
    case 1: return p.gate.changed;
    case 2: return p.sim.changed;
    case 3: return p.lofi.changed;
    case 4: return p.gains.changed;
    case 5: return p.filters.changed;
    case 6: return p.eq.changed;
    default: return p.noise.changed;
    }
}

// The enable mask's bit of a switch (bit 0 Filters, 1 Distortion, 2 EQ, 3 Noise, 4 Gate,
// 5 SIM, 6 lo-fi); 0 for any other parameter.
int maskBitOf(ParameterId id)
{
    switch (id)
    {
    case P::FiltersEnable: return 0x01;
    case P::DistortionEnable: return 0x02;
    case P::EQEnable: return 0x04;
    case P::NoiseEnable: return 0x08;
    case P::GateEnable: return 0x10;
    case P::SIMEnable: return 0x20;
    case P::LoFiEnable: return 0x40;
    default: return 0;
    }
}

int changedGroupCount(const EngineParams& p)
{
    return p.filters.changed + p.distortion.changed + p.eq.changed + p.noise.changed + p.gate.changed +
           p.sim.changed + p.lofi.changed + p.gains.changed;
}

// A complete block written out byte by byte, every value away from its default: one line
// per stage in host order, floats and integers little-endian.
// clang-format off
const std::uint8_t kHandBlock[] = {
    // Filters: off; LPF slope 1, 18000 Hz, Q 25; HPF slope 1, 120 Hz, Q 50
    0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0xA0, 0x8C, 0x46, 0x00, 0x00, 0xC8, 0x41, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x42, 0x00, 0x00, 0x48, 0x42,
    // Distortion: on; mode 7, amount 62.5, intensity 12.5, rectify 3
    0x01, 0x07, 0x00, 0x00, 0x00, 0x00, 0x00, 0x7A, 0x42, 0x00, 0x00, 0x48, 0x41, 0x00, 0x00, 0x40, 0x40,
    // EQ: off; type 2, 2500 Hz, Q 75, -4.5 dB
    0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x40, 0x1C, 0x45, 0x00, 0x00, 0x96, 0x42, 0x00, 0x00, 0x90, 0xC0,
    // Noise: on; -60 dB, LPF 8000 Hz, HPF 200 Hz, threshold -12 dB, range -30 dB, recovery 150 ms
    0x01, 0x00, 0x00, 0x70, 0xC2, 0x00, 0x00, 0xFA, 0x45, 0x00, 0x00, 0x48, 0x43, 0x00, 0x00, 0x40, 0xC1, 0x00, 0x00, 0xF0, 0xC1, 0x00, 0x00, 0x16, 0x43,
    // SIM: on; type 99, tuning 150
    0x01, 0x63, 0x00, 0x00, 0x00, 0x00, 0x00, 0x16, 0x43,
    // Gate: off; threshold -50 dB, range -70 dB, attack 2.5 ms, hold 25 ms, release 500 ms
    0x00, 0x00, 0x00, 0x48, 0xC2, 0x00, 0x00, 0x8C, 0xC2, 0x00, 0x00, 0x20, 0x40, 0x00, 0x00, 0xC8, 0x41, 0x00, 0x00, 0xFA, 0x43,
    // Lo-fi: on; bit depth type 9, downsample index 31, filter 40
    0x01, 0x09, 0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0x42,
    // Gains: input 6 dB, output -12 dB, balance 100
    0x00, 0x00, 0xC0, 0x40, 0x00, 0x00, 0x40, 0xC1, 0x00, 0x00, 0xC8, 0x42,
};
// clang-format on
static_assert(sizeof kHandBlock == 139, "every byte of the block");
} // namespace

TEST(EngineParams, DefaultsWithoutBlock)
{
    quarl::HostAllocator alloc;
    EngineParams p;
    ASSERT_EQ(p.Init(&alloc, nullptr, 0), Success);
    for (const auto& f : kBlockLayout)
    {
        const bool isGain = f.id == P::InputGain || f.id == P::OutputGain;
        EXPECT_EQ(storedValue(p, f.id), isGain ? 1.0 : f.defaultValue) << "parameter " << f.id;
    }
    EXPECT_EQ(p.enableMask, 0x7f);
    EXPECT_EQ(changedGroupCount(p), 8);
}

TEST(EngineParams, BlockLayoutKnownAnswers)
{
    // Where each value of the block starts, in host order: a bool takes one byte, any other
    // value four.
    const std::size_t offsets[kParameterCount] = {0,  1,  5,  9,  13, 17, 21, 25,  26,  30,  34,  38,  42,  43,
                                                  47, 51, 55, 59, 60, 64, 68, 72,  76,  80,  84,  85,  89,  93,
                                                  94, 98, 102, 106, 110, 114, 115, 119, 123, 127, 131, 135};
    for (std::size_t i = 0; i < kParameterCount; ++i)
    {
        EXPECT_EQ(blockOffsetOf(i), offsets[i]) << i;
        // An identifier is ten times its stage's number plus its place in the stage.
        EXPECT_EQ(static_cast<int>(g_parameterDefinitions[i].stage), g_parameterDefinitions[i].id / 10) << i;
    }
    EXPECT_EQ(blockOffsetOf(kParameterCount), 139u);
}

TEST(EngineParams, ReadsHandWrittenBlock)
{
    EngineParams p;
    ASSERT_EQ(p.SetParamsBlock(kHandBlock, sizeof kHandBlock), Success);
    const std::vector<std::pair<ParameterId, double>> expected = {
        {P::FiltersEnable, 0},     {P::FiltersLPFSlope, 1},        {P::FiltersLPFFreq, 18000},
        {P::FiltersLPFQ, 25},      {P::FiltersHPFSlope, 1},        {P::FiltersHPFFreq, 120},
        {P::FiltersHPFQ, 50},      {P::DistortionEnable, 1},       {P::DistortionMode, 7},
        {P::DistortionAmount, 62.5}, {P::DistortionIntensity, 12.5}, {P::DistortionRectify, 3},
        {P::EQEnable, 0},          {P::EQFilterType, 2},           {P::EQFreq, 2500},
        {P::EQQ, 75},              {P::EQGain, -4.5},              {P::NoiseEnable, 1},
        {P::NoiseLevel, -60},      {P::NoiseLPFFreq, 8000},        {P::NoiseHPFFreq, 200},
        {P::NoiseThresh, -12},     {P::NoiseRange, -30},           {P::NoiseRecovery, 150},
        {P::SIMEnable, 1},         {P::SIMType, 99},               {P::SIMTuning, 150},
        {P::GateEnable, 0},        {P::GateThreshold, -50},        {P::GateRange, -70},
        {P::GateAttackTime, 2.5},  {P::GateHoldTime, 25},          {P::GateReleaseTime, 500},
        {P::LoFiEnable, 1},        {P::LoFiBitDepthType, 9},       {P::LoFiDownSampleIndex, 31},
        {P::LoFiFilter, 40},       {P::Balance, 100},
    };
    for (const auto& [id, value] : expected)
        EXPECT_EQ(storedValue(p, id), value) << "parameter " << id;
    // Gains arrive in dB and are kept linear: 10^(6/20) and 10^(-12/20).
    EXPECT_FLOAT_EQ(p.gains.inputGain, 1.9952623f);
    EXPECT_FLOAT_EQ(p.gains.outputGain, 0.25118864f);
    EXPECT_EQ(p.enableMask, 0x7f);
    EXPECT_EQ(changedGroupCount(p), 8);
}

TEST(EngineParams, BuiltDefaultBlockRoundTrips)
{
    EngineParams fromBlock, fromDefaults;
    fromBlock.setDefaults();
    fromBlock.SetParamsBlock(kHandBlock, sizeof kHandBlock);
    const BlockBuilder defaults;
    ASSERT_EQ(fromBlock.SetParamsBlock(defaults.data(), defaults.size()), Success);
    fromDefaults.setDefaults();
    EXPECT_EQ(snapshot(fromBlock), snapshot(fromDefaults));
}

TEST(EngineParams, WrongSizedBlockIsRefused)
{
    quarl::HostAllocator alloc;
    EngineParams fresh;
    for (std::uint32_t bytes : {1u, 138u, 140u})
    {
        EngineParams p;
        EXPECT_EQ(p.Init(&alloc, kHandBlock, bytes), InvalidParameter) << bytes;
        EXPECT_EQ(snapshot(p), snapshot(fresh)) << "defaults kept, " << bytes;
    }
    EngineParams noBlock;
    EXPECT_EQ(noBlock.Init(&alloc, nullptr, 139), InvalidParameter);
    EXPECT_EQ(snapshot(noBlock), snapshot(fresh));
    EngineParams p;
    ASSERT_EQ(p.SetParamsBlock(kHandBlock, 139), Success);
    p.clearChanged();
    const auto before = snapshot(p);
    const BlockBuilder defaults;
    EXPECT_EQ(p.SetParamsBlock(defaults.data(), 138), InvalidParameter);
    EXPECT_EQ(p.SetParamsBlock(nullptr, 139), InvalidParameter);
    EXPECT_EQ(snapshot(p), before) << "previous values kept";
}

struct UpdateCase
{
    ParameterId id;
    FieldType sentAs;
    double sent;
    double stored;
};

void PrintTo(const UpdateCase& c, std::ostream* os)
{
    *os << "parameter " << c.id << " sent " << c.sent;
}

class SetParamTest : public ::testing::TestWithParam<UpdateCase>
{
};

TEST_P(SetParamTest, StoresValueAndMarksOnlyItsGroup)
{
    const UpdateCase& c = GetParam();
    EngineParams p;
    p.clearChanged();
    Result r = InvalidParameter;
    switch (c.sentAs)
    {
    case FieldType::Bool:
    {
        const bool b = c.sent != 0.0;
        r = p.SetParam(c.id, &b, 1);
        break;
    }
    case FieldType::Int:
    {
        const auto i = static_cast<std::int32_t>(c.sent);
        r = p.SetParam(c.id, &i, 4);
        break;
    }
    case FieldType::Float:
    {
        const auto f = static_cast<float>(c.sent);
        r = p.SetParam(c.id, &f, 4);
        break;
    }
    }
    ASSERT_EQ(r, Success);
    EXPECT_FLOAT_EQ(static_cast<float>(storedValue(p, c.id)), static_cast<float>(c.stored));
    EXPECT_TRUE(groupChanged(p, c.id));
    EXPECT_EQ(changedGroupCount(p), 1);
    EXPECT_EQ(p.enableMask, maskBitOf(c.id));
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// clang-format off
INSTANTIATE_TEST_SUITE_P(EngineParams, SetParamTest, ::testing::Values(
    UpdateCase{P::FiltersEnable, FieldType::Bool, 0, 0},
    UpdateCase{P::GateEnable, FieldType::Bool, 0, 0},
    UpdateCase{P::LoFiEnable, FieldType::Int, 0, 0},
    UpdateCase{P::NoiseEnable, FieldType::Int, 0, 0},
    UpdateCase{P::FiltersLPFSlope, FieldType::Int, 1, 1},
    UpdateCase{P::DistortionMode, FieldType::Int, 8, 8},
    UpdateCase{P::DistortionMode, FieldType::Int, 12, 9},
    UpdateCase{P::EQFilterType, FieldType::Int, 0, 0},
    UpdateCase{P::SIMType, FieldType::Int, 57, 57},
    UpdateCase{P::SIMType, FieldType::Int, 9999, 163},
    UpdateCase{P::SIMType, FieldType::Int, -4, 0},
    UpdateCase{P::LoFiBitDepthType, FieldType::Float, 7.9, 7},        // lo-fi lists arrive as floats
    UpdateCase{P::LoFiDownSampleIndex, FieldType::Float, 31.99, 31},
    UpdateCase{P::LoFiDownSampleIndex, FieldType::Float, 40.0, 32},
    UpdateCase{P::InputGain, FieldType::Float, -6.0, 0.50118723},     // 10^(-6/20)
    UpdateCase{P::OutputGain, FieldType::Float, 12.0, 3.9810717},
    UpdateCase{P::OutputGain, FieldType::Float, 60.0, 15.848932},     // clamped to +24 dB
    UpdateCase{P::InputGain, FieldType::Float, kNaN, 1.0},            // NaN: the 0 dB default
    UpdateCase{P::Balance, FieldType::Float, 37.5, 37.5},
    UpdateCase{P::EQFreq, FieldType::Float, -100.0, 120.0},
    UpdateCase{P::FiltersHPFFreq, FieldType::Float, 1e9, 20000.0},
    UpdateCase{P::NoiseLevel, FieldType::Float, kNaN, -96.0},
    UpdateCase{P::GateAttackTime, FieldType::Float, 0.0, 0.1},
    UpdateCase{P::NoiseRecovery, FieldType::Float, 77.25, 77.25},
    UpdateCase{P::SIMTuning, FieldType::Float, -1e30, 50.0},
    UpdateCase{P::DistortionRectify, FieldType::Float, 50.0, 50.0}));
// clang-format on

TEST(EngineParams, UnknownIdentifiersAreRefused)
{
    EngineParams p;
    p.clearChanged();
    const auto before = snapshot(p);
    const float value = 1.f;
    for (ParameterId id : {5, 9, 16, 23, 29, 34, 43, 57, 65, 69, 77, 1000, -1, std::numeric_limits<std::int32_t>::min()})
        EXPECT_EQ(p.SetParam(id, &value, sizeof value), InvalidParameter) << id;
    // A known identifier with no value, or too few bytes for a number, is refused too.
    EXPECT_EQ(p.SetParam(P::EQFreq, nullptr, 4), InvalidParameter);
    EXPECT_EQ(p.SetParam(P::EQFreq, &value, 2), InvalidParameter);
    EXPECT_EQ(snapshot(p), before);
}

TEST(EngineParams, EveryParameterAcceptsItsHostType)
{
    EngineParams p;
    for (const auto& f : kBlockLayout)
    {
        p.clearChanged();
        EXPECT_EQ(sendParam(p, f.id, f.defaultValue), Success) << f.id;
        EXPECT_TRUE(groupChanged(p, f.id)) << f.id;
    }
}

TEST(EngineParams, CloneCopiesValuesAndMarksEverything)
{
    quarl::HostAllocator alloc;
    EngineParams original;
    original.SetParamsBlock(kHandBlock, sizeof kHandBlock);
    original.clearChanged();

    IEffectParams* clone = original.Clone(&alloc);
    ASSERT_NE(clone, nullptr);
    auto& copy = *static_cast<EngineParams*>(clone);
    for (const auto& f : kBlockLayout)
        EXPECT_EQ(storedValue(copy, f.id), storedValue(original, f.id)) << f.id;
    EXPECT_EQ(changedGroupCount(copy), 8);
    EXPECT_EQ(copy.enableMask, 0x7f);
    EXPECT_EQ(changedGroupCount(original), 0);

    // The clone is independent of its original.
    sendParam(copy, P::EQFreq, 4000);
    EXPECT_EQ(original.eq.freq, 2500.f);

    EXPECT_EQ(clone->Term(&alloc), Success);
    EXPECT_EQ(alloc.liveBlocks(), 0u);

    alloc.setOutOfMemory(true);
    EXPECT_EQ(original.Clone(&alloc), nullptr);
    EXPECT_EQ(EngineParams::create(&alloc), nullptr);
}
