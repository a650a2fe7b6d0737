#pragma once

#include "tools/bake/Atlas.h"
#include "tools/bake/Mesh.h"
#include "tools/bake/Rooms.h"

#include <cstdint>
#include <vector>

namespace bake {

struct LightingQuality {
    int sunRays = 16;     // shadow rays per texel towards the sun disc
    int aoRays = 16;      // short occlusion rays per texel
    int skyRays = 256;    // portal samples per indirect texel
    int bounceRays = 324; // gather rays per indirect texel and bounce
    int bounces = 3;
    int threads = 2;
    bool verbose = true;
};

// A room's texture region after lighting: linear radiance (albedo times irradiance) per
// texel, and which texels belong to a chart and saw the room from the front.
struct LitRegion {
    int width = 0;
    int height = 0;
    std::vector<V3> radiance;
    std::vector<std::int32_t> chartOf; // chart per texel (padding included), -1 outside
    std::vector<std::uint8_t> valid;   // texel shows a visible surface point
    std::vector<std::uint8_t> filled;  // valid, or filled from valid neighbours of its chart
};

// Charts must start and end on multiples of this many texels (the indirect light's grid).
inline constexpr int LIGHTMAP_ALIGNMENT = 4;

// Bakes sun, sky through the portals, diffuse interreflection and ambient occlusion into the
// room's atlas with Embree. `soup` is mesh 0 of the room, triangulated with `layout`.
LitRegion lightRoom(const Room& room, const AtlasLayout& layout, const TriangleSoup& soup,
                    const Daylight& daylight, const LightingQuality& quality);

// Fills texels outside the valid set from valid neighbours of the same chart, `rings` texels
// deep, so that filtering at chart borders never reads another chart or an empty texel.
void dilateWithinCharts(std::vector<V3>& image, std::vector<std::uint8_t>& valid,
                        const std::vector<std::int32_t>& chartOf, int width, int height, int rings);

} // namespace bake
