#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "engine/math/Vec.h"

namespace engine::commands {

// The model transform of a transformed draw: translation in world units, rotation as three
// angles in degrees about x, y and z, scale per axis. A value type. (The class name is
// spelled this way throughout the engine and the scenes.)
struct AffineTranformation {
    math::Vec3 translation;
    math::Vec3 rotation;
    math::Vec3 scale;

    AffineTranformation(const math::Vec3& t, const math::Vec3& r, const math::Vec3& s)
        : translation(t), rotation(r), scale(s) {}

    friend bool operator==(const AffineTranformation&, const AffineTranformation&) = default;
    std::uint32_t hash() const noexcept;
    std::string toString() const;
};

std::ostream& operator<<(std::ostream& out, const AffineTranformation& t);

} // namespace engine::commands

template <> struct std::hash<engine::commands::AffineTranformation> {
    std::size_t operator()(const engine::commands::AffineTranformation& t) const noexcept {
        return t.hash();
    }
};
