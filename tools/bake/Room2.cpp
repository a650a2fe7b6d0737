#include "tools/bake/Elements.h"
#include "tools/bake/Rooms.h"

namespace bake {

namespace {

// The atrium volume and its levels.
constexpr float AX0 = -2112.0F;
constexpr float AX1 = 1600.0F;
constexpr float AY0 = -1216.0F;
constexpr float AY1 = 1088.0F;
constexpr float FLOOR = -64.0F;
constexpr float ROOF = 1600.0F;
constexpr float ROOF_THICKNESS = 96.0F;
constexpr float WALL = 96.0F;
constexpr float GALLERY_DEPTH = 224.0F;
constexpr float SLAB = 48.0F;
constexpr float PARAPET = 96.0F;
constexpr float PARAPET_THICKNESS = 32.0F;
constexpr float LEVELS[] = {384.0F, 768.0F, 1152.0F};

// Meshes of the room: concrete with the outside, and two the scene draws with the bloom and
// sky textures.
constexpr int CONCRETE = 0;
constexpr int OUTSIDE = 1;
constexpr int SKY = 2;

struct Bridge {
    float x0;
    float x1;
    float level;
};

// Ordered by x within each level, as the parapets are cut in that order. The lower east
// bridge stands at the east end, behind the camera that crosses the atrium at mid-height
// from there: anywhere ahead of it, the camera looks down onto its parapets for the whole
// slow start of that path.
constexpr Bridge BRIDGES[] = {{-1664.0F, -1536.0F, 384.0F},
                              {1344.0F, 1472.0F, 384.0F},
                              {-1664.0F, -1536.0F, 1152.0F},
                              {-464.0F, -336.0F, 1152.0F},
                              {960.0F, 1088.0F, 1152.0F}};

// A parapet along x from AX0 to AX1 with gaps where the bridges of its level land.
void addParapet(Room& room, float level, float y0, float y1) {
    float x = AX0;
    auto segment = [&](float to) {
        if (to > x) {
            addBox(room, {x, y0, level}, {to, y1, level + PARAPET}, Finish::PanelFormed,
                   {x > AX0, to < AX1, true, true, false, true});
        }
    };
    for (const Bridge& b : BRIDGES) {
        if (b.level == level) {
            segment(b.x0);
            x = b.x1;
        }
    }
    segment(AX1);
}

// Piers on the long walls carry the gallery slabs and give the walls their rhythm.
void addPiers(Room& room) {
    for (float x = -1696.0F; x < AX1 - 64.0F; x += 640.0F) {
        addBox(room, {x - 48.0F, AY0, FLOOR}, {x + 48.0F, AY0 + 64.0F, ROOF}, Finish::PanelFormed,
               {true, true, false, true, false, false});
        addBox(room, {x - 48.0F, AY1 - 64.0F, FLOOR}, {x + 48.0F, AY1, ROOF}, Finish::PanelFormed,
               {true, true, true, false, false, false});
    }
}

void addGalleries(Room& room) {
    for (float level : LEVELS) {
        // South side: slab from the wall out to its edge, with an upstand parapet.
        const float southEdge = AY0 + GALLERY_DEPTH;
        addBox(room, {AX0, AY0, level - SLAB}, {AX1, southEdge, level}, Finish::PanelFormed,
               {false, false, false, true, true, true});
        addParapet(room, level, southEdge - PARAPET_THICKNESS, southEdge);
        // North side, mirrored.
        const float northEdge = AY1 - GALLERY_DEPTH;
        addBox(room, {AX0, northEdge, level - SLAB}, {AX1, AY1, level}, Finish::PanelFormed,
               {false, false, true, false, true, true});
        addParapet(room, level, northEdge, northEdge + PARAPET_THICKNESS);
    }
}

// A bridge from gallery edge to gallery edge: a deck with parapets on both sides.
void addBridge(Room& room, float x0, float x1, float level) {
    const float y0 = AY0 + GALLERY_DEPTH;
    const float y1 = AY1 - GALLERY_DEPTH;
    addBox(room, {x0, y0, level - SLAB}, {x1, y1, level}, Finish::PanelFormed,
           {true, true, false, false, true, true});
    addBox(room, {x0, y0, level}, {x0 + PARAPET_THICKNESS, y1, level + PARAPET},
           Finish::PanelFormed, {true, true, false, false, false, true});
    addBox(room, {x1 - PARAPET_THICKNESS, y0, level}, {x1, y1, level + PARAPET},
           Finish::PanelFormed, {true, true, false, false, false, true});
}

// A solid stair along the west wall, rising towards +y from the floor to the first north
// gallery. Its open side is cut as one column per step so that neighbours share edges.
void addStair(Room& room) {
    constexpr int steps = 28;
    constexpr float rise = (384.0F - FLOOR) / steps; // 16
    constexpr float going = 48.0F;
    constexpr float xOpen = -1920.0F;
    constexpr float yEnd = AY1 - GALLERY_DEPTH;
    constexpr float yStart = yEnd - going * steps;
    Patch side;
    side.origin = {xOpen, 0, 0};
    side.uAxis = {0, 1, 0};
    side.vAxis = {0, 0, 1};
    side.finish = Finish::BoardFormed;
    for (int k = 0; k < steps; ++k) {
        const float ya = yStart + going * static_cast<float>(k);
        const float yb = ya + going;
        const float top = FLOOR + rise * static_cast<float>(k + 1);
        room.patches.push_back(
            axisPatch(Facing::PosZ, top, {{AX0, ya, xOpen, yb}}, Finish::Stair, 0, 1.0F));
        room.patches.push_back(
            axisPatch(Facing::NegY, ya, {{AX0, top - rise, xOpen, top}}, Finish::Stair, 0, 1.0F));
        std::vector<V2> column{{ya, FLOOR}, {yb, FLOOR}, {yb, top}, {ya, top}};
        if (k > 0) {
            column.push_back({ya, top - rise});
        }
        side.polygons.push_back(std::move(column));
    }
    room.patches.push_back(std::move(side));
}

void addWalls(Room& room) {
    // West: three tall slots.
    std::vector<Rect> west{{-640, 448, -576, 1472}, {-32, 448, 32, 1472}, {576, 448, 640, 1472}};
    room.patches.push_back(axisPatch(
        Facing::PosX, AX0, rectsAroundHoles({AY0, FLOOR, AY1, ROOF}, west), Finish::BoardFormed));
    for (const Rect& h : west) {
        addOpening(room, Facing::PosX, AX0, WALL, h, Finish::BoardFormed, 0.6F);
    }

    // East: a wide doorway to the outside at floor level, a tall slot above it.
    std::vector<Rect> east{{-288, FLOOR, 288, 576}, {-32, 832, 32, 1472}};
    room.patches.push_back(axisPatch(
        Facing::NegX, AX1, rectsAroundHoles({AY0, FLOOR, AY1, ROOF}, east), Finish::BoardFormed));
    for (const Rect& h : east) {
        addOpening(room, Facing::NegX, AX1, WALL, h, Finish::BoardFormed, 0.6F);
    }

    // South: a row of high windows above the top gallery; the sun comes in here.
    std::vector<Rect> south;
    for (float x = AX0 + 160.0F; x + 192.0F <= AX1 - 128.0F; x += 320.0F) {
        south.push_back({x, 1280.0F, x + 192.0F, 1504.0F});
    }
    room.patches.push_back(axisPatch(
        Facing::PosY, AY0, rectsAroundHoles({AX0, FLOOR, AX1, ROOF}, south), Finish::BoardFormed));
    for (const Rect& h : south) {
        addOpening(room, Facing::PosY, AY0, WALL, h, Finish::BoardFormed, 0.6F);
    }

    // North: closed; the sun draws the skylight fins on it.
    room.patches.push_back(
        axisPatch(Facing::NegY, AY1, {{AX0, FLOOR, AX1, ROOF}}, Finish::BoardFormed));
}

void addRoof(Room& room) {
    const Rect slot{-1856.0F, -320.0F, 1344.0F, 192.0F};
    room.patches.push_back(axisPatch(Facing::NegZ, ROOF,
                                     rectsAroundHoles({AX0, AY0, AX1, AY1}, {slot}),
                                     Finish::PanelFormed, 0, 0.7F));
    addOpening(room, Facing::NegZ, ROOF, ROOF_THICKNESS, slot, Finish::PanelFormed, 0.6F);
    // Deep fins across the skylight cut the sun into stripes.
    for (float x = slot.a0 + 208.0F; x + 48.0F < slot.a1; x += 256.0F) {
        addBox(room, {x, slot.b0 - 64.0F, ROOF - 192.0F}, {x + 48.0F, slot.b1 + 64.0F, ROOF},
               Finish::PanelFormed, {true, true, true, true, true, false}, false, CONCRETE, 0.6F);
    }
}

// Meshes 1 and 2 are drawn with the bloom and sky textures for both the picture and the
// glow, so whatever they showed would glow as bright as it is. The outside now lives in mesh 0
// with a glow of its own; these meshes keep one small triangle each, under the outside
// ground where no camera sees it, as the scene still draws them.
void addPlaceholders(Room& room) {
    for (int mesh : {OUTSIDE, SKY}) {
        DecorQuad hidden;
        const float z = FLOOR - 1024.0F;
        hidden.corners[0] = {0.0F, 0.0F, z};
        hidden.corners[1] = {0.0F, 64.0F, z};
        hidden.corners[2] = {64.0F, 64.0F, z};
        hidden.corners[3] = {64.0F, 0.0F, z};
        for (V2& uv : hidden.uvs) {
            uv = {0.0F, 0.0F};
        }
        hidden.mesh = mesh;
        hidden.part = Outside::Hidden;
        room.decor.push_back(hidden);
    }
}

} // namespace

Room buildRoom2() {
    Room room;
    room.name = "room2";
    room.patches.push_back(
        axisPatch(Facing::PosZ, FLOOR, {{AX0, AY0, AX1, AY1}}, Finish::Floor, 0, 1.2F));
    addWalls(room);
    addRoof(room);
    addPiers(room);
    addGalleries(room);
    for (const Bridge& b : BRIDGES) {
        addBridge(room, b.x0, b.x1, b.level);
    }
    addStair(room);
    addOutside(room, FLOOR - 8.0F, 4096.0F);
    addPlaceholders(room);
    return room;
}

std::span<const kadrel::RecordedPath> roomPaths(int roomIndex) {
    return kadrel::CAMERA_TABLE[static_cast<std::size_t>(roomIndex)];
}

// Both rooms share one white balance: a warm sun and a cool sky, in the proportions of a
// clear day, so that sunlit patches read warm and the shade cool in either room.
constexpr V3 SUN_TINT{1.0F, 0.86F, 0.68F};
constexpr V3 SKY_ZENITH_TINT{0.60F, 0.74F, 1.0F};
constexpr V3 SKY_HORIZON_TINT{0.92F, 0.96F, 1.0F};

Daylight roomDaylight(int roomIndex) {
    if (roomIndex == 0) {
        // Late afternoon: low sun from the west-south-west through the window band, and a
        // bright sky in the light wells that lifts the coffers out of the dark.
        return {normalize(V3{-0.87F, -0.30F, 0.42F}), SUN_TINT * 6.0F, SKY_ZENITH_TINT * 9.0F,
                SKY_HORIZON_TINT * 9.0F};
    }
    // Midday: high sun from the south-south-west through the high windows and the skylight.
    return {normalize(V3{-0.26F, -0.56F, 0.79F}), SUN_TINT * 7.0F, SKY_ZENITH_TINT * 5.0F,
            SKY_HORIZON_TINT * 5.0F};
}

} // namespace bake
