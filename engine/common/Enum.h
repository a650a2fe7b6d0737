#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <span>
#include <string_view>
#include <type_traits>

namespace engine::common {

// Every engine enumeration lists its constants in ordinal order together with their names,
// by specialising EnumTraits:
//
//   template <> struct EnumTraits<CullFace> {
//       static constexpr std::array constants{CullFace::FRONT, ...};
//       static constexpr std::array<std::string_view, 4> names{"FRONT", ...};
//   };
//
// The names are interface: the renderer maps constants to GPU values by name, so they are
// spelled exactly as the constants. Enumerations with an integer `value` (CommandType,
// ShadingRate, CameraState, CameraMode) use it as the enum's underlying value.
template <typename E> struct EnumTraits;

template <typename E>
concept EngineEnum = std::is_enum_v<E> && requires {
    EnumTraits<E>::constants;
    EnumTraits<E>::names;
};

// Position of the constant in its enumeration, from 0.
template <EngineEnum E> constexpr int ordinal(E e) noexcept {
    const auto& constants = EnumTraits<E>::constants;
    for (std::size_t i = 0; i < constants.size(); ++i) {
        if (constants[i] == e) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The constant's identifier, which is also its textual form.
template <EngineEnum E> constexpr std::string_view name(E e) noexcept {
    const int i = ordinal(e);
    return i < 0 ? std::string_view{"?"} : EnumTraits<E>::names[static_cast<std::size_t>(i)];
}

// The integer value of an enumeration that carries one.
template <EngineEnum E> constexpr std::int32_t value(E e) noexcept {
    return static_cast<std::int32_t>(e);
}

// Every constant, in ordinal order.
template <EngineEnum E> constexpr std::span<const E> values() noexcept {
    return EnumTraits<E>::constants;
}

template <EngineEnum E> constexpr std::optional<E> fromName(std::string_view text) noexcept {
    const auto& names = EnumTraits<E>::names;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == text) {
            return EnumTraits<E>::constants[i];
        }
    }
    return std::nullopt;
}

} // namespace engine::common

// Streaming an engine enumeration writes its name; found by ordinary lookup from anywhere.
template <engine::common::EngineEnum E> std::ostream& operator<<(std::ostream& out, E e) {
    return out << engine::common::name(e);
}
