#include "space/ImageSources.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace space
{
namespace
{
// An image's coordinate along one axis and the reflections it takes on the two walls across
// that axis: mirrored `parity` times in the near wall, shifted by `period` whole room
// lengths.
struct AxisImage
{
    double offset; // image coordinate minus the receiver's
    int nearHits;  // reflections on the wall at 0
    int farHits;   // reflections on the wall at the room's length
};

std::vector<AxisImage> axisImages(double source, double receiver, double length, double reach)
{
    std::vector<AxisImage> images;
    const int periods = static_cast<int>(std::ceil(reach / (2.0 * length))) + 1;
    for (int n = -periods; n <= periods; ++n)
        for (int parity = 0; parity <= 1; ++parity)
        {
            const double position = (parity == 0 ? source : -source) + 2.0 * n * length;
            const double offset = position - receiver;
            if (std::abs(offset) <= reach)
                images.push_back({offset, std::abs(n - parity), std::abs(n)});
        }
    return images;
}

BandValues reflectionFactors(const Material& material)
{
    BandValues factor{};
    for (std::size_t b = 0; b < kBandCount; ++b)
        factor[b] = std::sqrt(std::max(0.0, 1.0 - material.absorption[b]));
    return factor;
}

// gain[b] *= factor[b]^hits
void reflect(BandValues& gain, const BandValues& factor, int hits)
{
    for (std::size_t b = 0; b < kBandCount; ++b)
        gain[b] *= std::pow(factor[b], hits);
}
} // namespace

std::vector<SoundPath> soundPaths(const RoomDescription& room, const Point& source, const Point& receiver,
                                  double longest)
{
    std::array<BandValues, kSurfaceCount> factor{};
    for (std::size_t s = 0; s < kSurfaceCount; ++s)
        factor[s] = reflectionFactors(*room.surfaces[s]);

    const auto xs = axisImages(source.x, receiver.x, room.size.width, longest);
    const auto ys = axisImages(source.y, receiver.y, room.size.length, longest);
    const auto zs = axisImages(source.z, receiver.z, room.size.height, longest);
    std::vector<SoundPath> paths;
    for (const AxisImage& x : xs)
        for (const AxisImage& y : ys)
            for (const AxisImage& z : zs)
            {
                const double length = std::sqrt(x.offset * x.offset + y.offset * y.offset + z.offset * z.offset);
                if (length > longest)
                    continue;
                SoundPath path{length, x.nearHits + x.farHits + y.nearHits + y.farHits + z.nearHits + z.farHits, {}};
                path.gain.fill(1.0);
                reflect(path.gain, factor[Left], x.nearHits);
                reflect(path.gain, factor[Right], x.farHits);
                reflect(path.gain, factor[Front], y.nearHits);
                reflect(path.gain, factor[Back], y.farHits);
                reflect(path.gain, factor[Floor], z.nearHits);
                reflect(path.gain, factor[Ceiling], z.farHits);
                if (*std::max_element(path.gain.begin(), path.gain.end()) > 0.0)
                    paths.push_back(path);
            }
    std::sort(paths.begin(), paths.end(), [](const SoundPath& a, const SoundPath& b) {
        return a.order != b.order ? a.order < b.order : a.length < b.length;
    });
    return paths;
}

} // namespace space
