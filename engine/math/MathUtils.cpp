#include "engine/math/MathUtils.h"

#include <cmath>
#include <limits>

#include "engine/Errors.h"
#include "engine/math/Random.h"

namespace engine::math {

namespace {

// Truncation toward zero that saturates at the 32-bit limits and maps NaN to 0, instead of
// the undefined behaviour of a plain cast out of range.
std::int32_t truncateToInt32(float value) {
    constexpr float LIMIT = 2147483648.0F; // 2^31, exactly representable
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= LIMIT) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value <= -LIMIT) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

} // namespace

float MathUtils::min(float a, float b) {
    if (std::isnan(a)) {
        return a;
    }
    if (std::isnan(b)) {
        return b;
    }
    if (a == 0.0F && b == 0.0F) {
        return std::signbit(a) ? a : b;
    }
    return a <= b ? a : b;
}

float MathUtils::max(float a, float b) {
    if (std::isnan(a)) {
        return a;
    }
    if (std::isnan(b)) {
        return b;
    }
    if (a == 0.0F && b == 0.0F) {
        return std::signbit(a) ? b : a;
    }
    return a >= b ? a : b;
}

float MathUtils::clamp(float i, float low, float high) {
    return max(min(i, high), low);
}

float MathUtils::smoothstep(float edge0, float edge1, float x) {
    const float t = clamp((x - edge0) / (edge1 - edge0), 0.0F, 1.0F);
    return t * t * (3.0F - 2.0F * t);
}

float MathUtils::smootherstep(float edge0, float edge1, float x) {
    const float t = clamp((x - edge0) / (edge1 - edge0), 0.0F, 1.0F);
    return t * t * t * (t * (t * 6.0F - 15.0F) + 10.0F);
}

std::int32_t MathUtils::nextRandom(std::int32_t length, std::int32_t current) {
    const float u = Random::nextFloat();
    // The offset 1 + k runs over 1 .. length - 2: never the current entry, never the one
    // before it. u < 1 keeps k below length - 2.
    const float span = static_cast<float>(static_cast<std::int64_t>(length) - 2);
    const std::int32_t k = truncateToInt32(u * span);
    if (length == 0) {
        throw DivisionByZeroError("division by zero");
    }
    // 64-bit so that neither the sum nor INT32_MIN % -1 can overflow; % truncates, so the
    // remainder keeps the sign of the dividend.
    const std::int64_t dividend = static_cast<std::int64_t>(current) + 1 + k;
    return static_cast<std::int32_t>(dividend % length);
}

Vec3& MathUtils::angleBetweenPoints(const Vec3& start, const Vec3& end, Vec3& result) {
    const float dx = start._x - end._x;
    const float dy = start._y - end._y;
    const float dz = start._z - end._z;
    result._x = std::atan2(dz, dy);
    result._y = std::atan2(dz, dx);
    result._z = std::atan2(dx, dy);
    return result;
}

} // namespace engine::math
