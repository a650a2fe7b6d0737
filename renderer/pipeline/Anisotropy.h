#pragma once

#include <cstdint>
#include <string_view>

namespace renderer {

// Whether an OpenGL renderer string (GL_RENDERER) names a rasteriser that runs on the
// processor: Mesa's llvmpipe, softpipe and swrast, and the software renderers of other
// systems. Case is ignored.
bool isSoftwareRasterizer(std::string_view glRenderer) noexcept;

// With a current context: the maximum anisotropy a sampler gets for a texture that asks for
// `wanted` (1 or less: none). Where the driver has no anisotropic filtering it is 1. A
// software rasteriser gets 1 as well: GPUs filter anisotropically in hardware at little
// cost, but llvmpipe takes up to minutes for a frame of steeply seen, finely mipmapped
// surfaces. The first time it refuses a texture that way, one line on standard output
// says so.
float samplerAnisotropy(std::int32_t wanted);

} // namespace renderer
