#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/common/Enum.h"

namespace renderer {

// The stage a uniform value goes to.
enum class UniformType { VERTEX, FRAGMENT };

// How a uniform value's elements are encoded for the GPU. Only three distinctions matter:
// floats go as 32-bit floats for FP32 and as 16-bit floats for anything else; integers as
// 32-bit for INT32 and as 16-bit signed integers for anything else; textures ignore it.
enum class UniformDataType { FP32, FP16, INT16, UINT16, INT32, UINT32, BYTE, UBYTE, TEXTURE };

// Where one uniform value of a draw goes: its stage, its encoding and its slot (a uniform
// block slot for values, a texture slot for textures) within the stage.
struct Uniform {
    UniformType type = UniformType::VERTEX;
    UniformDataType dataType = UniformDataType::FP32;
    std::int64_t index = 0;
};

// Shader name → the uniforms of every draw with that shader, in the order of the draw's
// uniform values.
using ShadersUniforms = std::unordered_map<std::string, std::vector<Uniform>>;

} // namespace renderer

namespace engine::common {

template <> struct EnumTraits<renderer::UniformType> {
    using E = renderer::UniformType;
    static constexpr std::array constants{E::VERTEX, E::FRAGMENT};
    static constexpr std::array<std::string_view, 2> names{"VERTEX", "FRAGMENT"};
};

template <> struct EnumTraits<renderer::UniformDataType> {
    using E = renderer::UniformDataType;
    static constexpr std::array constants{E::FP32,   E::FP16, E::INT16, E::UINT16, E::INT32,
                                          E::UINT32, E::BYTE, E::UBYTE, E::TEXTURE};
    static constexpr std::array<std::string_view, 9> names{
        "FP32", "FP16", "INT16", "UINT16", "INT32", "UINT32", "BYTE", "UBYTE", "TEXTURE"};
};

} // namespace engine::common
