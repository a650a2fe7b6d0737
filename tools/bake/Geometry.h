#pragma once

#include "tools/bake/Vec.h"

#include <cstdint>
#include <string>
#include <vector>

namespace bake {

// The kinds of concrete the albedo generator knows. Each one chooses a finish (board marks,
// form-panel joints, tie holes, trowelled floor) and a base tone.
enum class Finish : std::uint8_t {
    BoardFormed, // walls cast against horizontal timber boards
    PanelFormed, // columns, beams and soffits cast against large smooth panels
    Floor,       // power-trowelled floor slab
    Stair,       // precast treads and risers
    Sky,         // not concrete: the bright outside seen through the openings
};

// A set of convex polygons lying in one plane that share one chart of the texture atlas.
// Points are (u, v) coordinates along the plane's axes; the front face is the side that
// cross(uAxis, vAxis) points to, and every polygon is counter-clockwise seen from there.
struct Patch {
    V3 origin;
    V3 uAxis;
    V3 vAxis;
    std::vector<std::vector<V2>> polygons;
    // Offset of each polygon along the normal; empty means all lie in the plane. Parallel
    // faces that do not overlap seen along the normal (the rib soffits and the coffer tops
    // of a waffle slab) share one chart this way.
    std::vector<float> offsets;
    Finish finish = Finish::BoardFormed;
    int mesh = 0;        // which of the room's meshes draws it
    float detail = 1.0F; // texel density relative to the room's base density

    V3 normal() const { return cross(uAxis, vAxis); }
    float offsetOf(std::size_t polygon) const { return offsets.empty() ? 0.0F : offsets[polygon]; }
    V3 toWorld(V2 p, float offset = 0.0F) const {
        return origin + uAxis * p.x + vAxis * p.y + normal() * offset;
    }
};

// A rectangle through which daylight enters: `corner` plus the spans `edgeA` and `edgeB`.
// cross(edgeA, edgeB) points into the room.
struct Portal {
    V3 corner;
    V3 edgeA;
    V3 edgeB;
};

// What a decoration quad shows: its texture comes from a painted block of the room's
// texture instead of a baked chart.
enum class Outside : std::uint8_t {
    Ground, // the sunlit ground beyond the openings, one tone
    Sky,    // the sky: uvs.y runs from the horizon (0) to the zenith (1)
    Hidden, // a placeholder that no camera sees
};

// A quad outside the rooms that is drawn with a fixed texture region instead of a baked
// chart (the sky and the sunlit ground beyond the openings). `uvs` are in the painted
// block's own unit square until the baker places the block in the atlas.
struct DecorQuad {
    V3 corners[4]; // counter-clockwise seen from the front
    V2 uvs[4];
    int mesh = 0;
    Outside part = Outside::Ground;
};

struct Room {
    std::string name;
    std::vector<Patch> patches;
    std::vector<Portal> portals;
    std::vector<DecorQuad> decor;
};

// Axis-aligned planes: the direction the front face looks at.
enum class Facing : std::uint8_t { PosX, NegX, PosY, NegY, PosZ, NegZ };

// An axis-aligned rectangle in the two world axes that span a plane, in world units:
// for x-facing planes (y, z), for y-facing (x, z), for z-facing (x, y).
struct Rect {
    float a0;
    float b0;
    float a1;
    float b1;
};

// A patch in the plane facing `facing` at world coordinate `at` along its normal axis, made
// of world-aligned rectangles (converted to counter-clockwise plane polygons).
Patch axisPatch(Facing facing, float at, const std::vector<Rect>& rects, Finish finish,
                int mesh = 0, float detail = 1.0F);

// Splits `outer` into a grid of cells along every edge of the holes and keeps the cells that
// lie in no hole, so neighbouring cells share whole edges and the mesh has no T-junctions.
std::vector<Rect> rectsAroundHoles(const Rect& outer, const std::vector<Rect>& holes);

} // namespace bake
