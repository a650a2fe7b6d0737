#pragma once

#include "engine/common/Enum.h"

namespace kadrel {

// Keys of the scene's timer map. The scene registers none: its camera is timed entirely by
// the camera animator, and the key exists for timers a future effect may need.
enum class Timers { Camera };

} // namespace kadrel

template <> struct engine::common::EnumTraits<kadrel::Timers> {
    static constexpr std::array constants{kadrel::Timers::Camera};
    static constexpr std::array<std::string_view, 1> names{"Camera"};
};
