#version 330 core

// A flat-coloured mesh of half-float positions.
layout(location = 0) in vec3 position;

layout(std140) uniform VertexBuffer1 {
    mat4 mvp;
};

void main() {
    gl_Position = mvp * vec4(position, 1.0);
}
