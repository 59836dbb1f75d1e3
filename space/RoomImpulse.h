// A generated space's impulse response, computed at the render's rate from its description:
// the direct sound and the early reflections by the image-source method, then a diffuse tail
// of noise decaying in each octave band at the band's reverberation time (RoomAcoustics.h),
// its level from the room's absorption, faded in over the room's mixing time. Two ears are two
// receivers 17.5 cm apart, across the line to the source, with tails of unrelated noise; one
// ear listens at the listener's place. The noise is seeded from the space's name: the same
// space at the same rate is the same response every time.
//
// The response's loudest octave band keeps the line's power (the ears' mean): a room of even
// colour keeps it in every band, and through a wall the lows keep it while the rest falls
// away. The distance moves the balance between direct and reverberant sound, not the level.
#pragma once

#include "space/ImpulseResponse.h"
#include "space/SpaceCatalogue.h"

#include <optional>

namespace space
{

// The response for `ears` (1 or 2) ears. `distance` puts the listener that far from the source
// along the line between them (metres; the description's own place when absent); throws
// SpaceError when that leaves the room.
ImpulseResponse roomImpulse(const RoomDescription& room, double sampleRate, unsigned ears,
                            std::optional<double> distance = std::nullopt);

// The source-listener distance a space describes, and the farthest that fits in the room
// along the same line.
double describedDistance(const RoomDescription& room);
double longestDistance(const RoomDescription& room);

} // namespace space
