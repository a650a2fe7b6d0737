#include "engine/math/HalfFloat.h"

#include <bit>

namespace engine::math {

std::uint16_t floatToHalf(float value) noexcept {
    const std::uint32_t f = std::bit_cast<std::uint32_t>(value);
    const auto sign = static_cast<std::uint16_t>((f >> 16) & 0x8000U);
    const std::uint32_t exponent = (f >> 23) & 0xFFU;
    std::uint32_t mantissa = f & 0x7FFFFFU;

    if (exponent == 0xFFU) { // infinity or NaN; keep NaNs quiet and non-zero
        return static_cast<std::uint16_t>(sign | 0x7C00U | (mantissa != 0 ? 0x200U : 0U));
    }
    const int e = static_cast<int>(exponent) - 127 + 15;
    if (e >= 31) {
        return static_cast<std::uint16_t>(sign | 0x7C00U);
    }
    if (e <= 0) {
        if (e < -10) {
            return sign; // below half the smallest subnormal
        }
        mantissa |= 0x800000U;
        const auto shift = static_cast<std::uint32_t>(14 - e);
        std::uint32_t half = mantissa >> shift;
        const std::uint32_t rest = mantissa & ((1U << shift) - 1U);
        const std::uint32_t halfway = 1U << (shift - 1U);
        if (rest > halfway || (rest == halfway && (half & 1U) != 0)) {
            ++half;
        }
        return static_cast<std::uint16_t>(sign | half);
    }
    std::uint32_t half = (static_cast<std::uint32_t>(e) << 10) | (mantissa >> 13);
    const std::uint32_t rest = mantissa & 0x1FFFU;
    if (rest > 0x1000U || (rest == 0x1000U && (half & 1U) != 0)) {
        ++half; // may carry into the exponent, up to infinity: that is the right result
    }
    return static_cast<std::uint16_t>(sign | half);
}

float halfToFloat(std::uint16_t bits) noexcept {
    const std::uint32_t sign = static_cast<std::uint32_t>(bits & 0x8000U) << 16;
    const std::uint32_t exponent = (bits >> 10) & 0x1FU;
    std::uint32_t mantissa = bits & 0x3FFU;
    if (exponent == 0x1FU) {
        return std::bit_cast<float>(sign | 0x7F800000U | (mantissa << 13));
    }
    if (exponent == 0) {
        if (mantissa == 0) {
            return std::bit_cast<float>(sign);
        }
        int e = -1;
        do { // normalise the subnormal
            ++e;
            mantissa <<= 1U;
        } while ((mantissa & 0x400U) == 0);
        const std::uint32_t exp32 = static_cast<std::uint32_t>(127 - 15 - e);
        return std::bit_cast<float>(sign | (exp32 << 23) | ((mantissa & 0x3FFU) << 13));
    }
    return std::bit_cast<float>(sign | ((exponent + 127 - 15) << 23) | (mantissa << 13));
}

} // namespace engine::math
