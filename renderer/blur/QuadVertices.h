#pragma once

#include <array>

namespace renderer {

// The full-screen quad of the blur steps and of blurred-image draws: four (x, y, u, v)
// vertices as a triangle strip, clip-space positions covering the target, both triangles
// counter-clockwise. v runs downwards (0 at the top edge); the shaders turn it round to
// GL's bottom-up image rows.
inline constexpr std::array<float, 16> QUAD_VERTICES{
    -1.0F, -1.0F, 0.0F, 1.0F, //
    1.0F,  -1.0F, 1.0F, 1.0F, //
    -1.0F, 1.0F,  0.0F, 0.0F, //
    1.0F,  1.0F,  1.0F, 0.0F, //
};

} // namespace renderer
