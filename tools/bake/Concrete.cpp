#include "tools/bake/Concrete.h"

#include <cmath>

namespace bake {

namespace {

float smooth(float t) {
    return t * t * (3.0F - 2.0F * t);
}

float lattice(int x, int y, int z, std::uint32_t seed) {
    const std::uint32_t h =
        hashCombine(hashCombine(hashCombine(seed, static_cast<std::uint32_t>(x)),
                                static_cast<std::uint32_t>(y)),
                    static_cast<std::uint32_t>(z));
    return hashToUnit(h);
}

// Smooth 3D value noise in [0, 1] and its fractal sum.
float valueNoise(V3 p, std::uint32_t seed) {
    const float fx = std::floor(p.x);
    const float fy = std::floor(p.y);
    const float fz = std::floor(p.z);
    const int x = static_cast<int>(fx);
    const int y = static_cast<int>(fy);
    const int z = static_cast<int>(fz);
    const float tx = smooth(p.x - fx);
    const float ty = smooth(p.y - fy);
    const float tz = smooth(p.z - fz);
    auto lerp = [](float a, float b, float t) { return a + (b - a) * t; };
    const float c00 = lerp(lattice(x, y, z, seed), lattice(x + 1, y, z, seed), tx);
    const float c10 = lerp(lattice(x, y + 1, z, seed), lattice(x + 1, y + 1, z, seed), tx);
    const float c01 = lerp(lattice(x, y, z + 1, seed), lattice(x + 1, y, z + 1, seed), tx);
    const float c11 = lerp(lattice(x, y + 1, z + 1, seed), lattice(x + 1, y + 1, z + 1, seed), tx);
    return lerp(lerp(c00, c10, ty), lerp(c01, c11, ty), tz);
}

float fractalNoise(V3 p, int octaves, std::uint32_t seed) {
    float sum = 0.0F;
    float amplitude = 0.5F;
    float total = 0.0F;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * valueNoise(p, seed + static_cast<std::uint32_t>(o) * 101U);
        total += amplitude;
        p = p * 2.03F + V3{17.1F, 5.3F, 9.7F};
        amplitude *= 0.5F;
    }
    return sum / total;
}

float cellRandom(int a, int b, std::uint32_t seed) {
    return hashToUnit(hashCombine(hashCombine(seed, static_cast<std::uint32_t>(a)),
                                  static_cast<std::uint32_t>(b)));
}

// Darkening of a thin line at every multiple of `period` along t, `width` wide.
float jointLine(float t, float period, float width) {
    const float d = std::fabs(t - period * std::round(t / period));
    return 1.0F - std::exp(-(d * d) / (width * width));
}

// Small round voids on a jittered grid: 0 inside a hole, 1 outside.
float holes(float a, float b, float spacingA, float spacingB, float radius, float chance,
            std::uint32_t seed) {
    const int ia = static_cast<int>(std::floor(a / spacingA));
    const int ib = static_cast<int>(std::floor(b / spacingB));
    float result = 1.0F;
    for (int ca = ia - 1; ca <= ia + 1; ++ca) {
        for (int cb = ib - 1; cb <= ib + 1; ++cb) {
            if (cellRandom(ca, cb, seed) > chance) {
                continue;
            }
            const float ja = (cellRandom(ca, cb, seed + 1) - 0.5F) * spacingA * 0.4F;
            const float jb = (cellRandom(ca, cb, seed + 2) - 0.5F) * spacingB * 0.4F;
            const float centreA = spacingA * (static_cast<float>(ca) + 0.5F) + ja;
            const float centreB = spacingB * (static_cast<float>(cb) + 0.5F) + jb;
            const float d = std::hypot(a - centreA, b - centreB) / radius;
            result = std::min(result, std::clamp(d * d, 0.0F, 1.0F));
        }
    }
    return result;
}

// The in-plane coordinates of a surface: `along` runs horizontally (the boards' length),
// `across` vertically on walls and along y on floors and soffits.
void surfaceAxes(V3 p, V3 n, float& along, float& across) {
    if (std::fabs(n.z) > 0.5F) {
        along = p.x;
        across = p.y;
    } else if (std::fabs(n.x) > 0.5F) {
        along = p.y;
        across = p.z;
    } else {
        along = p.x;
        across = p.z;
    }
}

V3 boardFormed(V3 p, V3 n) {
    float along = 0.0F;
    float across = 0.0F;
    surfaceAxes(p, n, along, across);
    constexpr float board = 24.0F;
    const int boardIndex = static_cast<int>(std::floor(across / board));
    const float boardTone =
        (cellRandom(boardIndex, static_cast<int>(n.x * 3 + n.y * 7), 11) - 0.5F);
    // Timber grain: noise stretched along the board, different in each board.
    const float grain =
        fractalNoise({along * 0.03F, across * 0.9F, static_cast<float>(boardIndex) * 3.1F}, 3, 23);
    const float fine = valueNoise({along * 0.5F, across * 0.5F, p.x * 0.1F + p.y * 0.1F}, 29);
    // Boards are butted every few metres, staggered from board to board.
    const float butt = jointLine(along + cellRandom(boardIndex, 0, 31) * 480.0F, 480.0F, 0.8F);
    const float seam = jointLine(across, board, 0.7F);
    const float ties = holes(along, across, 192.0F, 144.0F, 3.5F, 1.0F, 41);
    const float stain = fractalNoise(p * 0.004F, 4, 47);
    float tone = 0.33F + 0.06F * boardTone + 0.07F * (grain - 0.5F) + 0.025F * (fine - 0.5F) +
                 0.12F * (stain - 0.5F);
    tone *= (0.72F + 0.28F * seam) * (0.8F + 0.2F * butt);
    tone *= 0.45F + 0.55F * ties;
    return {tone * 1.02F, tone, tone * 0.96F};
}

V3 panelFormed(V3 p, V3 n) {
    float along = 0.0F;
    float across = 0.0F;
    surfaceAxes(p, n, along, across);
    const int pa = static_cast<int>(std::floor(along / 416.0F));
    const int pb = static_cast<int>(std::floor(across / 208.0F));
    const float panelTone = cellRandom(pa, pb, 53) - 0.5F;
    const float joints = jointLine(along, 416.0F, 0.9F) * jointLine(across, 208.0F, 0.9F);
    const float mottle = fractalNoise(p * 0.012F, 4, 59);
    const float cloud = fractalNoise(p * 0.0025F, 3, 61);
    const float fine = valueNoise(p * 0.45F, 67);
    const float bugs = holes(along, across, 23.0F, 19.0F, 1.2F, 0.35F, 71);
    float tone = 0.35F + 0.04F * panelTone + 0.07F * (mottle - 0.5F) + 0.12F * (cloud - 0.5F) +
                 0.02F * (fine - 0.5F);
    tone *= (0.86F + 0.14F * joints) * (0.7F + 0.3F * bugs);
    return {tone * 1.01F, tone, tone * 0.97F};
}

V3 trowelledFloor(V3 p) {
    const float cloud = fractalNoise(p * 0.0018F, 4, 73);
    const float mottle = fractalNoise(p * 0.02F, 3, 79);
    // Trowel swirls: arcs of slightly polished paste.
    const float swirl = valueNoise({std::sin(p.x * 0.02F) * 30.0F + p.y * 0.01F,
                                    std::cos(p.y * 0.02F) * 30.0F + p.x * 0.01F, 0.0F},
                                   83);
    const float fine = valueNoise(p * 0.6F, 89);
    const float joints = jointLine(p.x, 416.0F, 0.8F) * jointLine(p.y, 416.0F, 0.8F);
    float tone = 0.27F + 0.14F * (cloud - 0.5F) + 0.06F * (mottle - 0.5F) + 0.03F * (swirl - 0.5F) +
                 0.02F * (fine - 0.5F);
    tone *= 0.78F + 0.22F * joints;
    return {tone * 1.03F, tone, tone * 0.95F};
}

V3 stair(V3 p, V3 n) {
    V3 c = panelFormed(p * 1.7F, n);
    return c * 1.08F;
}

} // namespace

V3 concreteAlbedo(Finish finish, V3 position, V3 normal) {
    switch (finish) {
    case Finish::BoardFormed:
        return boardFormed(position, normal);
    case Finish::PanelFormed:
        return panelFormed(position, normal);
    case Finish::Floor:
        return trowelledFloor(position);
    case Finish::Stair:
        return stair(position, normal);
    case Finish::Sky:
        break;
    }
    return {0.9F, 0.9F, 0.9F};
}

} // namespace bake
