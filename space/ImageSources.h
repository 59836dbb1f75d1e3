// The paths from a source to a receiver in a shoebox room by the image-source method: the
// direct path and each specular reflection, mirrored in the walls, up to a path length.
#pragma once

#include "space/OctaveBands.h"
#include "space/SpaceCatalogue.h"

#include <vector>

namespace space
{

struct SoundPath
{
    double length;     // metres
    int order;         // reflections on the way; 0: the direct sound
    BandValues gain;   // the product of the surfaces' reflection factors sqrt(1 - absorption)
};

// Every path no longer than `longest` metres, the direct one first; paths that an open
// surface (absorption 1) ends are left out.
std::vector<SoundPath> soundPaths(const RoomDescription& room, const Point& source, const Point& receiver,
                                  double longest);

} // namespace space
