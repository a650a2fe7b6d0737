#pragma once

#include <cmath>
#include <cstdint>

namespace renderer {

// The size of a blurred pass's images for a frame of aspect width / height: the short side
// is minSize pixels, the other side the nearest integer to minSize times the aspect or its
// inverse (halves away from zero). A very wide or tall frame makes the long side far larger
// than the frame's own, which callers must check against GL's limits.
struct BlurImageSize {
    std::int64_t width = 0;
    std::int64_t height = 0;
};

inline BlurImageSize blurImageSize(float aspect, std::int32_t minSize) {
    const auto size = static_cast<float>(minSize);
    if (aspect <= 1.0F) {
        return {minSize, static_cast<std::int64_t>(std::round(size / aspect))};
    }
    return {static_cast<std::int64_t>(std::round(size * aspect)), minSize};
}

} // namespace renderer
