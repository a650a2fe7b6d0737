#version 330 core

// The colour arrives as four 16-bit floats.
layout(std140) uniform FragmentBuffer1 {
    uvec2 color;
};

layout(location = 0) out vec4 fragColor;

void main() {
    fragColor = unpackHalf4(color);
}
