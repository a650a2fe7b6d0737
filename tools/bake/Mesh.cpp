#include "tools/bake/Mesh.h"

#include "engine/math/HalfFloat.h"

#include <meshoptimizer.h>

#include <stdexcept>
#include <string>

namespace bake {

using engine::math::floatToHalf;
using engine::math::halfToFloat;

TriangleSoup triangulate(const Room& room, int mesh, const AtlasLayout& layout,
                         const RegionPlacement& placement) {
    TriangleSoup soup;
    const float invW = 1.0F / static_cast<float>(placement.textureWidth);
    const float invH = 1.0F / static_cast<float>(placement.textureHeight);
    // The file stores texture coordinates as half floats, which in the upper half of a 4096
    // texture are two texels apart; the lighting is baked for the rounded coordinates, so the
    // texels land exactly where the renderer will look for them.
    auto pushCorner = [&](V3 p, V2 texel) {
        const V2 uv{
            halfToFloat(floatToHalf((static_cast<float>(placement.offsetX) + texel.x) * invW)),
            halfToFloat(floatToHalf(texel.y * invH))};
        soup.positions.push_back(p);
        soup.uvs.push_back(uv);
        soup.texels.push_back({uv.x * static_cast<float>(placement.textureWidth) -
                                   static_cast<float>(placement.offsetX),
                               uv.y * static_cast<float>(placement.textureHeight)});
    };
    for (std::size_t i = 0; i < room.patches.size(); ++i) {
        const Patch& patch = room.patches[i];
        if (patch.mesh != mesh) {
            continue;
        }
        const Chart& chart = layout.charts[i];
        for (std::size_t k = 0; k < patch.polygons.size(); ++k) {
            const auto& poly = patch.polygons[k];
            const float offset = patch.offsetOf(k);
            for (std::size_t v = 1; v + 1 < poly.size(); ++v) {
                for (std::size_t corner : {std::size_t{0}, v, v + 1}) {
                    pushCorner(patch.toWorld(poly[corner], offset),
                               chart.texelOf(poly[corner], layout.padding));
                }
                soup.patchOfTriangle.push_back(static_cast<int>(i));
            }
        }
    }
    for (const DecorQuad& quad : room.decor) {
        if (quad.mesh != mesh) {
            continue;
        }
        for (int t = 0; t < 2; ++t) {
            const int corners[2][3] = {{0, 1, 2}, {0, 2, 3}};
            for (int c : corners[t]) {
                soup.positions.push_back(quad.corners[c]);
                soup.texels.push_back({});
                soup.uvs.push_back(quad.uvs[c]);
            }
            soup.patchOfTriangle.push_back(-1);
        }
    }
    return soup;
}

IndexedMesh optimizeMesh(const TriangleSoup& soup) {
    struct Vertex {
        float px, py, pz, u, v;
    };
    std::vector<Vertex> corners;
    corners.reserve(soup.positions.size());
    for (std::size_t i = 0; i < soup.positions.size(); ++i) {
        corners.push_back({soup.positions[i].x, soup.positions[i].y, soup.positions[i].z,
                           soup.uvs[i].x, soup.uvs[i].y});
    }
    const std::size_t indexCount = corners.size();
    std::vector<unsigned int> remap(indexCount);
    const std::size_t vertexCount = meshopt_generateVertexRemap(
        remap.data(), nullptr, indexCount, corners.data(), indexCount, sizeof(Vertex));
    if (vertexCount >= 65536) {
        throw std::runtime_error("mesh has " + std::to_string(vertexCount) +
                                 " vertices, more than 16-bit indices can address");
    }
    std::vector<Vertex> vertices(vertexCount);
    meshopt_remapVertexBuffer(vertices.data(), corners.data(), indexCount, sizeof(Vertex),
                              remap.data());
    std::vector<unsigned int> indices(indexCount);
    meshopt_remapIndexBuffer(indices.data(), nullptr, indexCount, remap.data());
    meshopt_optimizeVertexCache(indices.data(), indices.data(), indexCount, vertexCount);
    meshopt_optimizeVertexFetch(vertices.data(), indices.data(), indexCount, vertices.data(),
                                vertexCount, sizeof(Vertex));

    IndexedMesh out;
    for (const Vertex& v : vertices) {
        out.positions.push_back({v.px, v.py, v.pz});
        out.uvs.push_back({v.u, v.v});
    }
    out.indices.reserve(indexCount);
    for (unsigned int i : indices) {
        out.indices.push_back(static_cast<std::uint16_t>(i));
    }
    return out;
}

} // namespace bake
