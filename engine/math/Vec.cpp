#include "engine/math/Vec.h"

#include "engine/common/Format.h"

namespace engine::math {

using common::appendFloat;
using common::floatHash;
using common::hashCombine;

namespace {
bool sameBits(float a, float b) noexcept {
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}
} // namespace

bool operator==(const Vec2& a, const Vec2& b) noexcept {
    return sameBits(a._x, b._x) && sameBits(a._y, b._y);
}

bool operator==(const Vec3& a, const Vec3& b) noexcept {
    return sameBits(a._x, b._x) && sameBits(a._y, b._y) && sameBits(a._z, b._z);
}

bool operator==(const Vec4& a, const Vec4& b) noexcept {
    return sameBits(a._x, b._x) && sameBits(a._y, b._y) && sameBits(a._z, b._z) &&
           sameBits(a._w, b._w);
}

std::uint32_t Vec2::hash() const noexcept {
    return hashCombine(floatHash(_x), floatHash(_y));
}

std::uint32_t Vec3::hash() const noexcept {
    return hashCombine(hashCombine(floatHash(_x), floatHash(_y)), floatHash(_z));
}

std::uint32_t Vec4::hash() const noexcept {
    return hashCombine(hashCombine(hashCombine(floatHash(_x), floatHash(_y)), floatHash(_z)),
                       floatHash(_w));
}

std::string Vec2::toString() const {
    std::string out = "Vec2(_x=";
    appendFloat(out, _x);
    out += ", _y=";
    appendFloat(out, _y);
    out += ')';
    return out;
}

std::string Vec3::toString() const {
    std::string out = "Vec3(_x=";
    appendFloat(out, _x);
    out += ", _y=";
    appendFloat(out, _y);
    out += ", _z=";
    appendFloat(out, _z);
    out += ')';
    return out;
}

std::string Vec4::toString() const {
    std::string out = "Vec4(_x=";
    appendFloat(out, _x);
    out += ", _y=";
    appendFloat(out, _y);
    out += ", _z=";
    appendFloat(out, _z);
    out += ", _w=";
    appendFloat(out, _w);
    out += ')';
    return out;
}

std::ostream& operator<<(std::ostream& out, const Vec2& v) {
    return out << v.toString();
}
std::ostream& operator<<(std::ostream& out, const Vec3& v) {
    return out << v.toString();
}
std::ostream& operator<<(std::ostream& out, const Vec4& v) {
    return out << v.toString();
}

} // namespace engine::math
