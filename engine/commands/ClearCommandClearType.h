#pragma once

#include "engine/common/Enum.h"

namespace engine::commands {

// Which attachments a pass clears when it begins.
enum class ClearCommandClearType { COLOR, DEPTH, COLOR_AND_DEPTH };

} // namespace engine::commands

namespace engine::common {

template <> struct EnumTraits<engine::commands::ClearCommandClearType> {
    using E = engine::commands::ClearCommandClearType;
    static constexpr std::array constants{E::COLOR, E::DEPTH, E::COLOR_AND_DEPTH};
    static constexpr std::array<std::string_view, 3> names{"COLOR", "DEPTH", "COLOR_AND_DEPTH"};
};

} // namespace engine::common
