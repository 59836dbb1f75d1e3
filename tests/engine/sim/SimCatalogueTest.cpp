// The device-model catalogue: the four reference models and their responses, tuning,
// stability, levels, tail length and the sound of each browser category.
#include "engine/filters/FilterDesign.h"
#include "engine/sim/SimModel.h"
#include "engine/stages/SimStage.h"
#include "params/DeviceCategories.h"
#include "tools/sim/SimCatalogueFigures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace
{
constexpr int kModels = static_cast<int>(kSimModelCount);
constexpr unsigned kRates[] = {8000, 44100, 48000, 96000};
constexpr float kTuningPercents[] = {50.f, 100.f, 200.f};

const SimSection& section(int model, int k)
{
    return g_simModels[model].sections[k];
}

bool sameCoefs(const BiquadCoefs& a, const BiquadCoefs& b)
{
    return a.b0 == b.b0 && a.b1 == b.b1 && a.b2 == b.b2 && a.a0 == b.a0 && a.a1 == b.a1 && a.a2 == b.a2;
}

// Response of the whole model in dB at f (48 kHz, level not included).
double modelDb(int model, double f, double tuning = 1.0)
{
    BiquadCoefs c[kSimSectionCount];
    SimModelSections(48000, model, tuning, c);
    double db = 0.0;
    for (const auto& s : c)
        db += filters::MagnitudeDb(s, f, 48000.0);
    return db;
}

// Highest response in dB over a fine logarithmic sweep between lo and hi.
double peakDb(int model, double lo, double hi)
{
    double best = -1e9;
    for (double f = lo; f <= hi; f *= 1.01)
        best = std::max(best, modelDb(model, f));
    return best;
}

// Memory for the stage's channels, from the C heap.
class HeapAllocator final : public ZQ::Quarl::IAllocator
{
public:
    void* Malloc(std::size_t bytes) override { return std::malloc(bytes); }
    void Free(void* pointer) override { std::free(pointer); }
};

// Deterministic noise in [-1, 1).
struct Lcg
{
    std::uint32_t state = 12345u;
    float next()
    {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(state >> 8) / 8388608.0f - 1.0f;
    }
};

struct ExpectedSection
{
    SimKind kind;
    double frequency;
    double arg1;
    double arg2;
    Tuning tuning;
};

void expectModel(int model, double level, const std::array<ExpectedSection, kSimSectionCount>& expected)
{
    SCOPED_TRACE("model " + std::to_string(model));
    EXPECT_EQ(g_simModels[model].level, level);
    for (int k = 0; k < kSimSectionCount; ++k)
    {
        SCOPED_TRACE("section " + std::to_string(k));
        const SimSection& s = section(model, k);
        EXPECT_EQ(s.kind, expected[k].kind);
        EXPECT_EQ(s.frequency, expected[k].frequency);
        EXPECT_EQ(s.arg1, expected[k].arg1);
        EXPECT_EQ(s.arg2, expected[k].arg2);
        EXPECT_EQ(s.tuning, expected[k].tuning);
    }
}

constexpr Tuning T = Tuning::Tuned;
constexpr Tuning F = Tuning::Fixed;
} // namespace

// ---- The catalogue as the tool reports it ---------------------------------------------------------

TEST(SimCatalogueFigures, PlaceholderIsFlat)
{
    for (unsigned fs : kRates)
        for (double t : {0.5, 1.0, 2.0})
        {
            BiquadCoefs c[kSimSectionCount];
            SimModelSections(fs, 0, t, c);
            EXPECT_DOUBLE_EQ(c[5].b0, c[5].a0);
            EXPECT_DOUBLE_EQ(c[5].b1, c[5].a1);
            EXPECT_DOUBLE_EQ(c[5].b2, c[5].a2);
            for (double f : {20.0, 300.0, 1000.0, 3000.0})
                EXPECT_NEAR(filters::MagnitudeDb(c[5], f, fs), 0.0, 1e-9);
        }
}

