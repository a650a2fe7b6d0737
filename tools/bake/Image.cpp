#include "tools/bake/Image.h"

#include <algorithm>
#include <cmath>

namespace bake {

V3 sampleBilinear(const std::vector<V3>& map, int width, int height, float x, float y) {
    x -= 0.5F;
    y -= 0.5F;
    const int x0 = std::clamp(static_cast<int>(std::floor(x)), 0, width - 1);
    const int y0 = std::clamp(static_cast<int>(std::floor(y)), 0, height - 1);
    const int x1 = std::min(x0 + 1, width - 1);
    const int y1 = std::min(y0 + 1, height - 1);
    const float fx = std::clamp(x - static_cast<float>(x0), 0.0F, 1.0F);
    const float fy = std::clamp(y - static_cast<float>(y0), 0.0F, 1.0F);
    auto at = [&](int xx, int yy) {
        return map[static_cast<std::size_t>(yy) * static_cast<std::size_t>(width) +
                   static_cast<std::size_t>(xx)];
    };
    return (at(x0, y0) * (1 - fx) + at(x1, y0) * fx) * (1 - fy) +
           (at(x0, y1) * (1 - fx) + at(x1, y1) * fx) * fy;
}

void fillEmpty(Image& image, const std::vector<std::uint8_t>& valid) {
    // Level 0 holds premultiplied colour and weight; each coarser level sums 2 x 2.
    struct Level {
        int w;
        int h;
        std::vector<V3> colour;
        std::vector<float> weight;
    };
    std::vector<Level> levels;
    Level base{image.width, image.height, image.pixels,
               std::vector<float>(image.pixels.size(), 0.0F)};
    for (std::size_t i = 0; i < base.colour.size(); ++i) {
        base.weight[i] = valid[i] ? 1.0F : 0.0F;
        base.colour[i] = base.colour[i] * base.weight[i];
    }
    levels.push_back(std::move(base));
    while (levels.back().w > 1 || levels.back().h > 1) {
        const Level& fine = levels.back();
        Level coarse{std::max(1, (fine.w + 1) / 2), std::max(1, (fine.h + 1) / 2), {}, {}};
        coarse.colour.assign(static_cast<std::size_t>(coarse.w) * coarse.h, {});
        coarse.weight.assign(coarse.colour.size(), 0.0F);
        for (int y = 0; y < fine.h; ++y) {
            for (int x = 0; x < fine.w; ++x) {
                const std::size_t f = static_cast<std::size_t>(y) * fine.w + x;
                const std::size_t c = static_cast<std::size_t>(y / 2) * coarse.w + x / 2;
                coarse.colour[c] += fine.colour[f];
                coarse.weight[c] += fine.weight[f];
            }
        }
        levels.push_back(std::move(coarse));
    }
    // Pull: resolve each level's holes from the level below it, coarsest first.
    for (std::size_t l = levels.size() - 1; l-- > 0;) {
        Level& fine = levels[l];
        const Level& coarse = levels[l + 1];
        for (int y = 0; y < fine.h; ++y) {
            for (int x = 0; x < fine.w; ++x) {
                const std::size_t f = static_cast<std::size_t>(y) * fine.w + x;
                if (fine.weight[f] > 0.0F) {
                    continue;
                }
                const std::size_t c = static_cast<std::size_t>(y / 2) * coarse.w + x / 2;
                if (coarse.weight[c] > 0.0F) {
                    fine.colour[f] = coarse.colour[c] * (1.0F / coarse.weight[c]);
                    fine.weight[f] = 1.0F;
                }
            }
        }
        // Normalise this level so the next finer one reads plain colours.
        for (std::size_t i = 0; i < fine.colour.size(); ++i) {
            if (fine.weight[i] > 0.0F) {
                fine.colour[i] = fine.colour[i] * (1.0F / fine.weight[i]);
                fine.weight[i] = 1.0F;
            }
        }
    }
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        if (!valid[i]) {
            image.pixels[i] = levels[0].colour[i];
        }
    }
}

Image downsample(const Image& image) {
    Image out(std::max(1, image.width / 2), std::max(1, image.height / 2));
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            V3 sum{};
            int count = 0;
            for (int dy = 0; dy < 2; ++dy) {
                for (int dx = 0; dx < 2; ++dx) {
                    const int sx = std::min(image.width - 1, 2 * x + dx);
                    const int sy = std::min(image.height - 1, 2 * y + dy);
                    sum += image.at(sx, sy);
                    ++count;
                }
            }
            out.at(x, y) = sum * (1.0F / static_cast<float>(count));
        }
    }
    return out;
}

Image shrink(const Image& image, int factor) {
    Image out(std::max(1, image.width / factor), std::max(1, image.height / factor));
    const float norm = 1.0F / static_cast<float>(factor * factor);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            V3 sum{};
            for (int dy = 0; dy < factor; ++dy) {
                for (int dx = 0; dx < factor; ++dx) {
                    sum += image.at(x * factor + dx, y * factor + dy);
                }
            }
            out.at(x, y) = sum * norm;
        }
    }
    return out;
}

V3 toneMap(V3 c) {
    // A filmic shoulder (Narkowicz's fit of the ACES curve) applied to the largest channel,
    // with the colour scaled along: the ratios of the channels, and so the hue, stay as lit.
    // A curve per channel would bend each channel by another amount and turn the edges of
    // bright patches yellow, cyan or pink. Only far above the shoulder (openings, glints)
    // does the colour fade to white, as film does.
    const float peak = std::max({c.x, c.y, c.z});
    if (peak <= 0.0F) {
        return {};
    }
    const float y = std::clamp(
        (peak * (2.51F * peak + 0.03F)) / (peak * (2.43F * peak + 0.59F) + 0.14F), 0.0F, 1.0F);
    const V3 scaled = c * (y / peak);
    const float fade = std::clamp((peak - 3.0F) / 13.0F, 0.0F, 1.0F);
    const V3 out = scaled * (1.0F - fade * fade) + V3{y, y, y} * (fade * fade);
    auto gamma = [](float v) { return std::pow(std::clamp(v, 0.0F, 1.0F), 1.0F / 2.2F); };
    return {gamma(out.x), gamma(out.y), gamma(out.z)};
}

std::vector<std::uint8_t> toRgba8(const Image& image, std::uint32_t seed) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(image.width) * image.height * 4);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const V3 c = image.at(x, y);
            const float dither =
                hashToUnit(hashCombine(seed, static_cast<std::uint32_t>(y * image.width + x))) -
                0.5F;
            const float channels[3] = {c.x, c.y, c.z};
            const std::size_t o = (static_cast<std::size_t>(y) * image.width + x) * 4;
            for (int k = 0; k < 3; ++k) {
                const float v = std::clamp(channels[k] * 255.0F + dither, 0.0F, 255.0F);
                out[o + k] = static_cast<std::uint8_t>(std::lround(v));
            }
            out[o + 3] = 255;
        }
    }
    return out;
}

} // namespace bake
