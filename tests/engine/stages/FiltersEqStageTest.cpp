// The engine's Filters pair and EQ band: section choice, damping from the Q control,
// tails and the response actually heard.
#include "engine/filters/FilterDesign.h"
#include "engine/stages/EqStage.h"
#include "engine/stages/FiltersStage.h"
#include "engine/stages/SimStage.h"
#include "engine/simd/CascadeDispatch.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/StageRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace crumlet_test;

TEST(FiltersStage, DampingFromQControl)
{
    EXPECT_DOUBLE_EQ(filters::passDamping(0.0), 1.414);
    EXPECT_NEAR(filters::passDamping(25.0), 1.414 - 0.5 * 1.1312, 1e-12);
    EXPECT_NEAR(filters::passDamping(100.0), 0.2828, 1e-12);
    EXPECT_DOUBLE_EQ(filters::passDamping(-50.0), 1.414); // root only of positive values
}

TEST(FiltersStage, LoadsSectionsBySlope)
{
    StageRig<FiltersStage> rig(2);
    FiltersParams p = defaultParams().filters;
    p.hpfFreq = 200.f;
    p.hpfQ = 25.f;
    p.hpfSlope = 1;
    p.lpfFreq = 5000.f;
    p.lpfSlope = 0;
    rig.stage.setup(48000, p);
    const BiquadCoefs hp = filters::HighPass2(48000, 200.0, 1.414 - 0.5 * 1.1312);
    const BiquadCoefs lp = filters::LowPass2(48000, 5000.0, 1.414);
    for (unsigned c = 0; c < 2; ++c)
    {
        expectLoaded(hp, rig.stage.memory[c].sections[0]);
        expectLoaded(hp, rig.stage.memory[c].sections[1]);
        expectLoaded(lp, rig.stage.memory[c].sections[2]);
        expectLoaded(BiquadCoefs::identity(), rig.stage.memory[c].sections[3]);
    }
}

// Tail: the slower first section's decay times 6.91, or times 1.6931472 * 6.91 when the
// slower side is doubled by its 24 dB/oct slope.
TEST(FiltersStage, TailFollowsTheSlowerSide)
{
    StageRig<FiltersStage> rig;
    FiltersParams p = defaultParams().filters;
    p.hpfFreq = 20.f;
    p.lpfFreq = 18000.f;
    const BiquadCoefs hp = filters::HighPass2(48000, 20.0, 1.414);
    const double rHp = referenceDecay(static_cast<float>(hp.a1), static_cast<float>(hp.a2));
    ASSERT_GT(rHp, referenceDecay(static_cast<float>(filters::LowPass2(48000, 18000.0, 1.414).a1),
                                  static_cast<float>(filters::LowPass2(48000, 18000.0, 1.414).a2)));

    rig.stage.setup(48000, p);
    EXPECT_EQ(rig.stage.tail(), static_cast<std::int32_t>(rHp * 6.91));
    p.lpfSlope = 1; // the faster side doubled: no change
    rig.stage.setup(48000, p);
    EXPECT_EQ(rig.stage.tail(), static_cast<std::int32_t>(rHp * 6.91));
    p.hpfSlope = 1;
    rig.stage.setup(48000, p);
    EXPECT_EQ(rig.stage.tail(), static_cast<std::int32_t>(rHp * 1.6931472 * 6.91));
    EXPECT_GT(static_cast<std::int32_t>(rHp * 6.91), 2000); // a 20 Hz corner rings for tens of ms
}

// A 4 kHz tone through a 1 kHz low-pass comes out at the design's magnitude, and the
// 24 dB/oct slope doubles the attenuation in dB.
TEST(FiltersStage, HeardResponseMatchesDesign)
{
    const double designDb = filters::MagnitudeDb(filters::LowPass2(48000, 1000.0, 1.414), 4000.0, 48000.0);
    for (int slope : {0, 1})
    {
        StageRig<FiltersStage> rig;
        FiltersParams p = defaultParams().filters;
        p.lpfFreq = 1000.f;
        p.lpfSlope = slope;
        p.hpfFreq = 20.f;
        rig.stage.setup(48000, p);
        std::vector<float> x = sine(48000, 4000.0, 48000.0, 0.5);
        rig.process(x.data(), 48000);
        const double heardDb = 20.0 * std::log10(settledAmplitude(x.data(), 48000) / 0.5);
        EXPECT_NEAR(heardDb, designDb * (slope + 1), 0.05) << "slope " << slope;
    }
}