TEST(SimCatalogueFigures, UnityAndDecibelLevels)
{
    const std::set<int> unity = {1, 21, 32, 36, 40, 48, 50, 64, 67, 70, 73, 75, 76, 77, 81, 101, 103, 113, 141, 152, 163};
    int inRange = 0;
    for (int m = 0; m < kModels; ++m)
    {
        const double level = SimModelLevel(m);
        if (unity.count(m) != 0)
        {
            EXPECT_EQ(level, kUnityLevel) << "model " << m;
            continue;
        }
        EXPECT_LE(level, -0.4) << "model " << m;
        EXPECT_GE(level, -18.2) << "model " << m;
        EXPECT_DOUBLE_EQ(std::round(level * 10.0) / 10.0, level) << "model " << m;
        ++inRange;
    }
    EXPECT_EQ(inRange, 143);
}

TEST(SimCatalogueFigures, LevelsFollowThePinkNoiseRule)
{
    for (int m = 0; m < kModels; ++m)
    {
        if (SimModelLevel(m) == kUnityLevel || simcat::levelIsHandSet(m))
            continue;
        EXPECT_DOUBLE_EQ(SimModelLevel(m), simcat::ruleLevelDb(m)) << "model " << m;
    }
}

TEST(SimCatalogueFigures, UnityModelsDoNotJumpInLoudness)
{
    for (int m = 0; m < kModels; ++m)
    {
        if (SimModelLevel(m) != kUnityLevel)
            continue;
        EXPECT_LE(simcat::pinkNoiseGainDb(m), 3.0) << "model " << m;
    }
}

TEST(SimCatalogueFigures, ToolFiguresAgree)
{
    const simcat::CatalogueFigures f = simcat::computeFigures();
    EXPECT_EQ(f.highShelfModels, 5);
    EXPECT_EQ(f.highShelfElsewhere, 0);
    EXPECT_EQ(f.placeholders[5], 40);
    EXPECT_EQ(f.frequency.min, 20.0);
    EXPECT_EQ(f.frequency.max, 19542.95);
    EXPECT_EQ(f.damping.min, 0.24);
    EXPECT_EQ(f.damping.max, 1.6);
    EXPECT_EQ(f.q.min, 0.4);
    EXPECT_EQ(f.q.max, 16.0);
    EXPECT_EQ(f.gain.min, -19.0);
    EXPECT_EQ(f.gain.max, 18.0);
    EXPECT_EQ(f.slope.min, 0.025);
    EXPECT_EQ(f.slope.max, 2.0);
    EXPECT_EQ(f.levelsInRange, 143);
    EXPECT_EQ(f.levelsOther, 0);
    EXPECT_EQ(f.unityModels.size(), 21u);
    EXPECT_EQ(f.tunedSections[5], 98);
}

// ---- The four reference models ----------------------------------------------------------------

