#include "space/RoomImpulse.h"

#include "engine/filters/FilterDesign.h"
#include "space/ImageSources.h"
#include "space/OctaveBandSum.h"
#include "space/RoomAcoustics.h"
#include "space/SpaceError.h"
#include "transmission/SeededRandom.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace space
{
namespace
{
constexpr double kPi = 3.14159265358979323846;
constexpr double kEarSpacing = 0.175;  // metres between the two ears
constexpr double kClearance = 0.05;    // the nearest a listener comes to a surface, metres
constexpr double kEndFadeSeconds = 0.01;
constexpr double kLongestSeconds = 30.0;
// A response ends once its slowest band has fallen this far: 5 dB short of a full
// reverberation time, under a tail that starts at or below the direct sound, it spares the
// convolution a tenth of its work and is not heard (the last 10 ms fade out).
constexpr double kTailDepthDb = 55.0;
constexpr double kLowestHighPass = 40.0; // Hz: below it nothing of a voice
// ln(10^3) and ln(10^6): an amplitude and an energy falling by 60 dB.
constexpr double kAmplitudeDecay = 6.907755278982137;
constexpr double kEnergyDecay = 13.815510557964274;

Point along(const Point& from, const Point& to, double t)
{
    return {from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t, from.z + (to.z - from.z) * t};
}

double distanceBetween(const Point& a, const Point& b) { return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z); }

Point inside(const RoomSize& size, Point p, double clearance)
{
    p.x = std::clamp(p.x, clearance, size.width - clearance);
    p.y = std::clamp(p.y, clearance, size.length - clearance);
    p.z = std::clamp(p.z, clearance, size.height - clearance);
    return p;
}

std::string metres(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3g m", value);
    return text;
}

Point listenerAt(const RoomDescription& room, std::optional<double> distance)
{
    if (!distance)
        return room.listener;
    const double longest = longestDistance(room);
    if (!(*distance > 0.0) || *distance > longest + 1e-9)
        throw SpaceError("distance=" + metres(*distance) + " does not fit in the " + room.name + ": its listener can stand at most " +
                         metres(longest) + " from the source");
    return along(room.source, room.listener, *distance / describedDistance(room));
}

// The receivers: the listener's place for one ear; for two, left and right of it, facing the
// source (z up).
std::vector<Point> earsAt(const RoomDescription& room, const Point& listener, unsigned ears)
{
    if (ears == 1)
        return {listener};
    double lx = -(room.source.y - listener.y), ly = room.source.x - listener.x;
    const double norm = std::hypot(lx, ly);
    if (norm < 1e-9)
        lx = 1.0, ly = 0.0;
    else
        lx /= norm, ly /= norm;
    const double h = 0.5 * kEarSpacing;
    const Point left{listener.x + lx * h, listener.y + ly * h, listener.z};
    const Point right{listener.x - lx * h, listener.y - ly * h, listener.z};
    return {inside(room.size, left, 0.01), inside(room.size, right, 0.01)};
}

std::uint64_t nameSeed(const char* name)
{
    std::uint64_t hash = 0xcbf29ce484222325ull; // FNV-1a
    for (const char* c = name; *c != '\0'; ++c)
        hash = (hash ^ static_cast<unsigned char>(*c)) * 0x100000001b3ull;
    return hash;
}

std::vector<float> gaussianNoise(std::size_t frames, std::uint64_t seed)
{
    transmission::SeededRandom random(seed);
    std::vector<float> noise(frames);
    for (std::size_t n = 0; n < frames; n += 2)
    {
        const double radius = std::sqrt(-2.0 * std::log(1.0 - random.uniform()));
        const double angle = 2.0 * kPi * random.uniform();
        noise[n] = static_cast<float>(radius * std::cos(angle));
        if (n + 1 < frames)
            noise[n + 1] = static_cast<float>(radius * std::sin(angle));
    }
    return noise;
}

struct RoomSound
{
    BandValues times;        // reverberation time per band, seconds
    BandValues reverberant;  // reverberant energy against the direct sound's at 1 m
    BandValues wall;         // the wall's amplitude factor
    double mixing;           // seconds over which the tail fades in after the direct sound
};

std::vector<float> earResponse(const RoomDescription& room, const RoomSound& sound, const Point& ear,
                               std::size_t frames, double rate, std::uint64_t seed)
{
    const double direct = distanceBetween(room.source, ear) / kSpeedOfSound;
    const auto paths = soundPaths(room, room.source, ear, (direct + sound.mixing) * kSpeedOfSound);
    const auto noise = gaussianNoise(frames, seed);
    const auto tailStart = static_cast<std::size_t>(std::ceil(direct * rate));

    OctaveBandSum bands(frames, rate);
    std::vector<float> signal(frames);
    for (std::size_t b = 0; b < kBandCount; ++b)
    {
        std::fill(signal.begin(), signal.end(), 0.f);
        for (const SoundPath& path : paths)
        {
            const auto n = static_cast<std::size_t>(std::lround(path.length / kSpeedOfSound * rate));
            if (n < frames)
                signal[n] += static_cast<float>(path.gain[b] * std::exp(-0.5 * kAirAbsorption[b] * path.length) /
                                                path.length);
        }
        const double level = std::sqrt(sound.reverberant[b] * kEnergyDecay / (rate * sound.times[b]));
        for (std::size_t n = tailStart; n < frames; ++n)
        {
            const double t = static_cast<double>(n) / rate - direct;
            const double envelope = level * std::exp(-kAmplitudeDecay * t / sound.times[b]) * std::min(1.0, t / sound.mixing);
            signal[n] += static_cast<float>(envelope * noise[n]);
        }
        bands.add(b, signal);
    }
    if (room.wallMass > 0.0)
        bands.setCausalGains(sound.wall);
    std::vector<float> response = bands.sum();
    // Below the room's lowest mode the room carries no sound of its own, and what the early
    // reflections (all in phase there) would pile up is only a rumble: a second-order
    // Butterworth high-pass takes it out, from the direct sound on.
    const double longestSide = std::max({room.size.width, room.size.length, room.size.height});
    const BiquadCoefs hp = filters::HighPass2(static_cast<unsigned>(std::lround(rate)),
                                              std::max(kLowestHighPass, kSpeedOfSound / (2.0 * longestSide)),
                                              filters::kSqrt2);
    double z1 = 0.0, z2 = 0.0;
    for (float& x : response)
    {
        const double y = hp.b0 * x + z1;
        z1 = hp.b1 * x - hp.a1 * y + z2;
        z2 = hp.b2 * x - hp.a2 * y;
        x = static_cast<float>(y);
    }
    const std::size_t fade = std::min(frames / 10, static_cast<std::size_t>(kEndFadeSeconds * rate));
    for (std::size_t i = 0; i < fade; ++i)
    {
        const double w = 0.5 * (1.0 - std::cos(kPi * static_cast<double>(i + 1) / static_cast<double>(fade + 1)));
        response[frames - 1 - i] = static_cast<float>(response[frames - 1 - i] * w);
    }
    return response;
}
} // namespace

