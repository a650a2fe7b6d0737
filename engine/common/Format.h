#pragma once

#include <cstdint>
#include <string>

namespace engine::common {

// The shortest decimal that reads back as the same float, always with a decimal point and
// at least one digit after it ("1.0", "0.5", "-2.25"). Magnitudes below 1e-3 or from 1e7 up
// use exponent notation ("1.0e+20"); NaN and the infinities read "NaN", "Infinity", "-Infinity".
std::string formatFloat(float value);

// Appends formatFloat(value) to out without building a temporary string.
void appendFloat(std::string& out, float value);

// The 32-bit pattern of a float, with every NaN folded to one canonical pattern, so that
// equal-by-bits values hash alike.
std::uint32_t floatHash(float value) noexcept;

// Folds a field's hash into a running hash the way every value type here does.
constexpr std::uint32_t hashCombine(std::uint32_t h, std::uint32_t next) noexcept {
    return h * 31u + next;
}

} // namespace engine::common
