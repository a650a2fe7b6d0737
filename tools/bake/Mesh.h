#pragma once

#include "tools/bake/Atlas.h"
#include "tools/bake/Geometry.h"

#include <cstdint>
#include <vector>

namespace bake {

// Triangles of one output mesh before encoding: world positions, texture coordinates as the
// file will hold them (rounded to half floats), and the same in region texels for the
// lightmapper, per corner.
struct TriangleSoup {
    std::vector<V3> positions;
    std::vector<V2> texels;
    std::vector<V2> uvs;
    std::vector<int> patchOfTriangle; // -1 for decoration
};

// Where the room's region lies in its texture: offset and full texture size in texels.
struct RegionPlacement {
    int offsetX = 0;
    int textureWidth = 1;
    int textureHeight = 1;
};

// Fan-triangulates every polygon of the room's patches of mesh `mesh`, adds the decoration
// quads of that mesh, and assigns texture coordinates from the atlas layout.
TriangleSoup triangulate(const Room& room, int mesh, const AtlasLayout& layout,
                         const RegionPlacement& placement);

// The indexed mesh as written to disk: deduplicated and reordered for the vertex cache and
// for fetch locality.
struct IndexedMesh {
    std::vector<V3> positions;
    std::vector<V2> uvs;
    std::vector<std::uint16_t> indices;
};

// Throws when the mesh needs 65536 vertices or more.
IndexedMesh optimizeMesh(const TriangleSoup& soup);

} // namespace bake
