#include "tools/bake/Elements.h"
#include "tools/bake/Rooms.h"

#include <cmath>

namespace bake {

namespace {

// The hall: column grid of 832 on both axes, a waffle slab of 208 pitch above.
constexpr float X0 = -1152.0F;
constexpr float X1 = 2176.0F;
constexpr float Y0 = -1920.0F;
constexpr float Y1 = 1616.0F;
constexpr float SOFFIT = 512.0F;     // underside of the ribs
constexpr float COFFER_TOP = 640.0F; // ceiling of the coffers
constexpr float WELL_TOP = 896.0F;   // roof level of the light wells
constexpr float LANTERN_TOP = 1216.0F;
constexpr float PITCH = 208.0F;
constexpr float RIB = 48.0F;
constexpr float WALL = 64.0F;
constexpr float COLUMN_HALF = 48.0F;
constexpr float HEAD_HALF = 112.0F;
constexpr float HEAD_DEPTH = 40.0F;

constexpr float COLUMN_XS[] = {-320.0F, 512.0F, 1344.0F};
constexpr float COLUMN_YS[] = {-1088.0F, -256.0F, 576.0F, 1408.0F};

struct Coffer {
    Rect rect; // plan rectangle of the opening (x, y)
    float top;
    bool open; // a light well through the roof
};

std::vector<Coffer> coffers() {
    std::vector<Coffer> out;
    const int nx = static_cast<int>((X1 - X0) / PITCH);
    const int ny = static_cast<int>((Y1 - Y0) / PITCH);
    // The lantern replaces a block of 2 x 2 coffers over the south-east bays.
    const int lanternI = 11;
    const int lanternJ = 4;
    for (int j = 0; j < ny; ++j) {
        for (int i = 0; i < nx; ++i) {
            const bool inLantern =
                (i == lanternI || i == lanternI + 1) && (j == lanternJ || j == lanternJ + 1);
            if (inLantern) {
                continue;
            }
            const float x0 = X0 + PITCH * static_cast<float>(i) + RIB * 0.5F;
            const float y0 = Y0 + PITCH * static_cast<float>(j) + RIB * 0.5F;
            const bool well = (i % 2 == 1) && (j % 2 == 1);
            out.push_back(
                {{x0, y0, x0 + PITCH - RIB, y0 + PITCH - RIB}, well ? WELL_TOP : COFFER_TOP, well});
        }
    }
    const float lx = X0 + PITCH * lanternI + RIB * 0.5F;
    const float ly = Y0 + PITCH * lanternJ + RIB * 0.5F;
    out.push_back({{lx, ly, lx + 2 * PITCH - RIB, ly + 2 * PITCH - RIB}, LANTERN_TOP, true});
    return out;
}

void addCeiling(Room& room) {
    const std::vector<Coffer> list = coffers();
    std::vector<Rect> holes;
    holes.reserve(list.size());
    for (const Coffer& c : list) {
        holes.push_back(c.rect);
    }

    // Rib soffits and closed coffer tops face down and never overlap in plan: one chart.
    Patch ceiling = axisPatch(Facing::NegZ, SOFFIT, rectsAroundHoles({X0, Y0, X1, Y1}, holes),
                              Finish::PanelFormed, 0, 0.8F);
    ceiling.offsets.assign(ceiling.polygons.size(), 0.0F);
    Patch tops = axisPatch(Facing::NegZ, SOFFIT, {}, Finish::PanelFormed);
    for (const Coffer& c : list) {
        if (!c.open) {
            const Patch top = axisPatch(Facing::NegZ, SOFFIT, {c.rect}, Finish::PanelFormed);
            ceiling.polygons.push_back(top.polygons.front());
            ceiling.offsets.push_back(-(c.top - SOFFIT));
        }
    }
    room.patches.push_back(std::move(ceiling));

    // Coffer sides, grouped per plane.
    PlaneGroups sides;
    for (const Coffer& c : list) {
        const float top = c.open ? COFFER_TOP : c.top;
        const Rect& r = c.rect;
        sides.add(Facing::PosX, r.a0, {r.b0, SOFFIT, r.b1, top}, Finish::PanelFormed, 0.5F);
        sides.add(Facing::NegX, r.a1, {r.b0, SOFFIT, r.b1, top}, Finish::PanelFormed, 0.5F);
        sides.add(Facing::PosY, r.b0, {r.a0, SOFFIT, r.a1, top}, Finish::PanelFormed, 0.5F);
        sides.add(Facing::NegY, r.b1, {r.a0, SOFFIT, r.a1, top}, Finish::PanelFormed, 0.5F);
    }
    sides.emit(room);

    // Light wells: board-formed shafts above the open coffers, daylight at the top.
    for (const Coffer& c : list) {
        if (!c.open) {
            continue;
        }
        addBox(room, {c.rect.a0, c.rect.b0, COFFER_TOP}, {c.rect.a1, c.rect.b1, c.top},
               Finish::BoardFormed, SIDES_ONLY, true, 0, 0.6F);
        room.portals.push_back({{c.rect.a0, c.rect.b0, c.top},
                                {0.0F, c.rect.b1 - c.rect.b0, 0.0F},
                                {c.rect.a1 - c.rect.a0, 0.0F, 0.0F}});
    }
}

void addWalls(Room& room) {
    // West: a window band between the pilaster lines, sun enters here.
    std::vector<Rect> west;
    const float ys[] = {Y0, -1088.0F, -256.0F, 576.0F, 1408.0F, Y1};
    for (std::size_t k = 0; k + 1 < std::size(ys); ++k) {
        west.push_back({ys[k] + 80.0F, 96.0F, ys[k + 1] - 80.0F, 416.0F});
    }
    room.patches.push_back(axisPatch(Facing::PosX, X0, rectsAroundHoles({Y0, 0, Y1, SOFFIT}, west),
                                     Finish::BoardFormed));
    for (const Rect& h : west) {
        addOpening(room, Facing::PosX, X0, WALL, h, Finish::BoardFormed, 0.7F);
    }

    // North: a rhythm of tall narrow slots.
    std::vector<Rect> north;
    for (float x = X0 + 176.0F; x + 64.0F < X1 - 96.0F; x += 208.0F) {
        north.push_back({x, 32.0F, x + 64.0F, 448.0F});
    }
    room.patches.push_back(axisPatch(Facing::NegY, Y1, rectsAroundHoles({X0, 0, X1, SOFFIT}, north),
                                     Finish::BoardFormed));
    for (const Rect& h : north) {
        addOpening(room, Facing::NegY, Y1, WALL, h, Finish::BoardFormed, 0.5F);
    }

    // East: a clerestory under the slab.
    std::vector<Rect> east;
    for (std::size_t k = 0; k + 1 < std::size(ys); ++k) {
        east.push_back({ys[k] + 64.0F, 352.0F, ys[k + 1] - 64.0F, 464.0F});
    }
    room.patches.push_back(axisPatch(Facing::NegX, X1, rectsAroundHoles({Y0, 0, Y1, SOFFIT}, east),
                                     Finish::BoardFormed));
    for (const Rect& h : east) {
        addOpening(room, Facing::NegX, X1, WALL, h, Finish::BoardFormed, 0.5F);
    }

    // South: closed, board-formed, the wall the sun draws on.
    room.patches.push_back(axisPatch(Facing::PosY, Y0, {{X0, 0, X1, SOFFIT}}, Finish::BoardFormed));
}

void addColumns(Room& room) {
    for (float x : COLUMN_XS) {
        for (float y : COLUMN_YS) {
            addBox(room, {x - COLUMN_HALF, y - COLUMN_HALF, 0.0F},
                   {x + COLUMN_HALF, y + COLUMN_HALF, SOFFIT - HEAD_DEPTH}, Finish::PanelFormed,
                   SIDES_ONLY);
            // A square drop head spreads the column into the ribs.
            addBox(room, {x - HEAD_HALF, y - HEAD_HALF, SOFFIT - HEAD_DEPTH},
                   {x + HEAD_HALF, y + HEAD_HALF, SOFFIT}, Finish::PanelFormed,
                   {true, true, true, true, true, false});
        }
    }
}

} // namespace

Room buildRoom1() {
    Room room;
    room.name = "room1";
    room.patches.push_back(
        axisPatch(Facing::PosZ, 0.0F, {{X0, Y0, X1, Y1}}, Finish::Floor, 0, 1.2F));
    addWalls(room);
    addColumns(room);
    addCeiling(room);
    addOutside(room, -8.0F, 4096.0F);
    return room;
}

} // namespace bake
