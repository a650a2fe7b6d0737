#pragma once

#include <cstdint>
#include <vector>

#include "renderer/loaders/DdsInfo.h"

namespace bake {

// The block format a texture's twin needs: BC3 where any texel is not opaque, BC1 otherwise.
renderer::BlockFormat twinFormat(const std::vector<std::uint8_t>& rgba);

// Compresses 8-bit RGBA texels (rows from the top) to BC1 or BC3 with libsquish's slowest,
// best colour fit, bands of four rows at a time on `threads` workers, and returns the DDS
// file: its header, then the blocks.
std::vector<std::uint8_t> encodeDds(const std::vector<std::uint8_t>& rgba, int width, int height,
                                    renderer::BlockFormat format, int threads);

} // namespace bake
