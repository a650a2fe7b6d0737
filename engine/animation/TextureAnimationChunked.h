#pragma once

#include <cstdint>

namespace engine::animation {

// Layout of a vertex-animation texture: each frame of the animation is a band of texel rows
// with one texel per vertex, the vertices wrapped into rows ("chunks") of textureWidth
// texels. The texture holds frames + 1 bands: timer 0 samples the first and timer 1 the
// last. The coordinates returned are texture v values at the centre of a texel row, where a
// vertex shader samples.
class TextureAnimationChunked {
  public:
    // InvalidArgumentError unless textureWidth and vertices are at least 1, frames is at
    // least 0 and the height fits a 32-bit integer: anything else describes no texture and
    // would divide by zero or overflow.
    TextureAnimationChunked(std::int32_t textureWidth, std::int32_t vertices, std::int32_t frames);

    std::int32_t textureWidth;
    std::int32_t frames;
    std::int32_t chunks;
    std::int32_t textureHeight;
    float texelHalfWidth;
    float texelHalfHeight;
    float texelHeight;
    // Height of one chunk row in the shader's chunk index space: 1 / chunks.
    float chunkSize;

    // The v coordinate of the frame at timer in [0, 1], played from the first frame to the
    // last: texelHalfHeight + timer × texelHeight × frames.
    float animateStartToEnd(float timer) const noexcept;
    // The same, played forwards in the first half of timer and back in the second.
    float animateStartEndStart(float timer) const noexcept;
};

} // namespace engine::animation
