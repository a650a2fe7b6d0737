#pragma once

#include "engine/common/Enum.h"

namespace engine::commands {

// Variable-rate shading granularity. The values are the GL tokens of the QCOM_shading_rate
// extension, so a back end that supports it can hand them to the driver unchanged; the
// ordinal is the position in this list, not the value.
enum class ShadingRate {
    SHADING_RATE_1X1 = 0x96A6,
    SHADING_RATE_1X2 = 0x96A7,
    SHADING_RATE_2X1 = 0x96A8,
    SHADING_RATE_2X2 = 0x96A9,
    SHADING_RATE_4X2 = 0x96AC,
    SHADING_RATE_4X4 = 0x96AE,
};

} // namespace engine::commands

namespace engine::common {

template <> struct EnumTraits<engine::commands::ShadingRate> {
    using E = engine::commands::ShadingRate;
    static constexpr std::array constants{E::SHADING_RATE_1X1, E::SHADING_RATE_1X2,
                                          E::SHADING_RATE_2X1, E::SHADING_RATE_2X2,
                                          E::SHADING_RATE_4X2, E::SHADING_RATE_4X4};
    static constexpr std::array<std::string_view, 6> names{"SHADING_RATE_1X1", "SHADING_RATE_1X2",
                                                           "SHADING_RATE_2X1", "SHADING_RATE_2X2",
                                                           "SHADING_RATE_4X2", "SHADING_RATE_4X4"};
};

} // namespace engine::common
