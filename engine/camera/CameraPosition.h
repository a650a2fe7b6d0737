#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "engine/math/Vec.h"

namespace engine::camera {

// One end of a camera path: the eye point and three rotation angles in radians as the
// interpolator's view matrix reads them. A scene that builds its own view matrix may give
// rotation another meaning (the wallpaper scene keeps a look-at target in it).
// A plain value: equality compares both vectors.
struct CameraPosition {
    math::Vec3 position;
    math::Vec3 rotation;

    CameraPosition() = default;
    CameraPosition(const math::Vec3& eye, const math::Vec3& angles)
        : position(eye), rotation(angles) {}

    friend bool operator==(const CameraPosition& a, const CameraPosition& b) noexcept {
        return a.position == b.position && a.rotation == b.rotation;
    }
    // hash(position) * 31 + hash(rotation).
    std::uint32_t hash() const noexcept;
    // "CameraPosition(position=Vec3(...), rotation=Vec3(...))".
    std::string toString() const;
};

std::ostream& operator<<(std::ostream& out, const CameraPosition& p);

} // namespace engine::camera

template <> struct std::hash<engine::camera::CameraPosition> {
    std::size_t operator()(const engine::camera::CameraPosition& p) const noexcept {
        return p.hash();
    }
};
