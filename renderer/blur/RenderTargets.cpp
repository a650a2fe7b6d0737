#include "renderer/blur/RenderTargets.h"

#include <cstdint>
#include <string>

namespace renderer {

namespace {

constexpr GLsizei SAMPLES = 4;

RuntimeError targetError(std::string_view format, GLsizei width, GLsizei height) {
    return RuntimeError{"Cannot create texture with pixelFormat " + std::string(format) +
                        " of size " + std::to_string(width) + "x" + std::to_string(height)};
}

bool fits(GLsizei width, GLsizei height, GLenum limit) {
    GLint maximum = 0;
    glGetIntegerv(limit, &maximum);
    return width > 0 && height > 0 && width <= maximum && height <= maximum;
}

void drainErrors() {
    while (glGetError() != GL_NO_ERROR) {
    }
}

// Both formats take 4 bytes a sample: RGBA8, and 24-bit depth padded to 32 bits as drivers
// store it.
constexpr std::uint64_t BYTES_PER_SAMPLE = 4;

Result<gl::Renderbuffer> makeRenderbuffer(GLsizei width, GLsizei height, GLenum format,
                                          std::string_view formatName) {
    if (!fits(width, height, GL_MAX_RENDERBUFFER_SIZE)) {
        return targetError(formatName, width, height);
    }
    drainErrors();
    gl::Renderbuffer target = gl::Renderbuffer::create();
    glBindRenderbuffer(GL_RENDERBUFFER, target.id());
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, SAMPLES, format, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    if (!target || glGetError() != GL_NO_ERROR) {
        return targetError(formatName, width, height);
    }
    target.setStorage(gl::Memory::MultisampleTargets, static_cast<std::uint64_t>(width) *
                                                          static_cast<std::uint64_t>(height) *
                                                          SAMPLES * BYTES_PER_SAMPLE);
    return target;
}

} // namespace

Result<gl::Renderbuffer> makeMultisampleColorTarget(GLsizei width, GLsizei height) {
    return makeRenderbuffer(width, height, GL_RGBA8, "RGBA8");
}

// The scene's planes (20 to 10,000 units) need 24 bits: 16 z-fight on the rooms' ledges. In
// GL's -1 to 1 depth range a 32-bit float holds no more than 24 bits where depth gathers
// near 1, and it takes the same 4 bytes a sample; 24 bits is the format every GPU keeps
// compressed and fast.
Result<gl::Renderbuffer> makeDepthTarget(GLsizei width, GLsizei height) {
    return makeRenderbuffer(width, height, GL_DEPTH_COMPONENT24, "DEPTH_COMPONENT24");
}

Result<gl::Texture> makeColorTexture(GLsizei width, GLsizei height, gl::State& state) {
    if (!fits(width, height, GL_MAX_TEXTURE_SIZE)) {
        return targetError("RGBA8", width, height);
    }
    drainErrors();
    gl::Texture texture = gl::Texture::create();
    // Unit 0 is where the blur and full-screen draws bind their images anyway.
    state.bindTexture(0, GL_TEXTURE_2D, texture.id());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    if (!texture || glGetError() != GL_NO_ERROR) {
        return targetError("RGBA8", width, height);
    }
    texture.setStorage(gl::Memory::BlurTargets,
                       static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 4);
    return texture;
}

} // namespace renderer
