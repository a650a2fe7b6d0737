#pragma once

#include <cstdint>

#include "engine/common/Enum.h"

namespace engine::camera {

// A scene-level description of how its camera behaves; the engine itself never reads it.
// The integer value equals the ordinal.
enum class CameraMode : std::int32_t { ROTATING = 0, RANDOM_POSITIONS = 1, FIXED = 2 };

} // namespace engine::camera

namespace engine::common {

template <> struct EnumTraits<engine::camera::CameraMode> {
    using E = engine::camera::CameraMode;
    static constexpr std::array constants{E::ROTATING, E::RANDOM_POSITIONS, E::FIXED};
    static constexpr std::array<std::string_view, 3> names{"ROTATING", "RANDOM_POSITIONS", "FIXED"};
};

} // namespace engine::common
