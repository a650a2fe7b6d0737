#version 330 core

// A full-screen quad step of the blur.
layout(location = 0) in vec2 position;
layout(location = 1) in vec2 texCoord;

out vec2 vTexCoord;

void main() {
    vTexCoord = imageCoordinate(texCoord);
    gl_Position = vec4(position, 0.0, 1.0);
}
