#pragma once

#include "engine/common/Enum.h"

namespace engine::commands {

// The blur kernel of a blurred pass, largest first. The renderer picks its blur pipeline by
// the constant's name.
enum class BlurSize { KERNEL_5, KERNEL_4, KERNEL_3, KERNEL_2 };

} // namespace engine::commands

namespace engine::common {

template <> struct EnumTraits<engine::commands::BlurSize> {
    using E = engine::commands::BlurSize;
    static constexpr std::array constants{E::KERNEL_5, E::KERNEL_4, E::KERNEL_3, E::KERNEL_2};
    static constexpr std::array<std::string_view, 4> names{"KERNEL_5", "KERNEL_4", "KERNEL_3",
                                                           "KERNEL_2"};
};

} // namespace engine::common
