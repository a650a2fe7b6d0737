#version 330 core

// A textured mesh: half-float positions and texture coordinates, placed by the
// model-view-projection matrix. The model position goes on to the fragment shader, which
// draws fine surface detail from it.
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 texCoord;

layout(std140) uniform VertexBuffer1 {
    mat4 mvp;
};

out vec2 vTexCoord;
out vec3 vPosition;

void main() {
    vTexCoord = texCoord;
    vPosition = position;
    gl_Position = mvp * vec4(position, 1.0);
}
