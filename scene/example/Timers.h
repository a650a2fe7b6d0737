#pragma once

#include "engine/common/Enum.h"

namespace example {

// Keys of the demo scene's timers, in ordinal order.
enum class Timers {
    Clouds1,
    Clouds2,
    BirdsFly,
    Camera,
    Water,
    BirdWings1,
    BirdWings2,
    AnimalAnimation,
    ShootingStar,
};

} // namespace example

template <> struct engine::common::EnumTraits<example::Timers> {
    using E = example::Timers;
    static constexpr std::array constants{
        E::Clouds1,    E::Clouds2,    E::BirdsFly,        E::Camera,       E::Water,
        E::BirdWings1, E::BirdWings2, E::AnimalAnimation, E::ShootingStar,
    };
    static constexpr std::array<std::string_view, 9> names{
        "Clouds1",    "Clouds2",    "BirdsFly",        "Camera",       "Water",
        "BirdWings1", "BirdWings2", "AnimalAnimation", "ShootingStar",
    };
};
