#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace renderer {

// An 8-bit RGBA image, rows from the top, no padding between rows.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;

    const std::uint8_t* pixel(int x, int y) const {
        return rgba.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                              static_cast<std::size_t>(x)) *
                                 4;
    }
};

} // namespace renderer
