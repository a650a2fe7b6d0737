#version 330 core

// The vignette model lies in clip space. Its per-vertex shade picks the colour between the
// command's two colours: 0 gives color0 (the darkening at the rim), 1 gives color1 (the
// untouched centre). Blending multiplies the frame by the result.
layout(location = 0) in vec2 position;
layout(location = 1) in float shade;

layout(std140) uniform VertexBuffer1 {
    uvec2 color0;
};

layout(std140) uniform VertexBuffer2 {
    uvec2 color1;
};

out vec4 vColor;

void main() {
    vColor = mix(unpackHalf4(color0), unpackHalf4(color1), shade);
    gl_Position = vec4(position, 0.0, 1.0);
}
