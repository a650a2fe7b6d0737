#version 330 core

uniform sampler2D fragmentTexture0;

in vec2 vTexCoord;
layout(location = 0) out vec4 fragColor;

void main() {
    fragColor = texture(fragmentTexture0, vTexCoord);
}
