#pragma once

#include "tools/bake/Geometry.h"

#include <vector>

namespace bake {

// Where one patch lies in the room's texture region, and how its plane maps onto texels.
struct Chart {
    int patch = -1;
    int x = 0; // top-left of the padded rectangle, in region texels
    int y = 0;
    int width = 0; // padded size in texels
    int height = 0;
    V2 planeMin; // plane coordinates at the first inner texel's corner
    float unitsPerTexelU = 1.0F;
    float unitsPerTexelV = 1.0F;

    // Region texel coordinates (not centres) of a point of the patch plane.
    V2 texelOf(V2 plane, int padding) const {
        return {static_cast<float>(x + padding) + (plane.x - planeMin.x) / unitsPerTexelU,
                static_cast<float>(y + padding) + (plane.y - planeMin.y) / unitsPerTexelV};
    }
};

struct AtlasLayout {
    int width = 0; // the room's region, in texels
    int height = 0;
    int padding = 0;
    float baseUnitsPerTexel = 0.0F;
    std::vector<Chart> charts; // one per patch, same order
    Chart reserved;            // an extra block for the bright outside (may be empty)
};

struct AtlasRequest {
    int width = 0;
    int height = 0;
    int padding = 4;
    int alignment = 2;    // chart positions and sizes are multiples of this
    int reservedSize = 0; // side of an extra square block, 0 for none
    // Each patch's density weight (detail times closeness to the camera paths).
    std::vector<float> weights;
};

// Packs one chart per patch into the region, with the densest texel size that fits.
AtlasLayout packAtlas(const Room& room, const AtlasRequest& request);

} // namespace bake
