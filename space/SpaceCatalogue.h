// The generated spaces: each a shoebox room described by its size, what its six surfaces are
// made of, where the source and the listener stand and, for a sound heard through a wall, the
// wall's mass. The impulse responses are computed from these descriptions (RoomImpulse.h), and
// so are the reverberation times the spaces state (RoomAcoustics.h).
#pragma once

#include "space/OctaveBands.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace space
{

// A surface's share of the sound it does not reflect, per octave band.
struct Material
{
    const char* name;
    BandValues absorption;
};

// Metres from the room's corner: x across (width), y along (length), z up (height).
struct Point
{
    double x, y, z;
};

struct RoomSize
{
    double width, length, height;
};

enum Surface : std::size_t
{
    Floor,   // z = 0
    Ceiling, // z = height
    Left,    // x = 0
    Right,   // x = width
    Front,   // y = 0
    Back,    // y = length
    kSurfaceCount
};

struct RoomDescription
{
    const char* name;  // as settings name it: lower case, words joined by '-'
    const char* sound; // one line: how it sounds
    const char* tags;  // what it is and what it is heard as, for finding it: "train station, hall, PA"
    RoomSize size;
    std::array<const Material*, kSurfaceCount> surfaces; // in the order of Surface
    Point source;
    Point listener;
    // The surface mass of a wall between the source and this room, kg/m², when the sound is
    // heard through one (the source then stands against it); 0: the source is in the room.
    double wallMass = 0.0;
};

const std::vector<RoomDescription>& spaceCatalogue();
// The space a name gives (any case; spaces and '_' read as '-'), or null.
const RoomDescription* findSpace(const std::string& name);
// "car, phone-booth, ...", for help and error messages.
std::string spaceNamesText();

} // namespace space
