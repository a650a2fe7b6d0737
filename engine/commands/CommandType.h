#pragma once

#include "engine/common/Enum.h"

namespace engine::commands {

// The kind of a command; the renderer's walk dispatches on it. The integer value of each
// constant is its ordinal.
enum class CommandType {
    NOOP = 0,
    GROUP = 1,
    CLEAR_COLOR = 2,
    CLEAR = 3,
    VIGNETTE = 4,
    DRAW_MESH = 5,
    BLURRED_PASS = 6,
    DRAW_BLURRED = 7,
    RENDER_PASS = 8,
    MAIN_PASS = 9,
    // Commands a scene defines for itself; a renderer without a case for them passes over them.
    CUSTOM = 10,
};

} // namespace engine::commands

namespace engine::common {

template <> struct EnumTraits<engine::commands::CommandType> {
    using E = engine::commands::CommandType;
    static constexpr std::array constants{
        E::NOOP,         E::GROUP,        E::CLEAR_COLOR, E::CLEAR,     E::VIGNETTE, E::DRAW_MESH,
        E::BLURRED_PASS, E::DRAW_BLURRED, E::RENDER_PASS, E::MAIN_PASS, E::CUSTOM,
    };
    static constexpr std::array<std::string_view, 11> names{
        "NOOP",         "GROUP",        "CLEAR_COLOR", "CLEAR",     "VIGNETTE", "DRAW_MESH",
        "BLURRED_PASS", "DRAW_BLURRED", "RENDER_PASS", "MAIN_PASS", "CUSTOM",
    };
};

} // namespace engine::common
