#include "cli/pictures/SpaceDecay.h"

#include "space/DecayAnalysis.h"
#include "space/OctaveBands.h"
#include "space/RoomAcoustics.h"
#include "space/RoomImpulse.h"

#include <cmath>

SpaceDecay spaceDecay(const space::RoomDescription& room, std::optional<double> distance, double sampleRate,
                      double stepSeconds)
{
    const space::ImpulseResponse ir = space::roomImpulse(room, sampleRate, 2, distance);
    SpaceDecay decay{stepSeconds, {}, space::statedRt60(room), distance.value_or(space::describedDistance(room)), 0.0,
                     sampleRate};
    decay.directSeconds = decay.distance / space::kSpeedOfSound;
    const double framesPerStep = stepSeconds * sampleRate;
    for (const double centre : space::kBandCentres)
    {
        // A signal whose square is the ears' energies summed: the curve of both ears at once.
        std::vector<double> both(ir.frames(), 0.0);
        for (const auto& ear : ir.channels)
        {
            const std::vector<double> band = space::octaveBand(ear, sampleRate, centre);
            for (std::size_t n = 0; n < band.size(); ++n)
                both[n] += band[n] * band[n];
        }
        for (double& x : both)
            x = std::sqrt(x);
        const std::vector<double> curve = space::energyDecayCurve(both);
        BandDecay band{centre, {}, space::reverberationTimeT30(curve, sampleRate)};
        for (std::size_t step = 0;; ++step)
        {
            const auto frame = static_cast<std::size_t>(std::lround(static_cast<double>(step) * framesPerStep));
            // The curve ends where the response's energy does.
            if (frame >= curve.size() || !std::isfinite(curve[frame]))
                break;
            band.db.push_back(curve[frame]);
        }
        decay.bands.push_back(std::move(band));
    }
    return decay;
}
