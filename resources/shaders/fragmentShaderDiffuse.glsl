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

float hash(vec3 p) {
    p = fract(p * vec3(0.1031, 0.1030, 0.0973));
    p += dot(p, p.yxz + 33.33);
    return fract((p.x + p.y) * p.z);
}

// Smooth value noise in [0, 1].
float noise(vec3 x) {
    vec3 i = floor(x);
    vec3 f = fract(x);
    f = f * f * (3.0 - 2.0 * f);
    return mix(mix(mix(hash(i), hash(i + vec3(1, 0, 0)), f.x),
                   mix(hash(i + vec3(0, 1, 0)), hash(i + vec3(1, 1, 0)), f.x), f.y),
               mix(mix(hash(i + vec3(0, 0, 1)), hash(i + vec3(1, 0, 1)), f.x),
                   mix(hash(i + vec3(0, 1, 1)), hash(i + vec3(1, 1, 1)), f.x), f.y),
               f.z);
}

// 1 while a feature of `size` world units spans several pixels, 0 once it shrinks to about a
// pixel (`footprint` is the world size of one pixel).
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
    // The surface's own axes: `along` runs horizontally on walls, `across` vertically.
    vec3 n = abs(cross(dx, dy));
    vec2 plane = n.z >= max(n.x, n.y) ? p.xy : (n.x >= n.y ? p.yz : p.xz);
    bool wall = n.z < max(n.x, n.y);

    float shade = 0.0;
    // Aggregate: a mottle of sand and stone a few units across.
    shade += 0.07 * (noise(vec3(plane / 3.0, 0.0)) - 0.5) * coarsest;
    shade += 0.05 * (noise(vec3(plane / 1.1, 7.0)) - 0.5) * visibleAt(1.1, footprint);
    // Grain of the formwork's boards on walls: streaks stretched along the boards.
    if (wall) {
        float grain = noise(vec3(plane.x / 14.0, plane.y / 0.6, 3.0));
        shade += 0.06 * (grain - 0.5) * visibleAt(0.6, footprint);
    }
    // Pores: small dark voids where air was trapped against the form.
    // One cell in eight holds a round pore, kept inside its cell so that each pixel needs
    // to look at its own cell only; the edge is as soft as a pixel is wide.
    vec2 cell = floor(plane / PORE_CELL);
    float chance = hash(vec3(cell, 5.0));
    if (chance < 0.125) {
        vec2 centre = (cell + 0.3 + 0.4 * vec2(hash(vec3(cell, 6.0)), hash(vec3(cell, 7.0)))) *
                      PORE_CELL;
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
