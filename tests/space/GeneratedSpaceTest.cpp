// The generated spaces against what they state: the reverberation time measured as room
// acoustics measures it, the direct sound's arrival, the distance's effect, the wall, and the
// same response on every call.
#include "space/DecayAnalysis.h"
#include "space/RoomAcoustics.h"
#include "space/RoomImpulse.h"
#include "space/SpaceCatalogue.h"
#include "space/SpaceError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace space
{
namespace
{
// The energy of samples [from, to).
double energyOf(const std::vector<float>& x, std::size_t from, std::size_t to)
{
    double e = 0.0;
    for (auto it = x.begin() + static_cast<std::ptrdiff_t>(from); it < x.begin() + static_cast<std::ptrdiff_t>(to); ++it)
        e += static_cast<double>(*it) * *it;
    return e;
}

double energyOf(const std::vector<float>& x) { return energyOf(x, 0, x.size()); }

// The first sample above a tenth of the response's peak.
std::size_t onset(const std::vector<float>& h)
{
    float peak = 0.f;
    for (float x : h)
        peak = std::max(peak, std::abs(x));
    return static_cast<std::size_t>(
        std::find_if(h.begin(), h.end(), [&](float x) { return std::abs(x) > 0.1f * peak; }) - h.begin());
}

std::size_t arrival(double metres, double rate) { return static_cast<std::size_t>(std::lround(metres / kSpeedOfSound * rate)); }

// T30 in the 500 Hz and 1 kHz octaves, averaged over the two ears (a short decay's
// measurement scatters by a few percent with the noise it is drawn from; the ears draw
// unrelated noise).
TEST(GeneratedSpace, MeasuredReverberationTimeIsTheStatedOne)
{
    for (const double rate : {48000.0, 16000.0})
        for (const RoomDescription& room : spaceCatalogue())
        {
            SCOPED_TRACE(std::string(room.name) + " at " + std::to_string(static_cast<int>(rate)) + " Hz");
            const ImpulseResponse ir = roomImpulse(room, rate, 2);
            double measured = 0.0;
            for (const auto& ear : ir.channels)
                for (const double band : {500.0, 1000.0})
                    measured += reverberationTimeT30(energyDecayCurve(octaveBand(ear, rate, band)), rate) / 4.0;
            const double stated = statedRt60(room);
            EXPECT_NEAR(measured / stated, 1.0, 0.10) << "measured " << measured << " s, stated " << stated << " s";
        }
}

TEST(GeneratedSpace, DirectSoundArrivesAtDistanceOverTheSpeedOfSound)
{
    constexpr double kRate = 48000.0;
    for (const RoomDescription& room : spaceCatalogue())
    {
        SCOPED_TRACE(room.name);
        const double described = describedDistance(room);
        EXPECT_EQ(onset(roomImpulse(room, kRate, 1).channels[0]), arrival(described, kRate));
        const double nearer = std::max(0.2, 0.5 * described);
        EXPECT_EQ(onset(roomImpulse(room, kRate, 1, nearer).channels[0]), arrival(nearer, kRate));
        // Each ear hears it from its own place, 17.5 cm apart across the line to the source.
        const ImpulseResponse ears = roomImpulse(room, kRate, 2);
        for (const auto& ear : ears.channels)
            EXPECT_LE(std::abs(static_cast<double>(onset(ear)) - static_cast<double>(arrival(described, kRate))),
                      0.0875 / kSpeedOfSound * kRate + 1.0);
    }
}

// Nearer, the direct sound stands out more from the reverberation; the response keeps unit
// energy.
TEST(GeneratedSpace, DistanceMovesTheBalanceOfDirectAndReverberantSound)
{
    constexpr double kRate = 48000.0;
    const RoomDescription& station = *findSpace("station");
    double previous = INFINITY;
    for (const double metres : {1.0, 4.0, 10.0, 20.0})
    {
        const auto h = roomImpulse(station, kRate, 1, metres).channels[0];
        const std::size_t direct = arrival(metres, kRate);
        const double window = 0.0025 * kRate; // the direct sound and its own few samples
        const double directEnergy = energyOf(h, direct - static_cast<std::size_t>(window), direct + static_cast<std::size_t>(window));
        const double ratio = directEnergy / (energyOf(h) - directEnergy);
        EXPECT_LT(ratio, previous) << metres << " m";
        previous = ratio;
    }
}

TEST(GeneratedSpace, ADistanceOutsideTheRoomIsRefused)
{
    const RoomDescription& booth = *findSpace("phone-booth");
    try
    {
        roomImpulse(booth, 48000.0, 1, 5.0);
        FAIL() << "5 m in a phone booth";
    }
    catch (const SpaceError& e)
    {
        const std::string message = e.what();
        EXPECT_NE(message.find("phone-booth"), std::string::npos) << message;
        EXPECT_NE(message.find("at most"), std::string::npos) << message;
    }
    EXPECT_NO_THROW(roomImpulse(booth, 48000.0, 1, longestDistance(booth)));
}

TEST(GeneratedSpace, TheSameSpaceIsTheSameResponseAndTheEarsDiffer)
{
    const RoomDescription& hall = *findSpace("school-hall");
    const ImpulseResponse a = roomImpulse(hall, 44100.0, 2);
    const ImpulseResponse b = roomImpulse(hall, 44100.0, 2);
    ASSERT_EQ(a.channels.size(), 2u);
    for (std::size_t c = 0; c < 2; ++c)
    {
        ASSERT_EQ(a.channels[c].size(), b.channels[c].size());
        EXPECT_EQ(std::memcmp(a.channels[c].data(), b.channels[c].data(), a.channels[c].size() * sizeof(float)), 0);
    }
    // The ears' tails (after the early reflections) are unrelated noise.
    const auto& left = a.channels[0];
    const auto& right = a.channels[1];
    const std::size_t from = static_cast<std::size_t>(0.2 * 44100.0);
    double lr = 0.0;
    for (std::size_t n = from; n < left.size(); ++n)
        lr += static_cast<double>(left[n]) * right[n];
    EXPECT_LT(std::abs(lr) / std::sqrt(energyOf(left, from, left.size()) * energyOf(right, from, right.size())), 0.1);
}

// Each octave's power gain, measured with the octave filters against a unit sample's (at the
// end: the filters run backwards in time).
std::vector<double> octaveGains(const ImpulseResponse& ir)
{
    std::vector<float> unit(ir.frames(), 0.f);
    unit.back() = 1.f;
    std::vector<double> gains;
    for (const double centre : {125.0, 250.0, 500.0, 1000.0, 2000.0, 4000.0})
    {
        const auto power = [&](const std::vector<float>& h) {
            double e = 0.0;
            for (double x : octaveBand(h, ir.sampleRate, centre))
                e += x * x;
            return e;
        };
        double through = 0.0;
        for (const auto& ear : ir.channels)
            through += power(ear) / static_cast<double>(ir.channels.size());
        gains.push_back(through / power(unit));
    }
    return gains;
}

// The loudest octave keeps the line's power and no octave is raised above it: even through the
// wall, whose lows keep it while its highs fall away. The octave filters here weigh a band's
// edges otherwise than the band split that sets the level: up to 1 dB more, or 3 dB less
// where the spectrum is steep inside an octave (the car's cabin boom at 80 Hz).
TEST(GeneratedSpace, TheLoudestOctaveKeepsTheLinesPower)
{
    for (const RoomDescription& room : spaceCatalogue())
    {
        SCOPED_TRACE(room.name);
        const auto gains = octaveGains(roomImpulse(room, 48000.0, 2));
        const double loudest = *std::max_element(gains.begin(), gains.end());
        EXPECT_GT(loudest, 0.5);
        EXPECT_LT(loudest, 1.26);
        if (room.wallMass > 0.0)
        {
            EXPECT_LT(gains[4] / gains[0], 0.01); // 2 kHz against 125 Hz: -20 dB and more
        }
    }
}

// Through the wall the living room's sound loses its highs by the mass law, 6 dB an octave
// (18 dB from 250 Hz to 2 kHz), and nothing of it comes before the direct sound: what does is
// the band split's own spread of the reflections, below -40 dB (the wall's low-pass without
// its minimum phase would put -20 dB there).
TEST(GeneratedSpace, TheWallLowPassesWithoutSoundBeforeTheDirect)
{
    constexpr double kRate = 48000.0;
    const auto through = roomImpulse(*findSpace("next-room"), kRate, 1).channels[0];
    RoomDescription open = *findSpace("next-room");
    open.wallMass = 0.0;
    const auto without = roomImpulse(open, kRate, 1).channels[0];
    const auto tilt = [&](const std::vector<float>& h) {
        double low = 0.0, high = 0.0;
        for (double x : octaveBand(h, kRate, 250.0))
            low += x * x;
        for (double x : octaveBand(h, kRate, 2000.0))
            high += x * x;
        return 10.0 * std::log10(high / low);
    };
    EXPECT_NEAR(tilt(without) - tilt(through), 18.0, 2.0);

    const std::size_t direct = arrival(describedDistance(open), kRate);
    EXPECT_EQ(onset(through), direct);
    float peak = 0.f, before = 0.f; // before: until half a millisecond ahead of the direct sound
    for (std::size_t n = 0; n < through.size(); ++n)
    {
        float& most = n + 24 < direct ? before : peak;
        most = std::max(most, std::abs(through[n]));
    }
    EXPECT_LT(before, 1e-2f * peak);
}

TEST(GeneratedSpace, CatalogueHoldsTheSpacesByName)
{
    for (const char* name : {"car", "phone-booth", "bathroom", "living-room", "office", "lobby", "stairwell",
                             "school-hall", "church", "station", "underground", "street", "next-room"})
        EXPECT_NE(findSpace(name), nullptr) << name;
    EXPECT_EQ(findSpace("Phone Booth"), findSpace("phone-booth"));
    EXPECT_EQ(findSpace("SCHOOL_HALL"), findSpace("school-hall"));
    EXPECT_EQ(findSpace("cathedral"), nullptr);
    for (const RoomDescription& room : spaceCatalogue())
    {
        SCOPED_TRACE(room.name);
        EXPECT_EQ(findSpace(room.name), &room);
        EXPECT_GT(std::strlen(room.sound), 20u);
        for (const Point& p : {room.source, room.listener})
        {
            EXPECT_TRUE(p.x > 0 && p.x < room.size.width && p.y > 0 && p.y < room.size.length && p.z > 0 &&
                        p.z < room.size.height);
        }
        EXPECT_GE(longestDistance(room), describedDistance(room));
    }
}
} // namespace
} // namespace space