// The four reference models, row by row as their definitions give them.
TEST(SimReferenceModels, TheirRows)
{
    struct ReferenceModel
    {
        int model;
        double level;
        std::array<ExpectedSection, kSimSectionCount> sections;
    };
    // clang-format off
    const ReferenceModel models[] = {
        {0, -0.9, {{{SimKind::HighPass1, 56, 0, 0, F},
                    {SimKind::LowShelf, 237, 0.75, 4.3, T},
                    {SimKind::Peaking, 336, 6.8, 4.1, T},
                    {SimKind::Peaking, 595, 12.8, 8.6, T},
                    {SimKind::Peaking, 868, 9.3, -7.3, T},
                    {SimKind::Peaking, 1000, 1, 0, T},
                    {SimKind::LowPass2, 6000, 1.4, 0, F}}}},
        {1, kUnityLevel, {{{SimKind::HighPass1, 50, 0, 0, F},
                           {SimKind::LowShelf, 1350, 0.125, -15.5, F},
                           {SimKind::Peaking, 990, 16, -3, T},
                           {SimKind::Peaking, 1100, 16, 5, T},
                           {SimKind::Peaking, 2500, 16, 1.5, T},
                           {SimKind::Peaking, 1000, 1, 0, T},
                           {SimKind::LowPass2, 3000, 0.75, 0, T}}}},
        {4, -6.6, {{{SimKind::HighPass2, 169, 0.51, 0, T},
                    {SimKind::Peaking, 80, 16, -12.6, F},
                    {SimKind::Peaking, 250, 5, 6, T},
                    {SimKind::Peaking, 400, 5, 5, T},
                    {SimKind::Peaking, 900, 4, -5, F},
                    {SimKind::Peaking, 1000, 1, 0, T},
                    {SimKind::LowPass2, 9710, 0.61, 0, T}}}},
        {99, -18.0, {{{SimKind::HighPass2, 362.96, 0.74, 0, T},
                      {SimKind::HighPass1, 362.96, 0, 0, F},
                      {SimKind::Peaking, 616.67, 4.36, 18, T},
                      {SimKind::Peaking, 1160, 8.65, 9, T},
                      {SimKind::Peaking, 2180, 7.1, 16.3, T},
                      {SimKind::LowPass2, 3738.69, 0.26, 0, T},
                      {SimKind::LowPass2, 3738.69, 0.26, 0, F}}}},
    };
    // clang-format on
    for (const ReferenceModel& m : models)
        expectModel(m.model, m.level, m.sections);
}

// A tuned section's frequency follows the tuning, a fixed one's does not: single sections
// of the reference models against their designs at 48 kHz.
TEST(SimReferenceModels, SectionsAtTheirTunings)
{
    struct TunedSection
    {
        int model;
        double tuning;
        int section;
        BiquadCoefs design;
    };
    // clang-format off
    const TunedSection sections[] = {
        {0, 2.0, 0, filters::HighPass1(48000, 56)},
        {0, 2.0, 1, filters::LowShelf(48000, 474, 0.75, 4.3)},
        {0, 2.0, 2, filters::Peaking(48000, 672, 6.8, 4.1)},
        {0, 2.0, 3, filters::Peaking(48000, 1190, 12.8, 8.6)},
        {0, 2.0, 4, filters::Peaking(48000, 1736, 9.3, -7.3)},
        {0, 2.0, 5, filters::Peaking(48000, 2000, 1, 0)},
        {0, 2.0, 6, filters::LowPass2(48000, 6000, 1.4)},
        {0, 1.0, 1, filters::LowShelf(48000, 237, 0.75, 4.3)},
        {0, 1.0, 2, filters::Peaking(48000, 336, 6.8, 4.1)},
        {0, 1.0, 3, filters::Peaking(48000, 595, 12.8, 8.6)},
        {0, 1.0, 4, filters::Peaking(48000, 868, 9.3, -7.3)},
        {0, 1.0, 5, filters::Peaking(48000, 1000, 1, 0)},
        {1, 0.5, 6, filters::LowPass2(48000, 1500, 0.75)},
        {1, 0.5, 1, filters::LowShelf(48000, 1350, 0.125, -15.5)},
        {1, 0.5, 0, filters::HighPass1(48000, 50)},
    };
    // clang-format on
    for (const TunedSection& t : sections)
    {
        BiquadCoefs c[kSimSectionCount];
        SimModelSections(48000, t.model, t.tuning, c);
        EXPECT_TRUE(sameCoefs(c[t.section], t.design))
            << "model " << t.model << " at tuning " << t.tuning << ", section " << t.section;
    }
}

