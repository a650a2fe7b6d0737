#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

namespace engine::math {

// Small mutable float vectors: positions, angles, scales and colours. They are value types:
// copying gives an independent vector, equality compares the 32-bit patterns of the
// components (so 0.0 and -0.0 differ and a NaN equals the same NaN). Where an engine object
// must share a vector with others (a clear colour that a scene swaps), it holds a
// std::shared_ptr<Vec4> instead of a value.
//
// Components are the fields _x, _y, _z, _w; the accessors x()/r(), y()/g(), z()/b(), w()/a()
// address the same storage.

struct Vec2 {
    float _x = 0.0F;
    float _y = 0.0F;

    constexpr Vec2() = default;
    constexpr Vec2(float x, float y) : _x(x), _y(y) {}

    constexpr float& x() { return _x; }
    constexpr float& y() { return _y; }
    constexpr float& r() { return _x; }
    constexpr float& g() { return _y; }
    constexpr float x() const { return _x; }
    constexpr float y() const { return _y; }
    constexpr float r() const { return _x; }
    constexpr float g() const { return _y; }

    friend bool operator==(const Vec2& a, const Vec2& b) noexcept;
    std::uint32_t hash() const noexcept;
    std::string toString() const;
};

struct Vec3 {
    float _x = 0.0F;
    float _y = 0.0F;
    float _z = 0.0F;

    constexpr Vec3() = default;
    constexpr Vec3(float x, float y, float z) : _x(x), _y(y), _z(z) {}

    constexpr float& x() { return _x; }
    constexpr float& y() { return _y; }
    constexpr float& z() { return _z; }
    constexpr float& r() { return _x; }
    constexpr float& g() { return _y; }
    constexpr float& b() { return _z; }
    constexpr float x() const { return _x; }
    constexpr float y() const { return _y; }
    constexpr float z() const { return _z; }
    constexpr float r() const { return _x; }
    constexpr float g() const { return _y; }
    constexpr float b() const { return _z; }

    friend bool operator==(const Vec3& a, const Vec3& b) noexcept;
    std::uint32_t hash() const noexcept;
    std::string toString() const;
};

struct Vec4 {
    float _x = 0.0F;
    float _y = 0.0F;
    float _z = 0.0F;
    float _w = 0.0F;

    constexpr Vec4() = default;
    constexpr Vec4(float x, float y, float z, float w) : _x(x), _y(y), _z(z), _w(w) {}

    constexpr float& x() { return _x; }
    constexpr float& y() { return _y; }
    constexpr float& z() { return _z; }
    constexpr float& w() { return _w; }
    constexpr float& r() { return _x; }
    constexpr float& g() { return _y; }
    constexpr float& b() { return _z; }
    constexpr float& a() { return _w; }
    constexpr float x() const { return _x; }
    constexpr float y() const { return _y; }
    constexpr float z() const { return _z; }
    constexpr float w() const { return _w; }
    constexpr float r() const { return _x; }
    constexpr float g() const { return _y; }
    constexpr float b() const { return _z; }
    constexpr float a() const { return _w; }

    friend bool operator==(const Vec4& a, const Vec4& b) noexcept;
    std::uint32_t hash() const noexcept;
    std::string toString() const;
};

std::ostream& operator<<(std::ostream& out, const Vec2& v);
std::ostream& operator<<(std::ostream& out, const Vec3& v);
std::ostream& operator<<(std::ostream& out, const Vec4& v);

} // namespace engine::math

template <> struct std::hash<engine::math::Vec2> {
    std::size_t operator()(const engine::math::Vec2& v) const noexcept { return v.hash(); }
};
template <> struct std::hash<engine::math::Vec3> {
    std::size_t operator()(const engine::math::Vec3& v) const noexcept { return v.hash(); }
};
template <> struct std::hash<engine::math::Vec4> {
    std::size_t operator()(const engine::math::Vec4& v) const noexcept { return v.hash(); }
};
