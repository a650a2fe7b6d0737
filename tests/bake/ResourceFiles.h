#pragma once

#include "engine/math/HalfFloat.h"
#include "tools/bake/AstcFile.h"
#include "tools/bake/Clearance.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace bake::testing {

using engine::math::halfToFloat;

// A room mesh as read back from its two files.
struct MeshFiles {
    std::vector<V3> positions;
    std::vector<V2> uvs;
    std::vector<std::uint16_t> indices;
    std::size_t vertexBytes = 0;
    std::size_t indexBytes = 0;
};

inline MeshFiles readRoomMesh(const std::filesystem::path& models, const std::string& name) {
    MeshFiles mesh;
    const auto vertices = readFile((models / (name + "-strides.bin")).string());
    const auto indices = readFile((models / (name + "-indices.bin")).string());
    mesh.vertexBytes = vertices.size();
    mesh.indexBytes = indices.size();
    auto half = [&](std::size_t at) {
        return halfToFloat(static_cast<std::uint16_t>(vertices[at] | (vertices[at + 1] << 8)));
    };
    for (std::size_t v = 0; v + 12 <= vertices.size(); v += 12) {
        mesh.positions.push_back({half(v), half(v + 2), half(v + 4)});
        mesh.uvs.push_back({half(v + 6), half(v + 8)});
    }
    for (std::size_t i = 0; i + 2 <= indices.size(); i += 2) {
        mesh.indices.push_back(static_cast<std::uint16_t>(indices[i] | (indices[i + 1] << 8)));
    }
    return mesh;
}

inline std::vector<Triangle> trianglesOf(const MeshFiles& mesh) {
    std::vector<Triangle> out;
    for (std::size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
        out.push_back({mesh.positions[mesh.indices[i]], mesh.positions[mesh.indices[i + 1]],
                       mesh.positions[mesh.indices[i + 2]]});
    }
    return out;
}

struct AstcHeader {
    std::uint32_t magic = 0;
    int blockWidth = 0;
    int blockHeight = 0;
    int blockDepth = 0;
    int width = 0;
    int height = 0;
    int depth = 0;
    std::size_t fileSize = 0;

    std::size_t expectedSize() const {
        return 16 + static_cast<std::size_t>((width + blockWidth - 1) / blockWidth) *
                        static_cast<std::size_t>((height + blockHeight - 1) / blockHeight) * 16;
    }
};

inline AstcHeader readAstcHeader(const std::filesystem::path& file) {
    const auto bytes = readFile(file.string());
    AstcHeader h;
    h.fileSize = bytes.size();
    if (bytes.size() < 16) {
        return h;
    }
    h.magic = static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
              (static_cast<std::uint32_t>(bytes[2]) << 16) |
              (static_cast<std::uint32_t>(bytes[3]) << 24);
    h.blockWidth = bytes[4];
    h.blockHeight = bytes[5];
    h.blockDepth = bytes[6];
    h.width = bytes[7] | (bytes[8] << 8) | (bytes[9] << 16);
    h.height = bytes[10] | (bytes[11] << 8) | (bytes[12] << 16);
    h.depth = bytes[13] | (bytes[14] << 8) | (bytes[15] << 16);
    return h;
}

// Block footprints that the renderer maps to their own format (anything else silently
// becomes 4 x 4, which would garble the texture).
inline bool knownFootprint(int w, int h) {
    static const int table[][2] = {{4, 4}, {5, 4},  {5, 5},  {6, 5},  {6, 6},   {8, 5},   {8, 6},
                                   {8, 8}, {10, 5}, {10, 6}, {10, 8}, {10, 10}, {12, 10}, {12, 12}};
    for (const auto& f : table) {
        if (f[0] == w && f[1] == h) {
            return true;
        }
    }
    return false;
}

} // namespace bake::testing
