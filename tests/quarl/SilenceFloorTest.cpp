// The floor a setting makes from silence, measured on a fresh instance of the effect.
#include "quarl/SilenceFloor.h"
#include "tests/support/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using crumlet_test::BlockBuilder;
namespace P = ParamId;

namespace
{
double floorDb(const BlockBuilder& b, std::uint32_t blockFrames = 512)
{
    const std::vector<std::uint8_t> block(b.data(), b.data() + b.size());
    return 20.0 * std::log10(quarl::silenceFloorRms(crumlet_test::crumletRecord(), block, {48000, 2}, blockFrames));
}
} // namespace

TEST(SilenceFloor, IsTheHissTheSettingsMake)
{
    // Without the noise generator every stage plays silence from silence.
    EXPECT_EQ(floorDb(BlockBuilder().set(P::NoiseEnable, 0)), -HUGE_VAL);
    // The hiss follows the noise level, decibel for decibel, whatever the buffer size.
    const double at40 = floorDb(BlockBuilder().set(P::NoiseLevel, -40));
    const double at20 = floorDb(BlockBuilder().set(P::NoiseLevel, -20));
    EXPECT_GT(at40, -70.0);
    EXPECT_LT(at40, -40.0);
    EXPECT_NEAR(at20 - at40, 20.0, 0.5);
    EXPECT_NEAR(floorDb(BlockBuilder().set(P::NoiseLevel, -40), 7), at40, 0.5);
    // A gate that closes below the hiss takes it away.
    EXPECT_LT(floorDb(BlockBuilder().set(P::NoiseLevel, -40).set(P::GateThreshold, -10).set(P::GateRange, -80)),
              at40 - 60.0);
}
