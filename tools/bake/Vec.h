#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace bake {

// Float 3-vector for geometry and lighting math. The engine's vectors are plain records for
// scene state; the baker needs arithmetic on millions of samples, so it keeps its own.
struct V3 {
    float x = 0.0F;
    float y = 0.0F;
    float z = 0.0F;
};

inline V3 operator+(V3 a, V3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline V3 operator-(V3 a, V3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline V3 operator-(V3 a) {
    return {-a.x, -a.y, -a.z};
}
inline V3 operator*(V3 a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline V3 operator*(float s, V3 a) {
    return a * s;
}
inline V3 operator*(V3 a, V3 b) {
    return {a.x * b.x, a.y * b.y, a.z * b.z};
}
inline V3& operator+=(V3& a, V3 b) {
    return a = a + b;
}
inline float dot(V3 a, V3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline V3 cross(V3 a, V3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float length(V3 a) {
    return std::sqrt(dot(a, a));
}
inline V3 normalize(V3 a) {
    const float l = length(a);
    return l > 0.0F ? a * (1.0F / l) : a;
}
inline float luminance(V3 c) {
    return 0.2126F * c.x + 0.7152F * c.y + 0.0722F * c.z;
}

struct V2 {
    float x = 0.0F;
    float y = 0.0F;
};

// Builds two unit vectors that complete n to a right-handed orthonormal frame.
inline void orthonormalFrame(V3 n, V3& t, V3& b) {
    const V3 a = std::fabs(n.z) < 0.9F ? V3{0, 0, 1} : V3{1, 0, 0};
    t = normalize(cross(a, n));
    b = cross(n, t);
}

// Stateless hashing: every random number of the bake is a function of where and what it is
// for, so the result does not depend on how the work is split between threads.
inline std::uint32_t hash32(std::uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

inline std::uint32_t hashCombine(std::uint32_t a, std::uint32_t b) {
    return hash32(a ^ (b + 0x9e3779b9U + (a << 6) + (a >> 2)));
}

inline float hashToUnit(std::uint32_t h) {
    return static_cast<float>(h >> 8) * (1.0F / 16777216.0F);
}

// A small sequential generator for one sample's worth of draws.
class SampleRng {
  public:
    explicit SampleRng(std::uint32_t seed) : state_(hash32(seed)) {}
    float next() {
        state_ = hash32(state_ + 0x9e3779b9U);
        return hashToUnit(state_);
    }

  private:
    std::uint32_t state_;
};

constexpr float PI = 3.14159265358979F;

} // namespace bake
