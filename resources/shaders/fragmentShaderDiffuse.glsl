#version 330 core

// The textures carry the lighting; the colour is the texel.
uniform sampler2D fragmentTexture0;

in vec2 vTexCoord;
layout(location = 0) out vec4 fragColor;

void main() {
    fragColor = vec4(texture(fragmentTexture0, vTexCoord).rgb, 1.0);
}
