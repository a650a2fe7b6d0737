#pragma once

#include "tools/bake/Vec.h"

#include <cstdint>
#include <vector>

namespace bake {

// A linear float RGB image, rows from the top.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<V3> pixels;

    Image() = default;
    Image(int w, int h, V3 fill = {})
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
    V3& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    const V3& at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Bilinear lookup in a map of `width` x `height` texels at continuous texel coordinates (texel
// centres at half-integers), clamped at the edges.
V3 sampleBilinear(const std::vector<V3>& map, int width, int height, float x, float y);

// Fills every pixel that is not marked valid from the valid ones around it, by averaging
// down a pyramid and filling back up (push-pull), so empty atlas space carries the colours
// of the nearest charts into the small mipmap levels instead of black.
void fillEmpty(Image& image, const std::vector<std::uint8_t>& valid);

// The next level of a mipmap chain: each pixel the mean of the 2 x 2 pixels above it (sizes
// halve with integer division, never below 1).
Image downsample(const Image& image);

// Box-filters by an integer factor.
Image shrink(const Image& image, int factor);

// Filmic curve from scene-referred linear light to display values in [0, 1], with the
// display's gamma applied.
V3 toneMap(V3 linear);

// Display values to 8-bit RGBA (alpha 255), with a small ordered dither against banding.
std::vector<std::uint8_t> toRgba8(const Image& image, std::uint32_t seed);

} // namespace bake
