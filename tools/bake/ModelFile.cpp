#include "tools/bake/ModelFile.h"

#include "engine/math/HalfFloat.h"
#include "tools/bake/Vec.h"

#include <cmath>

namespace bake {

using engine::math::floatToHalf;

namespace {

void putHalf(std::vector<std::uint8_t>& out, float value) {
    const std::uint16_t h = floatToHalf(value);
    out.push_back(static_cast<std::uint8_t>(h & 0xff));
    out.push_back(static_cast<std::uint8_t>(h >> 8));
}

} // namespace

std::vector<std::uint8_t> roomVertexBytes(const IndexedMesh& mesh) {
    std::vector<std::uint8_t> out;
    out.reserve(mesh.positions.size() * 12);
    for (std::size_t i = 0; i < mesh.positions.size(); ++i) {
        putHalf(out, mesh.positions[i].x);
        putHalf(out, mesh.positions[i].y);
        putHalf(out, mesh.positions[i].z);
        putHalf(out, mesh.uvs[i].x);
        putHalf(out, mesh.uvs[i].y);
        out.push_back(0);
        out.push_back(0);
    }
    return out;
}

std::vector<std::uint8_t> indexBytes(const std::vector<std::uint16_t>& indices) {
    std::vector<std::uint8_t> out;
    out.reserve(indices.size() * 2);
    for (std::uint16_t i : indices) {
        out.push_back(static_cast<std::uint8_t>(i & 0xff));
        out.push_back(static_cast<std::uint8_t>(i >> 8));
    }
    return out;
}

VignetteModel buildVignette() {
    // Radii in clip space; the last ring lies beyond the corners (sqrt 2).
    constexpr float radii[] = {0.0F, 0.5F, 0.65F, 0.8F, 0.95F, 1.1F, 1.25F, 1.5F};
    constexpr int segments = 48;
    constexpr float inner = 0.5F;
    constexpr float outer = 1.45F;
    VignetteModel model;
    auto vertex = [&](float x, float y, float r) {
        const float t = std::clamp((r - inner) / (outer - inner), 0.0F, 1.0F);
        const float keep = 1.0F - t * t * (3.0F - 2.0F * t);
        putHalf(model.vertices, x);
        putHalf(model.vertices, y);
        model.vertices.push_back(0);
        model.vertices.push_back(0);
        model.vertices.push_back(static_cast<std::uint8_t>(std::lround(keep * 255.0F)));
        model.vertices.push_back(0);
    };
    vertex(0.0F, 0.0F, 0.0F);
    for (std::size_t ring = 1; ring < std::size(radii); ++ring) {
        for (int s = 0; s < segments; ++s) {
            const float a = 2.0F * PI * static_cast<float>(s) / segments;
            vertex(radii[ring] * std::cos(a), radii[ring] * std::sin(a), radii[ring]);
        }
    }
    auto at = [](std::size_t ring, int s) {
        return static_cast<std::uint16_t>(1 + (ring - 1) * segments +
                                          static_cast<std::size_t>(s % segments));
    };
    auto triangle = [&](std::uint16_t a, std::uint16_t b, std::uint16_t c) {
        model.indices.push_back(a);
        model.indices.push_back(b);
        model.indices.push_back(c);
    };
    for (int s = 0; s < segments; ++s) {
        triangle(0, at(1, s), at(1, s + 1));
    }
    for (std::size_t ring = 1; ring + 1 < std::size(radii); ++ring) {
        for (int s = 0; s < segments; ++s) {
            triangle(at(ring, s), at(ring + 1, s), at(ring + 1, s + 1));
            triangle(at(ring, s), at(ring + 1, s + 1), at(ring, s + 1));
        }
    }
    return model;
}

} // namespace bake
