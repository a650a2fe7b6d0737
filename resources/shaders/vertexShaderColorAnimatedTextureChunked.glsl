#version 330 core

// A vertex-animated mesh without vertex data of its own: vertex i's position is texel
// (i mod width) of the row band of the current frame in the animation texture, with the
// vertices wrapped into chunks of `width` texels, one band of rows per chunk.
//
// layout = (texels per row, chunks, frames, vertices).
// animation = (frame row v, texelHalfWidth, chunkSize, texelHeight), where v is the texture
// coordinate of the frame's row in the first chunk's band and chunkSize the height of a band
// in texture coordinates. The texture is read with its own filtering (the vertex stage gets
// no sampler), so v between two frame rows blends them.
// scale = the model's scale per axis, applied to the positions the texture stores.
layout(std140) uniform VertexBuffer1 {
    mat4 mvp;
};

layout(std140) uniform VertexBuffer2 {
    ivec4 layoutInfo;
};

layout(std140) uniform VertexBuffer3 {
    vec4 animation;
};

layout(std140) uniform VertexBuffer4 {
    vec4 scale;
};

uniform sampler2D vertexTexture0;

void main() {
    int width = max(layoutInfo.x, 1);
    int chunk = gl_VertexID / width;
    float u = float(gl_VertexID - chunk * width) / float(width) + animation.y;
    float v = animation.x + float(chunk) * animation.z;
    vec3 position = textureLod(vertexTexture0, vec2(u, v), 0.0).xyz * scale.xyz;
    gl_Position = mvp * vec4(position, 1.0);
}
