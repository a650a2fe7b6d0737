#include "engine/common/Format.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <string_view>

namespace engine::common {

void appendFloat(std::string& out, float value) {
    if (std::isnan(value)) {
        out += "NaN";
        return;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "-Infinity" : "Infinity";
        return;
    }
    std::array<char, 64> buffer{};
    // The shortest digits that round-trip, in plain notation for everyday magnitudes and in
    // exponent notation only for very large or very small ones.
    const float magnitude = std::fabs(value);
    const bool plain = magnitude == 0.0F || (magnitude >= 1e-3F && magnitude < 1e7F);
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                      plain ? std::chars_format::fixed : std::chars_format::scientific);
    std::string_view text(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data()));
    const auto exponent = text.find('e');
    const std::string_view mantissa = text.substr(0, exponent);
    out += mantissa;
    if (mantissa.find('.') == std::string_view::npos) {
        out += ".0";
    }
    if (exponent != std::string_view::npos) {
        out += text.substr(exponent);
    }
}

std::string formatFloat(float value) {
    std::string out;
    appendFloat(out, value);
    return out;
}

std::uint32_t floatHash(float value) noexcept {
    if (std::isnan(value)) {
        return 0x7FC00000u;
    }
    return std::bit_cast<std::uint32_t>(value);
}

} // namespace engine::common
