#include "engine/animation/TextureAnimationChunked.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "engine/Errors.h"

namespace engine::animation {

namespace {

std::int32_t checkedChunks(std::int32_t textureWidth, std::int32_t vertices, std::int32_t frames) {
    bool valid = textureWidth >= 1 && vertices >= 1 && frames >= 0;
    std::int64_t chunks = 0;
    if (valid) {
        // Double precision keeps the ceiling exact for every 32-bit count.
        chunks = static_cast<std::int64_t>(
            std::ceil(static_cast<double>(vertices) / static_cast<double>(textureWidth)));
        valid = chunks * (static_cast<std::int64_t>(frames) + 1) <= INT32_MAX;
    }
    if (!valid) {
        throw InvalidArgumentError("invalid animation texture: width " +
                                   std::to_string(textureWidth) + ", vertices " +
                                   std::to_string(vertices) + ", frames " + std::to_string(frames));
    }
    return static_cast<std::int32_t>(chunks);
}

} // namespace

TextureAnimationChunked::TextureAnimationChunked(std::int32_t width, std::int32_t vertices,
                                                 std::int32_t frameCount)
    : textureWidth(width), frames(frameCount), chunks(checkedChunks(width, vertices, frameCount)),
      textureHeight(chunks * (frames + 1)), texelHalfWidth(0.5F / static_cast<float>(textureWidth)),
      texelHalfHeight(0.5F / static_cast<float>(textureHeight)),
      texelHeight(1.0F / static_cast<float>(textureHeight)),
      chunkSize(1.0F / static_cast<float>(chunks)) {}

float TextureAnimationChunked::animateStartToEnd(float timer) const noexcept {
    return texelHalfHeight + timer * texelHeight * static_cast<float>(frames);
}

float TextureAnimationChunked::animateStartEndStart(float timer) const noexcept {
    const float t = timer < 0.5F ? 2.0F * timer : 2.0F * (1.0F - timer);
    return animateStartToEnd(t);
}

} // namespace engine::animation