TEST(EqStage, SectionPerType)
{
    EqParams p = defaultParams().eq;
    p.freq = 2000.f;
    p.q = 50.f;
    p.gainDb = -7.f;
    const double d = 1.414 - std::sqrt(0.5) * 1.1312;
    p.type = 0;
    expectLoaded(filters::HighPass2(44100, 2000.0, d), asLoaded(designEqSection(44100, p)));
    p.type = 1; // Q' = 9 * 0.5^2 + 1 = 3.25
    expectLoaded(filters::Peaking12(44100, 2000.0, 3.25, -7.0), asLoaded(designEqSection(44100, p)));
    p.type = 2;
    expectLoaded(filters::LowPass2(44100, 2000.0, d), asLoaded(designEqSection(44100, p)));
    p.type = 3;
    expectLoaded(BiquadCoefs::identity(), asLoaded(designEqSection(44100, p)));
}

TEST(EqStage, PeakIsHeardAndTailMatchesDecay)
{
    StageRig<EqStage> rig;
    EqParams p = defaultParams().eq;
    p.type = 1;
    p.freq = 1000.f;
    p.q = 100.f; // Q' = 10
    p.gainDb = 12.f;
    const BiquadCoefs design = filters::Peaking12(48000, 1000.0, 10.0, 12.0);
    rig.stage.setup(48000, p);
    EXPECT_EQ(rig.stage.tail(), referenceTail(design));

    std::vector<float> x = sine(48000, 1000.0, 48000.0, 0.1);
    rig.process(x.data(), 48000);
    const double heardDb = 20.0 * std::log10(settledAmplitude(x.data(), 48000) / 0.1);
    EXPECT_NEAR(heardDb, filters::MagnitudeDb(design, 1000.0, 48000.0), 0.05);
    EXPECT_NEAR(heardDb, 12.0, 0.5);

    // The flat default (0 dB) still reports the section's own decay.
    rig.stage.setup(48000, defaultParams().eq);
    EXPECT_EQ(rig.stage.tail(), referenceTail(filters::Peaking12(48000, 1000.0, 1.0, 0.0)));
}

// However the stages spread channels and sections over vector lanes, every channel's
// output is the plain direct-form-I recursion of its loaded sections, one after another,
// and the memories carry over to the next block.
template <typename Stage>
void expectScalarCascade(unsigned channels, const typename Stage::Params& p)
{
    StageRig<Stage> rig(channels);
    Stage& stage = rig.stage;
    stage.setup(48000, p);
    for (unsigned frames : {1u, 63u, 64u, 65u, 67u, 1000u})
    {
        std::vector<std::vector<float>> x(channels), expected(channels);
        std::vector<float*> ptrs;
        std::vector<std::vector<BiquadSection>> scalar(channels);
        for (unsigned c = 0; c < channels; ++c)
        {
            stage.resetChannel(c);
            scalar[c].assign(std::begin(stage.memory[c].sections), std::end(stage.memory[c].sections));
        }
        for (int block = 0; block < 2; ++block)
        {
            ptrs.clear();
            for (unsigned c = 0; c < channels; ++c)
            {
                x[c] = uniformNoise(frames, 0.7f, 100 * block + c);
                expected[c] = x[c];
                for (float& v : expected[c])
                    for (BiquadSection& s : scalar[c])
                        v = s.tick(v);
                ptrs.push_back(x[c].data());
            }
            rig.process(ptrs.data(), frames);
            for (unsigned c = 0; c < channels; ++c)
                ASSERT_EQ(x[c], expected[c]) << channels << " channels, " << frames << " frames, block " << block
                                             << ", channel " << c;
        }
    }
}

TEST(StageCascades, MatchScalarDirectFormI)
{
    for (const bool wide : {false, true})
    for (unsigned channels : {1u, 2u, 3u, 5u, 6u})
    {
        if (wide && !wideLanesAvailable())
            continue;
        allowWideLanes(wide);
        SCOPED_TRACE(wide ? "eight lanes" : "four lanes");
        SCOPED_TRACE(std::to_string(channels) + " channels");
        FiltersParams filters = defaultParams().filters;
        filters.lpfFreq = 3000.f, filters.lpfQ = 60.f, filters.lpfSlope = 1;
        filters.hpfFreq = 200.f, filters.hpfSlope = 1;
        expectScalarCascade<FiltersStage>(channels, filters);

        EqParams eq = defaultParams().eq;
        eq.gainDb = 9.f, eq.q = 70.f;
        expectScalarCascade<EqStage>(channels, eq);

        // Model 1 plays at unity gain: the SIM chain is the seven sections alone.
        SimParams sim = defaultParams().sim;
        sim.type = 1, sim.tuning = 80.f;
        ASSERT_EQ(SimModelLevel(1), kUnityLevel);
        expectScalarCascade<SimStage>(channels, sim);
    }
    allowWideLanes(true);
}
