#pragma once

#include <cstdint>
#include <cstring>

namespace bake {

// IEEE 754 binary16 from binary32, rounding to nearest even. Values the baker writes are
// finite and well inside the half range.
inline std::uint16_t floatToHalf(float value) {
    std::uint32_t f = 0;
    std::memcpy(&f, &value, 4);
    const std::uint32_t sign = (f >> 16) & 0x8000U;
    const std::int32_t exponent = static_cast<std::int32_t>((f >> 23) & 0xffU) - 127 + 15;
    std::uint32_t mantissa = f & 0x7fffffU;
    if (((f >> 23) & 0xffU) == 0xffU) {
        return static_cast<std::uint16_t>(sign | 0x7c00U | (mantissa != 0 ? 0x200U : 0U));
    }
    if (exponent >= 31) {
        return static_cast<std::uint16_t>(sign | 0x7c00U);
    }
    if (exponent <= 0) {
        if (exponent < -10) {
            return static_cast<std::uint16_t>(sign);
        }
        mantissa |= 0x800000U;
        const auto shift = static_cast<std::uint32_t>(14 - exponent);
        std::uint32_t half = mantissa >> shift;
        const std::uint32_t rest = mantissa & ((1U << shift) - 1U);
        const std::uint32_t midpoint = 1U << (shift - 1U);
        if (rest > midpoint || (rest == midpoint && (half & 1U) != 0)) {
            ++half;
        }
        return static_cast<std::uint16_t>(sign | half);
    }
    std::uint32_t half = sign | (static_cast<std::uint32_t>(exponent) << 10) | (mantissa >> 13);
    const std::uint32_t rest = mantissa & 0x1fffU;
    if (rest > 0x1000U || (rest == 0x1000U && (half & 1U) != 0)) {
        ++half; // may carry into the exponent, which is the correct rounding
    }
    return static_cast<std::uint16_t>(half);
}

inline float halfToFloat(std::uint16_t h) {
    const std::uint32_t sign = (static_cast<std::uint32_t>(h) & 0x8000U) << 16;
    std::uint32_t exponent = (h >> 10) & 0x1fU;
    std::uint32_t mantissa = h & 0x3ffU;
    std::uint32_t f = 0;
    if (exponent == 0) {
        if (mantissa == 0) {
            f = sign;
        } else {
            exponent = 127 - 15 + 1;
            while ((mantissa & 0x400U) == 0) {
                mantissa <<= 1;
                --exponent;
            }
            mantissa &= 0x3ffU;
            f = sign | (exponent << 23) | (mantissa << 13);
        }
    } else if (exponent == 31) {
        f = sign | 0x7f800000U | (mantissa << 13);
    } else {
        f = sign | ((exponent + 127 - 15) << 23) | (mantissa << 13);
    }
    float out = 0.0F;
    std::memcpy(&out, &f, 4);
    return out;
}

} // namespace bake
