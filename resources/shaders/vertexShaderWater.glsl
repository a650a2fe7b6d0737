#version 330 core

// Water highlights: flat-coloured, bobbing up and down in a wave that travels along x.
// wave = (phase in [0, 1), amplitude, unused, unused).
layout(location = 0) in vec3 position;

layout(std140) uniform VertexBuffer1 {
    mat4 mvp;
};

layout(std140) uniform VertexBuffer2 {
    vec4 wave;
};

const float WAVELENGTH = 200.0;

void main() {
    float angle = 6.2831853 * (wave.x + position.x / WAVELENGTH);
    vec3 moved = position + vec3(0.0, 0.0, wave.y * sin(angle));
    gl_Position = mvp * vec4(moved, 1.0);
}
