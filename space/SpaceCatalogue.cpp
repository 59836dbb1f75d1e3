#include "space/SpaceCatalogue.h"

#include <algorithm>
#include <cctype>

namespace space
{
namespace
{
// Absorption coefficients at 125 Hz, 250 Hz, 500 Hz, 1 kHz, 2 kHz, 4 kHz and 8 kHz, from the
// usual published tables; a surface that stands for a mix (a floor with people, an end wall
// with a tunnel's mouth in it) takes the mix's mean.
constexpr Material kOpen{"open (sky, a street's ends)", {1.00, 1.00, 1.00, 1.00, 1.00, 1.00, 1.00}};
constexpr Material kGlazedTile{"glazed tile", {0.01, 0.01, 0.01, 0.02, 0.02, 0.02, 0.03}};
constexpr Material kTiledBoard{"tile on plasterboard", {0.10, 0.06, 0.03, 0.02, 0.02, 0.02, 0.03}};
constexpr Material kConcrete{"sealed concrete", {0.01, 0.01, 0.02, 0.02, 0.02, 0.03, 0.04}};
constexpr Material kPlaster{"plaster on masonry", {0.01, 0.02, 0.02, 0.03, 0.04, 0.05, 0.05}};
constexpr Material kPlasterboard{"plasterboard on studs", {0.29, 0.10, 0.05, 0.04, 0.07, 0.09, 0.09}};
constexpr Material kStone{"dressed stone", {0.02, 0.02, 0.03, 0.04, 0.05, 0.05, 0.05}};
constexpr Material kPlateGlass{"large panes of heavy glass", {0.18, 0.06, 0.04, 0.03, 0.02, 0.02, 0.02}};
constexpr Material kWindows{"ordinary windows", {0.35, 0.25, 0.18, 0.12, 0.07, 0.04, 0.04}};
constexpr Material kWoodFloor{"wooden floor", {0.15, 0.11, 0.10, 0.07, 0.06, 0.07, 0.07}};
constexpr Material kWoodCeiling{"wooden vault", {0.15, 0.10, 0.07, 0.06, 0.06, 0.06, 0.06}};
constexpr Material kCarpet{"carpet on concrete", {0.02, 0.06, 0.14, 0.37, 0.60, 0.65, 0.65}};
constexpr Material kRugFloor{"wooden floor with a rug", {0.10, 0.15, 0.25, 0.30, 0.35, 0.35, 0.35}};
constexpr Material kCurtains{"heavy curtains", {0.07, 0.31, 0.49, 0.75, 0.70, 0.60, 0.60}};
constexpr Material kFurnished{"sofa, shelves and books", {0.20, 0.30, 0.35, 0.40, 0.40, 0.40, 0.40}};
constexpr Material kCeilingTiles{"mineral-fibre ceiling tiles", {0.50, 0.70, 0.60, 0.70, 0.70, 0.50, 0.50}};
constexpr Material kHallCeiling{"ceiling with absorbent panels", {0.25, 0.30, 0.35, 0.40, 0.40, 0.35, 0.35}};
constexpr Material kStage{"stage with its curtain", {0.14, 0.35, 0.55, 0.72, 0.70, 0.65, 0.65}};
constexpr Material kPews{"wooden pews, a few people", {0.20, 0.28, 0.32, 0.36, 0.38, 0.38, 0.38}};
constexpr Material kUpholstery{"seats and headliner", {0.30, 0.45, 0.50, 0.55, 0.60, 0.60, 0.60}};
constexpr Material kCarGlass{"car windows", {0.35, 0.25, 0.18, 0.12, 0.07, 0.04, 0.04}};
constexpr Material kDashboard{"dashboard and windscreen", {0.10, 0.10, 0.12, 0.12, 0.12, 0.12, 0.12}};
constexpr Material kBoothFloor{"a caller and the gap under the door", {0.50, 0.60, 0.70, 0.75, 0.75, 0.75, 0.75}};
constexpr Material kDoorAndTowels{"door and towels", {0.15, 0.20, 0.30, 0.35, 0.40, 0.40, 0.40}};
constexpr Material kAsphalt{"asphalt", {0.02, 0.03, 0.03, 0.03, 0.03, 0.02, 0.02}};
constexpr Material kFacade{"brick and window facade", {0.05, 0.04, 0.04, 0.03, 0.03, 0.03, 0.03}};
constexpr Material kTunnelMouth{"end wall with a tunnel's mouth", {0.50, 0.50, 0.50, 0.50, 0.50, 0.50, 0.50}};
constexpr Material kTrackBed{"platform and track bed", {0.25, 0.30, 0.30, 0.30, 0.35, 0.35, 0.35}};
constexpr Material kCrowdFloor{"stone floor with people", {0.08, 0.12, 0.18, 0.24, 0.28, 0.28, 0.28}};
constexpr Material kSteelRoof{"glass and steel roof", {0.25, 0.12, 0.06, 0.04, 0.03, 0.03, 0.03}};
constexpr Material kShopFronts{"shop fronts", {0.12, 0.10, 0.08, 0.08, 0.08, 0.08, 0.08}};
constexpr Material kEntrances{"entrances and ticket hall", {0.40, 0.40, 0.40, 0.40, 0.40, 0.40, 0.40}};
constexpr Material kPlatformOpenings{"openings to the platforms", {0.75, 0.75, 0.75, 0.75, 0.75, 0.75, 0.75}};
constexpr Material kReception{"reception desk, a bench and plants", {0.15, 0.20, 0.25, 0.30, 0.30, 0.30, 0.30}};
constexpr Material kLiftsAndCorridor{"lift doors and a corridor's mouth", {0.35, 0.35, 0.35, 0.35, 0.35, 0.35, 0.35}};

// Surfaces in the order floor, ceiling, left, right, front, back.
const std::vector<RoomDescription> kSpaces = {
    {"car", "inside a car: close, dry and boxy, the voice thickened by the cabin and gone at once",
     "vehicle, car interior, cabin, dashboard, taxi, small, dry",
     {1.4, 2.2, 1.15}, {&kUpholstery, &kUpholstery, &kCarGlass, &kCarGlass, &kDashboard, &kUpholstery},
     {0.70, 0.15, 0.75}, {0.35, 0.85, 0.95}},
    {"phone-booth", "a glass phone booth: boxy and bright, a short hard ring around the voice",
     "telephone box, phone box, kiosk, booth, glass, small",
     {1.0, 1.0, 2.3}, {&kBoothFloor, &kCeilingTiles, &kPlateGlass, &kPlateGlass, &kPlateGlass, &kPlateGlass},
     {0.50, 0.15, 1.50}, {0.50, 0.55, 1.60}},
    {"bathroom", "a small tiled bathroom: bright, ringing and close, just under a second of tail",
     "shower, toilet, washroom, tiles, small, room, echo",
     {2.2, 2.6, 2.4}, {&kGlazedTile, &kPlaster, &kTiledBoard, &kTiledBoard, &kTiledBoard, &kDoorAndTowels},
     {0.30, 0.40, 1.20}, {1.30, 1.70, 1.60}},
    {"living-room", "a furnished living room: soft and warm, a short tail the ear barely notices",
     "home, house, lounge, flat, apartment, domestic, room, television, TV",
     {4.5, 5.5, 2.5}, {&kRugFloor, &kPlasterboard, &kPlasterboard, &kFurnished, &kWindows, &kCurtains},
     {2.25, 0.40, 1.00}, {2.00, 4.20, 1.10}},
    {"office", "an office with a tiled ceiling and carpet: dry and even, the voice a little distant",
     "workplace, meeting room, call centre, room, dry",
     {6.0, 8.0, 2.8}, {&kCarpet, &kCeilingTiles, &kPlasterboard, &kWindows, &kPlasterboard, &kPlasterboard},
     {1.50, 2.00, 1.10}, {3.50, 5.00, 1.20}},
    {"lobby", "a hard entrance lobby of stone, plaster and a glass front: bright and ringing, near two seconds",
     "entrance hall, foyer, reception, intercom, building, hall, room, echo",
     {8.0, 12.0, 4.0}, {&kStone, &kPlaster, &kPlaster, &kReception, &kPlateGlass, &kLiftsAndCorridor},
     {1.20, 0.30, 1.50}, {3.00, 3.00, 1.60}},
    {"stairwell", "a concrete stairwell, two floors up: hard, hollow and long, the words smeared",
     "stairs, staircase, corridor, concrete, building, echo",
     {3.0, 6.0, 12.0}, {&kConcrete, &kPlaster, &kPlasterboard, &kPlasterboard, &kConcrete, &kWindows},
     {1.00, 1.00, 1.00}, {2.00, 4.50, 5.00}},
    {"school-hall", "a school hall from the middle rows: a lively bloom of well over a second",
     "hall, assembly hall, auditorium, gym, gymnasium, room, large",
     {15.0, 25.0, 7.0}, {&kWoodFloor, &kHallCeiling, &kWindows, &kPlaster, &kStage, &kPlaster},
     {7.50, 2.00, 1.80}, {7.50, 15.00, 1.20}},
    {"church", "a stone church from the pews: a slow, dark tail of four seconds, the voice far away",
     "cathedral, chapel, hall, stone, large, echo",
     {16.0, 34.0, 15.0}, {&kPews, &kWoodCeiling, &kStone, &kStone, &kStone, &kStone},
     {8.00, 3.00, 1.80}, {6.00, 20.00, 1.20}},
    {"station", "a train-station concourse: a big, washy hall, near three seconds, announcements blur",
     "train station, railway, concourse, terminal, hall, airport, public address, PA, announcement, large, echo",
     {30.0, 50.0, 15.0}, {&kCrowdFloor, &kSteelRoof, &kShopFronts, &kEntrances, &kPlatformOpenings, &kPlateGlass},
     {2.00, 25.00, 8.00}, {18.00, 20.00, 1.60}},
    {"underground", "an underground platform: a long tiled tube, boomy and ringing, two seconds",
     "subway, metro, tube, train, station, platform, tunnel, public address, PA, announcement, echo",
     {14.0, 120.0, 6.0}, {&kTrackBed, &kConcrete, &kGlazedTile, &kGlazedTile, &kTunnelMouth, &kTunnelMouth},
     {7.00, 40.00, 4.50}, {5.00, 52.00, 1.60}},
    {"street", "a street between tall buildings: open above, slaps and a flutter off the facades",
     "outdoors, outside, city, town, alley, buildings, urban, slapback, echo",
     {12.0, 80.0, 18.0}, {&kAsphalt, &kOpen, &kFacade, &kFacade, &kOpen, &kOpen},
     {4.00, 30.00, 1.20}, {8.00, 42.00, 1.60}},
    {"next-room", "the living room, the sound coming through its wall: muffled and boomy, words half lost",
     "next door, through the wall, wall, neighbour, adjacent room, room, home, television, TV, muffled",
     {4.5, 5.5, 2.5}, {&kRugFloor, &kPlasterboard, &kPlasterboard, &kFurnished, &kPlasterboard, &kFurnished},
     {2.25, 0.05, 1.20}, {2.00, 4.20, 1.10}, 25.0},
};

std::string canonical(const std::string& name)
{
    std::string s;
    for (unsigned char c : name)
        s += (c == ' ' || c == '_') ? '-' : static_cast<char>(std::tolower(c));
    return s;
}
} // namespace

const std::vector<RoomDescription>& spaceCatalogue() { return kSpaces; }

const RoomDescription* findSpace(const std::string& name)
{
    const std::string wanted = canonical(name);
    const auto found = std::find_if(kSpaces.begin(), kSpaces.end(),
                                    [&](const RoomDescription& room) { return wanted == room.name; });
    return found == kSpaces.end() ? nullptr : &*found;
}

std::string spaceNamesText()
{
    std::string text;
    for (const RoomDescription& room : kSpaces)
        text += (text.empty() ? "" : ", ") + std::string(room.name);
    return text;
}

} // namespace space
