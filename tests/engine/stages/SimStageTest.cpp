// The device simulation stage: level conversion, output gain and its tail.
#include "engine/filters/FilterDesign.h"
#include "engine/stages/SimStage.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/StageRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace crumlet_test;

TEST(SimStage, LevelConversion)
{
    EXPECT_DOUBLE_EQ(simLevelToGain(-0.9), std::pow(10.0, -0.045));
    EXPECT_NEAR(simLevelToGain(-18.0), 0.12589254, 1e-8);
    EXPECT_DOUBLE_EQ(simLevelToGain(1.0), 1.0); // unity models
    EXPECT_DOUBLE_EQ(simLevelToGain(0.0), 0.0); // 0 or more is already linear
}

// The slowest section's time constant times 6.91, truncated.
TEST(SimStage, TailOfLoadedChain)
{
    BiquadSection chain[kSimSectionCount];
    EXPECT_EQ(SimTailLength(chain), 6); // identity sections: 1 sample each
    chain[2].a1 = -1.5f;
    chain[2].a2 = 0.5625f; // double pole at 0.75: 4 samples
    EXPECT_EQ(SimTailLength(chain), 27);
    chain[5].a1 = 0.f;
    chain[5].a2 = 0.81f; // radius 0.9: 10 samples
    EXPECT_EQ(SimTailLength(chain), 69);
}

TEST(SimStage, GainsAndTailFromModel)
{
    StageRig<SimStage> rig(2);
    SimParams p = defaultParams().sim;
    p.type = 0;
    rig.stage.setup(48000, p);
    EXPECT_FLOAT_EQ(rig.stage.wetGain(), static_cast<float>(std::pow(10.0, -0.9 / 20.0)));

    BiquadCoefs designed[kSimSectionCount];
    SimModelSections(48000, 0, 1.0, designed);
    std::int64_t longest = 0;
    for (int k = 0; k < kSimSectionCount; ++k)
    {
        expectLoaded(designed[k], rig.stage.memory[1].sections[k]);
        longest = std::max(longest, referenceTail(designed[k]));
    }
    EXPECT_EQ(rig.stage.tail(), longest);

    p.type = 1; // a unity model
    rig.stage.setup(48000, p);
    EXPECT_EQ(rig.stage.wetGain(), 1.f);
}

// Tuning moves the tuned sections only: model 0 at 200 % has its shelf at 474 Hz while
// the 56 Hz high-pass and the 6 kHz low-pass stay.
TEST(SimStage, TuningMovesTunedSections)
{
    StageRig<SimStage> rig;
    SimParams p = defaultParams().sim;
    p.type = 0;
    p.tuning = 200.f;
    rig.stage.setup(48000, p);
    const BiquadSection* s = rig.stage.memory[0].sections;
    expectLoaded(filters::HighPass1(48000, 56.0), s[0]);
    expectLoaded(filters::LowShelf(48000, 474.0, 0.75, 4.3), s[1]);
    expectLoaded(filters::LowPass2(48000, 6000.0, 1.4), s[6]);
}
