#pragma once

#include "tools/bake/Mesh.h"

#include <cstdint>
#include <string>
#include <vector>

namespace bake {

// The vertex file of a room mesh: 12 bytes per vertex, position as three half floats,
// texture coordinates as two half floats, two bytes of padding; little-endian.
std::vector<std::uint8_t> roomVertexBytes(const IndexedMesh& mesh);

// The index file: 16-bit little-endian indices, three per counter-clockwise triangle.
std::vector<std::uint8_t> indexBytes(const std::vector<std::uint16_t>& indices);

// The vignette model: a disc of rings in clip space reaching past the screen corners; each
// vertex carries a byte that is 255 where the picture stays untouched (the centre, the
// command's colour 1) and falls to 0 at the corners (colour 0). 8 bytes per vertex: position
// as two half floats, two bytes of padding, the byte at offset 6, one byte of padding.
struct VignetteModel {
    std::vector<std::uint8_t> vertices;
    std::vector<std::uint16_t> indices;
};

VignetteModel buildVignette();

} // namespace bake
