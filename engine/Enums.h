#pragma once

#include "engine/common/Enum.h"

namespace engine {

// The render-state vocabulary of a scene. The renderer maps these to GPU values by name.

enum class BackendMode { OPENGL, METAL };

enum class BlendingEquation { ADD, SUBTRACT, REVERSE_SUBTRACT };

enum class BlendingFactor {
    ZERO,
    ONE,
    SRC_COLOR,
    ONE_MINUS_SRC_COLOR,
    DST_COLOR,
    ONE_MINUS_DST_COLOR,
    SRC_ALPHA,
    ONE_MINUS_SRC_ALPHA,
    DST_ALPHA,
    ONE_MINUS_DST_ALPHA,
    CONSTANT_COLOR,
    ONE_MINUS_CONSTANT_COLOR,
    CONSTANT_ALPHA,
    ONE_MINUS_CONSTANT_ALPHA,
    SRC_ALPHA_SATURATE,
};

enum class CullFace { FRONT, BACK, FRONT_AND_BACK, DISABLED };

enum class TextureFiltering {
    NEAREST,
    LINEAR,
    NEAREST_MIPMAP_NEAREST,
    LINEAR_MIPMAP_NEAREST,
    NEAREST_MIPMAP_LINEAR,
    LINEAR_MIPMAP_LINEAR,
};

enum class TextureWrapping { CLAMP_TO_EDGE, MIRRORED_REPEAT, REPEAT };

enum class TextureFormat { RGBA8, RGB8, RGB16F, RGB32F, RGBA16F, RGBA32F, ASTC };

} // namespace engine

namespace engine::common {

template <> struct EnumTraits<engine::BackendMode> {
    using E = engine::BackendMode;
    static constexpr std::array constants{E::OPENGL, E::METAL};
    static constexpr std::array<std::string_view, 2> names{"OPENGL", "METAL"};
};

template <> struct EnumTraits<engine::BlendingEquation> {
    using E = engine::BlendingEquation;
    static constexpr std::array constants{E::ADD, E::SUBTRACT, E::REVERSE_SUBTRACT};
    static constexpr std::array<std::string_view, 3> names{"ADD", "SUBTRACT", "REVERSE_SUBTRACT"};
};

template <> struct EnumTraits<engine::BlendingFactor> {
    using E = engine::BlendingFactor;
    static constexpr std::array constants{
        E::ZERO,
        E::ONE,
        E::SRC_COLOR,
        E::ONE_MINUS_SRC_COLOR,
        E::DST_COLOR,
        E::ONE_MINUS_DST_COLOR,
        E::SRC_ALPHA,
        E::ONE_MINUS_SRC_ALPHA,
        E::DST_ALPHA,
        E::ONE_MINUS_DST_ALPHA,
        E::CONSTANT_COLOR,
        E::ONE_MINUS_CONSTANT_COLOR,
        E::CONSTANT_ALPHA,
        E::ONE_MINUS_CONSTANT_ALPHA,
        E::SRC_ALPHA_SATURATE,
    };
    static constexpr std::array<std::string_view, 15> names{
        "ZERO",
        "ONE",
        "SRC_COLOR",
        "ONE_MINUS_SRC_COLOR",
        "DST_COLOR",
        "ONE_MINUS_DST_COLOR",
        "SRC_ALPHA",
        "ONE_MINUS_SRC_ALPHA",
        "DST_ALPHA",
        "ONE_MINUS_DST_ALPHA",
        "CONSTANT_COLOR",
        "ONE_MINUS_CONSTANT_COLOR",
        "CONSTANT_ALPHA",
        "ONE_MINUS_CONSTANT_ALPHA",
        "SRC_ALPHA_SATURATE",
    };
};

template <> struct EnumTraits<engine::CullFace> {
    using E = engine::CullFace;
    static constexpr std::array constants{E::FRONT, E::BACK, E::FRONT_AND_BACK, E::DISABLED};
    static constexpr std::array<std::string_view, 4> names{"FRONT", "BACK", "FRONT_AND_BACK",
                                                           "DISABLED"};
};

template <> struct EnumTraits<engine::TextureFiltering> {
    using E = engine::TextureFiltering;
    static constexpr std::array constants{
        E::NEAREST,
        E::LINEAR,
        E::NEAREST_MIPMAP_NEAREST,
        E::LINEAR_MIPMAP_NEAREST,
        E::NEAREST_MIPMAP_LINEAR,
        E::LINEAR_MIPMAP_LINEAR,
    };
    static constexpr std::array<std::string_view, 6> names{
        "NEAREST",
        "LINEAR",
        "NEAREST_MIPMAP_NEAREST",
        "LINEAR_MIPMAP_NEAREST",
        "NEAREST_MIPMAP_LINEAR",
        "LINEAR_MIPMAP_LINEAR",
    };
};

template <> struct EnumTraits<engine::TextureWrapping> {
    using E = engine::TextureWrapping;
    static constexpr std::array constants{E::CLAMP_TO_EDGE, E::MIRRORED_REPEAT, E::REPEAT};
    static constexpr std::array<std::string_view, 3> names{"CLAMP_TO_EDGE", "MIRRORED_REPEAT",
                                                           "REPEAT"};
};

template <> struct EnumTraits<engine::TextureFormat> {
    using E = engine::TextureFormat;
    static constexpr std::array constants{E::RGBA8,   E::RGB8,    E::RGB16F, E::RGB32F,
                                          E::RGBA16F, E::RGBA32F, E::ASTC};
    static constexpr std::array<std::string_view, 7> names{"RGBA8",   "RGB8",    "RGB16F", "RGB32F",
                                                           "RGBA16F", "RGBA32F", "ASTC"};
};

} // namespace engine::common
