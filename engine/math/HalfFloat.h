#pragma once

#include <cstdint>

namespace engine::math {

// IEEE 754 binary16 conversions. Uniforms marked as 16-bit go to the GPU as these bit
// patterns and the shaders unpack them, so the rounding here is what the GPU sees.

// Nearest half (ties to even); overflow gives infinity, NaN stays NaN.
std::uint16_t floatToHalf(float value) noexcept;
float halfToFloat(std::uint16_t bits) noexcept;

} // namespace engine::math
