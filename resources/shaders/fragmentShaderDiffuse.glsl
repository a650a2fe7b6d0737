#version 330 core

// The textures carry the lighting; the colour is the texel. Close to the camera, where a
// texel of the lightmap covers many pixels, the concrete gets detail that no texture holds:
// aggregate, pores and the grain of the formwork, computed from the position. Each band of
// detail fades out as its size on screen approaches a pixel, so nothing shimmers in motion
// and distant surfaces cost nothing but the fade test.
uniform sampler2D fragmentTexture0;

in vec2 vTexCoord;
in vec3 vPosition;
layout(location = 0) out vec4 fragColor;

// Only the rooms' lightmaps are this large; the bloom and sky textures, and the example
// scene's, are drawn as they are.
const int DETAILED_TEXTURE_SIZE = 2048;
// Pores lie on a grid of this size in world units, at most one in a cell.
const float PORE_CELL = 1.6;

float hash(vec2 p) {
    vec3 q = fract(vec3(p.xyx) * 0.1031);
    q += dot(q, q.yzx + 33.33);
    return fract((q.x + q.y) * q.z);
}

// Smooth value noise in [0, 1] over the surface's plane: four lattice values a pixel.
float noise(vec2 x) {
    vec2 i = floor(x);
    vec2 f = fract(x);
    f = f * f * (3.0 - 2.0 * f);
    return mix(mix(hash(i), hash(i + vec2(1.0, 0.0)), f.x),
               mix(hash(i + vec2(0.0, 1.0)), hash(i + vec2(1.0, 1.0)), f.x), f.y);
}

// 1 while a feature of `size` world units spans several pixels, 0 once it shrinks to about a
// pixel (`footprint` is the world size of one pixel), before it could shimmer in motion. Far
// away the lightmap's own texture carries the concrete.
float visibleAt(float size, float footprint) {
    return smoothstep(1.5, 4.0, size / footprint);
}

float detail(vec3 p) {
    vec3 dx = dFdx(p);
    vec3 dy = dFdy(p);
    float footprint = max(length(dx), length(dy));
    float coarsest = visibleAt(3.0, footprint);
    if (coarsest <= 0.0) {
        return 1.0;
    }
    // The surface's own plane, from the axis its normal is closest to: on walls the first
    // coordinate runs horizontally, the second vertically.
    vec3 n = abs(cross(dx, dy));
    vec2 plane = n.z >= max(n.x, n.y) ? p.xy : (n.x >= n.y ? p.yz : p.xz);
    bool wall = n.z < max(n.x, n.y);

    float shade = 0.0;
    // Aggregate: a mottle of sand and stone a few units across.
    shade += 0.09 * (noise(plane / 3.0) - 0.5) * coarsest;
    // Grain of the formwork's boards on walls: streaks stretched along the boards.
    if (wall) {
        float grain = noise(vec2(plane.x / 14.0, plane.y / 0.6) + 31.0);
        shade += 0.06 * (grain - 0.5) * visibleAt(0.6, footprint);
    }
    // Pores: small dark voids where air was trapped against the form. One cell in eight
    // holds a round pore, kept inside its cell so that each pixel needs to look at its own
    // cell only; the edge is as soft as a pixel is wide.
    vec2 cell = floor(plane / PORE_CELL);
    float chance = hash(cell + vec2(0.0, 517.0));
    if (chance < 0.125) {
        vec2 offset = vec2(hash(cell + vec2(263.0, 0.0)), hash(cell + vec2(191.0, 389.0)));
        vec2 centre = (cell + 0.3 + 0.4 * offset) * PORE_CELL;
        float radius = PORE_CELL * (0.08 + 0.12 * chance / 0.125);
        float inside = 1.0 - smoothstep(radius - footprint, radius + footprint,
                                        length(plane - centre));
        shade -= 0.35 * inside * visibleAt(2.0 * radius, footprint);
    }
    return 1.0 + shade;
}

void main() {
    vec3 colour = texture(fragmentTexture0, vTexCoord).rgb;
    if (textureSize(fragmentTexture0, 0).x >= DETAILED_TEXTURE_SIZE) {
        colour *= detail(vPosition);
    }
    fragColor = vec4(colour, 1.0);
}