// Responses at 48 kHz, worked out from the four models' definitions and the designs'
// formulas apart from this code: the whole chain of seven sections, the level left out.
TEST(SimReferenceModels, KnownResponses)
{
    struct Known
    {
        int model;
        double tuning;
        double db[5]; // at 100, 300, 1000, 3000 and 8000 Hz
    };
    const double frequencies[5] = {100, 300, 1000, 3000, 8000};
    // clang-format off
    const Known known[] = {
        {0, 0.5, {0.861312, 7.041708, -0.158289, -0.202439, -6.719854}},
        {0, 1.0, {2.646481, 1.140662, -2.283772, -0.247916, -6.724965}},
        {0, 2.0, {3.010286, 2.965161, 0.089734, -0.509967, -6.746662}},
        {1, 0.5, {-16.434110, -15.295650, -11.487877, -11.925658, -29.814688}},
        {1, 1.0, {-16.455399, -15.489125, -15.281038, 1.348570, -17.045468}},
        {1, 2.0, {-16.460721, -15.537165, -13.902824, 0.292069, -2.233187}},
        {4, 0.5, {6.408088, 1.149037, -3.293238, 2.628934, -7.392690}},
        {4, 1.0, {-7.316511, 5.730868, -3.256895, 0.486703, 4.222153}},
        {4, 2.0, {-21.693278, 4.356350, -1.108968, 0.100745, 0.235868}},
        {99, 0.5, {-18.339385, 16.882380, 17.582408, 3.901089, -39.194938}},
        {99, 1.0, {-33.007027, 0.032978, 12.240070, 21.146165, -25.167633}},
        {99, 2.0, {-45.727045, -17.138931, 15.787254, 18.323502, -0.400402}},
    };
    // clang-format on
    for (const Known& k : known)
        for (int i = 0; i < 5; ++i)
            EXPECT_NEAR(modelDb(k.model, frequencies[i], k.tuning), k.db[i], 1e-5)
                << "model " << k.model << " at tuning " << k.tuning << ", " << frequencies[i] << " Hz";
}

// ---- Tuning -----------------------------------------------------------------------------------

TEST(SimTuning, MovesExactlyTheTunedSections)
{
    for (int m = 0; m < kModels; ++m)
    {
        BiquadCoefs nominal[kSimSectionCount];
        SimModelSections(48000, m, 1.0, nominal);
        for (double t : {0.5, 2.0})
        {
            BiquadCoefs tuned[kSimSectionCount];
            SimModelSections(48000, m, t, tuned);
            for (int k = 0; k < kSimSectionCount; ++k)
                EXPECT_EQ(sameCoefs(tuned[k], nominal[k]), section(m, k).tuning == Tuning::Fixed)
                    << "model " << m << " section " << k << " tuning " << t;
        }
    }
}

// ---- Stability and finite output --------------------------------------------------------------

TEST(SimStability, EverySectionStableInSinglePrecision)
{
    for (int m = 0; m < kModels; ++m)
        for (unsigned fs : kRates)
            for (float percent : kTuningPercents)
            {
                BiquadCoefs c[kSimSectionCount];
                SimModelSections(fs, m, percent * 0.01, c);
                for (int k = 0; k < kSimSectionCount; ++k)
                {
                    const float a1 = static_cast<float>(c[k].a1);
                    const float a2 = static_cast<float>(c[k].a2);
                    EXPECT_LT(std::fabs(a2), 1.0f)
                        << "model " << m << " section " << k << " at " << fs << " Hz, tuning " << percent;
                    EXPECT_LT(std::fabs(a1), 1.0f + a2)
                        << "model " << m << " section " << k << " at " << fs << " Hz, tuning " << percent;
                    EXPECT_TRUE(simcat::isStableInSinglePrecision(c[k]));
                }
            }
}

