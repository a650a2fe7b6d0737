#pragma once

#include <cstdint>

#include "engine/math/Vec.h"

namespace engine::math {

// Scalar helpers used by the camera and the scenes.
class MathUtils {
  public:
    MathUtils() = delete;

    // min and max that return NaN when either operand is NaN and order -0.0 below +0.0; the
    // standard library's fmin/fmax drop NaNs and std::min/max ignore the sign of zero.
    static float min(float a, float b);
    static float max(float a, float b);
    // max(min(i, high), low); propagates NaN; when low > high the result is low.
    static float clamp(float i, float low, float high);
    static float smoothstep(float edge0, float edge1, float x);
    static float smootherstep(float edge0, float edge1, float x);
    // A random index into a list of `length` entries that is never `current` and, with three
    // or more entries, never the one before it. Draws from the process-wide generator
    // (Random). Fails with DivisionByZeroError when length is 0.
    static std::int32_t nextRandom(std::int32_t length, std::int32_t current);
    // result = (atan2(d.z, d.y), atan2(d.z, d.x), atan2(d.x, d.y)) with d = start - end.
    static Vec3& angleBetweenPoints(const Vec3& start, const Vec3& end, Vec3& result);
};

} // namespace engine::math
