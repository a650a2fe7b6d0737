#pragma once

#include "tools/bake/Geometry.h"

#include <span>
#include <vector>

namespace bake {

struct Triangle {
    V3 a;
    V3 b;
    V3 c;
};

// The patch's polygons fan-triangulated, in world space.
std::vector<Triangle> patchTriangles(const Patch& patch);

// Closest distance between the segment pq and the triangle, exact: zero when the segment
// pierces the triangle, otherwise the least of the end points against the triangle and the
// segment against the three edges.
float segmentTriangleDistance(V3 p, V3 q, const Triangle& t);

// Closest distance between the segment pq and any of the triangles.
float segmentClearance(V3 p, V3 q, std::span<const Triangle> triangles);

} // namespace bake