TEST(SimStability, FiniteOutputThroughTheStage)
{
    HeapAllocator allocator;
    SimStage stage;
    ASSERT_TRUE(stage.memory.allocate(&allocator, 1));
    std::vector<float> block(4096);
    for (int m = 0; m < kModels; ++m)
        for (unsigned fs : kRates)
            for (float percent : kTuningPercents)
            {
                const SimParams p{m, percent, true, true};
                stage.resetChannel(0);
                stage.setup(fs, p);
                Lcg noise;
                bool finite = true;
                double energy = 0.0;
                for (int pass = 0; pass < 3; ++pass)
                {
                    for (std::size_t i = 0; i < block.size(); ++i)
                        block[i] = 0.1f * noise.next();
                    if (pass == 0)
                        block[0] = 1.0f; // an impulse on top of the noise
                    float* data = block.data();
                    stage.processChannels(ChannelBlock{&data, 1, static_cast<unsigned>(block.size())});
                    for (float v : block)
                    {
                        finite = finite && std::isfinite(v);
                        energy += static_cast<double>(v) * v;
                    }
                }
                EXPECT_TRUE(finite) << "model " << m << " at " << fs << " Hz, tuning " << percent;
                EXPECT_GT(energy, 0.0) << "model " << m << " at " << fs << " Hz, tuning " << percent;
                for (const auto& s : stage.memory[0].sections)
                    EXPECT_TRUE(s.memoryIsFinite());
            }
    stage.memory.release(&allocator);
}

// ---- Output gain and tail ---------------------------------------------------------------------

TEST(SimStageGain, UnityAndDecibelModels)
{
    SimStage stage;
    stage.setup(48000, SimParams{1, 100.f, true, true});
    EXPECT_EQ(stage.wetGain(), 1.0f);

    stage.setup(48000, SimParams{99, 100.f, true, true});
    EXPECT_FLOAT_EQ(stage.wetGain(), static_cast<float>(std::pow(10.0, -0.9)));
    EXPECT_NEAR(stage.wetGain(), 0.126, 0.001);
}

TEST(SimStageGain, EveryModelPlaysItsLevel)
{
    SimStage stage;
    for (int m = 0; m < kModels; ++m)
    {
        stage.setup(48000, SimParams{m, 100.f, true, true});
        const double level = SimModelLevel(m);
        const float expected = level == kUnityLevel ? 1.0f : static_cast<float>(std::pow(10.0, level * 0.05));
        EXPECT_FLOAT_EQ(stage.wetGain(), expected) << "model " << m;
    }
}

TEST(SimTail, ResonantSectionDominates)
{
    // Model 1: three Q 16 peaks; the slowest of them sets the tail.
    BiquadCoefs c[kSimSectionCount];
    SimModelSections(48000, 1, 1.0, c);
    BiquadSection loaded[kSimSectionCount];
    int slowest = 0;
    double decay = 0.0;
    for (int k = 0; k < kSimSectionCount; ++k)
    {
        loaded[k].load(c[k]);
        const double d = filters::SectionDecay(loaded[k].a1, loaded[k].a2);
        if (d > decay)
        {
            decay = d;
            slowest = k;
        }
    }
    EXPECT_EQ(section(1, slowest).kind, SimKind::Peaking);
    EXPECT_EQ(section(1, slowest).arg1, 16.0);
    const std::int32_t tail = SimTailLength(loaded);
    EXPECT_EQ(tail, static_cast<std::int32_t>(decay * 6.91));

    // Without the resonance the tail is shorter.
    loaded[slowest].load(BiquadCoefs::identity());
    EXPECT_LT(SimTailLength(loaded), tail);

    // The stage reports the same tail.
    SimStage stage;
    stage.setup(48000, SimParams{1, 100.f, true, true});
    EXPECT_EQ(stage.tail(), tail);
}