double describedDistance(const RoomDescription& room) { return distanceBetween(room.source, room.listener); }

double longestDistance(const RoomDescription& room)
{
    const double d = describedDistance(room);
    const double u[3] = {(room.listener.x - room.source.x) / d, (room.listener.y - room.source.y) / d,
                         (room.listener.z - room.source.z) / d};
    const double s[3] = {room.source.x, room.source.y, room.source.z};
    const double size[3] = {room.size.width, room.size.length, room.size.height};
    double longest = 1e9;
    for (int i = 0; i < 3; ++i)
        if (std::abs(u[i]) > 1e-12)
            longest = std::min(longest, ((u[i] > 0 ? size[i] - kClearance : kClearance) - s[i]) / u[i]);
    return longest;
}

ImpulseResponse roomImpulse(const RoomDescription& room, double sampleRate, unsigned ears, std::optional<double> distance)
{
    if (ears != 1 && ears != 2)
        throw std::invalid_argument("a generated space has one ear or two");
    const Point listener = listenerAt(room, distance);
    const std::vector<Point> receivers = earsAt(room, listener, ears);

    RoomSound sound{reverberationTimes(room), reverberantEnergy(room), wallTransmission(room),
                    std::clamp(std::sqrt(roomVolume(room.size)) * 1e-3, 0.004, 0.15)};
    double latest = 0.0;
    for (const Point& ear : receivers)
        latest = std::max(latest, distanceBetween(room.source, ear) / kSpeedOfSound);
    const double seconds =
        std::min(kLongestSeconds,
                 latest + kTailDepthDb / 60.0 * *std::max_element(sound.times.begin(), sound.times.end()));
    const auto frames = static_cast<std::size_t>(std::ceil(seconds * sampleRate)) + 1;

    ImpulseResponse ir;
    ir.sampleRate = sampleRate;
    for (std::size_t e = 0; e < receivers.size(); ++e)
        ir.channels.push_back(earResponse(room, sound, receivers[e], frames, sampleRate,
                                          transmission::derivedSeed(nameSeed(room.name), e)));
    const BandValues gains = OctaveBandSum::powerGains(ir.channels, sampleRate);
    const auto scale = static_cast<float>(1.0 / std::sqrt(*std::max_element(gains.begin(), gains.end())));
    for (auto& channel : ir.channels)
        for (float& x : channel)
            x *= scale;
    return ir;
}

} // namespace space
