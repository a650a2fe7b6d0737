#pragma once

#include "scene/kadrel/CameraTable.h"
#include "tools/bake/Geometry.h"

#include <span>

namespace bake {

// Room 1: a wide, low hall under a coffered slab, lit from a west window band, a row of north
// slots, an east clerestory and light wells through the coffers.
Room buildRoom1();

// Room 2: a tall atrium with galleries on both long sides, bridges at several heights, a
// stair, a skylit roof crossed by deep fins and tall slot windows.
Room buildRoom2();

// The recorded camera paths the room is built around.
std::span<const kadrel::RecordedPath> roomPaths(int roomIndex);

inline V3 toV3(const kadrel::RecordedPoint& p) {
    return {p.x, p.y, p.z};
}

// Daylight of a room: where the sun is and how bright sun and sky are (linear units; the
// exposure is chosen later).
struct Daylight {
    V3 toSun;
    V3 sunColor;
    V3 skyZenith;
    V3 skyHorizon;
};

Daylight roomDaylight(int roomIndex);

} // namespace bake