TEST(SimTail, MostResonantLowPassDominatesItsModel)
{
    // A damping of 0.24 is the catalogue's sharpest second-order roll-off.
    for (int m = 0; m < kModels; ++m)
        for (int k = 0; k < kSimSectionCount; ++k)
        {
            const SimSection& s = section(m, k);
            if (s.kind != SimKind::LowPass2 || s.arg1 != 0.24)
                continue;
            BiquadCoefs c[kSimSectionCount];
            SimModelSections(48000, m, 1.0, c);
            BiquadSection alone[kSimSectionCount];
            alone[k].load(c[k]);
            BiquadSection all[kSimSectionCount];
            for (int j = 0; j < kSimSectionCount; ++j)
                all[j].load(c[j]);
            EXPECT_GE(SimTailLength(all), SimTailLength(alone)) << "model " << m;
            EXPECT_GT(SimTailLength(alone), 0) << "model " << m;
        }
}

// ---- Bad input --------------------------------------------------------------------------------

TEST(SimBadInput, IndexOutsideTheCatalogue)
{
    EXPECT_EQ(SimModelLevel(-1), kUnityLevel);
    EXPECT_EQ(SimModelLevel(kModels), kUnityLevel);
    BiquadCoefs c[kSimSectionCount];
    for (auto& s : c)
        s = {2, 3, 4, 5, 6, 7};
    SimModelSections(48000, kModels, 1.0, c);
    SimModelSections(48000, -1, 1.0, c);
    for (const auto& s : c)
        EXPECT_TRUE(sameCoefs(s, BiquadCoefs{2, 3, 4, 5, 6, 7}));
}

// ---- Each category sounds like its devices ----------------------------------------------------

namespace
{
const DeviceCategory& category(const char* heading)
{
    for (const auto& c : g_deviceCategories)
        if (std::string(c.heading) == heading)
            return c;
    ADD_FAILURE() << "no category " << heading;
    return g_deviceCategories[0];
}
} // namespace

TEST(SimCategorySound, TelephonesAndWirelessAreBandLimited)
{
    for (const char* heading : {"Telephones", "Wireless", "Cell Phones"})
        for (const int m : category(heading).devices)
        {
            const double band = peakDb(m, 300.0, 3400.0);
            EXPECT_LE(modelDb(m, 100.0), band - 15.0) << heading << " " << m;
            EXPECT_LE(modelDb(m, 10000.0), band - 15.0) << heading << " " << m;
        }
}

TEST(SimCategorySound, CellPhonesHaveNoLowEnd)
{
    for (const int m : category("Cell Phones").devices)
        EXPECT_LE(modelDb(m, 150.0), peakDb(m, 300.0, 5000.0) - 20.0) << m;
}

TEST(SimCategorySound, ToysHaveNoBass)
{
    for (const int m : category("Toys").devices)
        EXPECT_LE(modelDb(m, 150.0), peakDb(m, 500.0, 6000.0) - 25.0) << m;
}

TEST(SimCategorySound, ContainersRingWithNarrowResonances)
{
    for (const int m : category("Containers").devices)
    {
        int rings = 0;
        for (int k = 0; k < kSimSectionCount; ++k)
        {
            const SimSection& s = section(m, k);
            rings += (s.kind == SimKind::Peaking && s.arg1 >= 8.0 && s.arg2 >= 6.0) ? 1 : 0;
        }
        EXPECT_GE(rings, 3) << m;
    }
}

TEST(SimCategorySound, VehiclesAreBoomy)
{
    for (const int m : category("Vehicles").devices)
        EXPECT_GT(peakDb(m, 35.0, 150.0), modelDb(m, 1000.0) + 2.0) << m;
}

TEST(SimCategorySound, HeadphonesReachDown)
{
    for (const int m : category("Headphones").devices)
    {
        const double mid = modelDb(m, 1000.0);
        EXPECT_NEAR(modelDb(m, 100.0), mid, 12.0) << m;
    }
}

TEST(SimCategorySound, SubwoofersAreLowPassed)
{
    for (const int m : {73, 76, 163})
        EXPECT_LE(modelDb(m, 1000.0), peakDb(m, 20.0, 150.0) - 40.0) << m;
}
