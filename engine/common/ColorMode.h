#pragma once

#include "engine/common/Enum.h"

namespace engine::common {

// Colour treatments of the finished frame. The constants are spelled in mixed case.
enum class ColorMode {
    Normal,
    Grayscale,
    Sepia,
    HighContrast,
    LowContrast,
    BlackAndWhite,
    IsolatedColor,
    Crosshatch,
    LimitedColors,
};

template <> struct EnumTraits<ColorMode> {
    using E = ColorMode;
    static constexpr std::array constants{
        E::Normal,        E::Grayscale,     E::Sepia,      E::HighContrast,  E::LowContrast,
        E::BlackAndWhite, E::IsolatedColor, E::Crosshatch, E::LimitedColors,
    };
    static constexpr std::array<std::string_view, 9> names{
        "Normal",        "Grayscale",     "Sepia",      "HighContrast",  "LowContrast",
        "BlackAndWhite", "IsolatedColor", "Crosshatch", "LimitedColors",
    };
};

} // namespace engine::common
