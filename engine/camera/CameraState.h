#pragma once

#include <cstdint>

#include "engine/common/Enum.h"

namespace engine::camera {

// What the path animator is playing. ANIMATING: a path of its list, back and forth;
// TRANSITIONING: a generated glide from wherever the camera was to the middle of the next
// path of the list. The integer value equals the ordinal.
enum class CameraState : std::int32_t { ANIMATING = 0, TRANSITIONING = 1 };

} // namespace engine::camera

namespace engine::common {

template <> struct EnumTraits<engine::camera::CameraState> {
    using E = engine::camera::CameraState;
    static constexpr std::array constants{E::ANIMATING, E::TRANSITIONING};
    static constexpr std::array<std::string_view, 2> names{"ANIMATING", "TRANSITIONING"};
};

} // namespace engine::common
