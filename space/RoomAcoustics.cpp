#include "space/RoomAcoustics.h"

#include <algorithm>
#include <cmath>

namespace space
{

// ISO 9613-1's attenuation (0.44, 1.31, 2.73, 4.66, 9.86, 29.7 and 105 dB/km) in nepers of
// intensity per metre.
const BandValues kAirAbsorption = {1.0e-4, 3.0e-4, 6.3e-4, 1.07e-3, 2.27e-3, 6.84e-3, 2.42e-2};

namespace
{
struct Absorption
{
    double area;  // Eyring's equivalent absorption area, m^2, air included
    double mean;  // the surfaces' mean absorption coefficient
};

Absorption absorption(const RoomDescription& room, std::size_t band)
{
    double total = 0.0, absorbed = 0.0;
    for (std::size_t s = 0; s < kSurfaceCount; ++s)
    {
        const double area = surfaceArea(room.size, static_cast<Surface>(s));
        total += area;
        absorbed += area * room.surfaces[s]->absorption[band];
    }
    const double mean = absorbed / total;
    const double area = -total * std::log(1.0 - std::min(mean, 0.999)) + 4.0 * kAirAbsorption[band] * roomVolume(room.size);
    return {area, mean};
}
} // namespace

double roomVolume(const RoomSize& size) { return size.width * size.length * size.height; }

double surfaceArea(const RoomSize& size, Surface surface)
{
    switch (surface)
    {
    case Floor:
    case Ceiling:
        return size.width * size.length;
    case Left:
    case Right:
        return size.length * size.height;
    default:
        return size.width * size.height;
    }
}

BandValues reverberationTimes(const RoomDescription& room)
{
    BandValues times{};
    for (std::size_t b = 0; b < kBandCount; ++b)
        times[b] = 0.161 * roomVolume(room.size) / absorption(room, b).area;
    return times;
}

double statedRt60(const RoomDescription& room)
{
    const BandValues times = reverberationTimes(room);
    return 0.5 * (times[kBand500] + times[kBand1000]);
}

BandValues reverberantEnergy(const RoomDescription& room)
{
    constexpr double kPi = 3.14159265358979323846;
    BandValues energy{};
    for (std::size_t b = 0; b < kBandCount; ++b)
    {
        const Absorption a = absorption(room, b);
        energy[b] = 16.0 * kPi * (1.0 - a.mean) / a.area;
    }
    return energy;
}

BandValues wallTransmission(const RoomDescription& room)
{
    BandValues gain{};
    for (std::size_t b = 0; b < kBandCount; ++b)
    {
        const double reductionDb =
            room.wallMass > 0.0 ? std::max(0.0, 20.0 * std::log10(room.wallMass * kBandCentres[b]) - 47.0) : 0.0;
        gain[b] = std::pow(10.0, -reductionDb / 20.0);
    }
    return gain;
}

} // namespace space
