#version 330 core

// Blur with a kernel of 2 texels on each side of the centre.
uniform sampler2D fragmentTexture0;

layout(std140) uniform FragmentBuffer1 {
    vec2 direction;
};

layout(std140) uniform FragmentBuffer2 {
    float brightness;
};

in vec2 vTexCoord;
layout(location = 0) out vec4 fragColor;

void main() {
    fragColor = gaussianBlur(fragmentTexture0, vTexCoord, direction, brightness, 2);
}
