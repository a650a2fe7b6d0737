#include <epoxy/gl.h>

#include "app/ui/OverlayLayer.h"

#include <cstdio>

#include "app/ui/ClockOverlay.h"

namespace app {

namespace {

// One quad from the vertex index, placed by a rectangle in clip space; the picture's first
// row is its top.
constexpr const char* VERTEX_SHADER = R"(#version 330 core
uniform vec4 rect; // left, top, right, bottom in clip space
out vec2 uv;
void main() {
    vec2 corner = vec2(gl_VertexID & 1, gl_VertexID >> 1);
    uv = corner;
    gl_Position = vec4(mix(rect.x, rect.z, corner.x), mix(rect.y, rect.w, corner.y), 0.0, 1.0);
}
)";

constexpr const char* FRAGMENT_SHADER = R"(#version 330 core
uniform sampler2D picture;
in vec2 uv;
out vec4 color;
void main() {
    color = texture(picture, uv);
}
)";

GLuint compile(GLenum kind, const char* source) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        char log[512] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "kadrel: the clock's shader does not compile: %s\n", log);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

} // namespace

void OverlayLayer::deleteObjects() {
    if (program_ != 0) {
        glDeleteProgram(program_);
        glDeleteVertexArrays(1, &vertexArray_);
        glDeleteTextures(1, &texture_);
    }
    forgetContext();
}

void OverlayLayer::forgetContext() {
    program_ = 0;
    vertexArray_ = 0;
    texture_ = 0;
    uploaded_ = UINT64_MAX;
    textureWidth_ = textureHeight_ = 0;
    failed_ = false;
}

bool OverlayLayer::prepare() {
    if (program_ != 0 || failed_) {
        return !failed_;
    }
    const GLuint vertex = compile(GL_VERTEX_SHADER, VERTEX_SHADER);
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, FRAGMENT_SHADER);
    if (vertex == 0 || fragment == 0) {
        glDeleteShader(vertex);
        glDeleteShader(fragment);
        failed_ = true; // the wallpaper goes on without its clock
        return false;
    }
    program_ = glCreateProgram();
    glAttachShader(program_, vertex);
    glAttachShader(program_, fragment);
    glLinkProgram(program_);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program_, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        std::fputs("kadrel: the clock's shader does not link\n", stderr);
        glDeleteProgram(program_);
        program_ = 0;
        failed_ = true;
        return false;
    }
    rectLocation_ = glGetUniformLocation(program_, "rect");
    glUseProgram(program_);
    glUniform1i(glGetUniformLocation(program_, "picture"), 0);
    glUseProgram(0);
    glGenVertexArrays(1, &vertexArray_);
    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);
    objectsMade_ += 3;
    return true;
}

void OverlayLayer::upload(const OverlayImage& overlay) {
    const QImage& image = overlay.image;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(image.bytesPerLine() / 4));
    if (image.width() == textureWidth_ && image.height() == textureHeight_) {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, image.width(), image.height(), GL_RGBA,
                        GL_UNSIGNED_BYTE, image.constBits());
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image.width(), image.height(), 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, image.constBits());
        textureWidth_ = image.width();
        textureHeight_ = image.height();
    }
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    uploaded_ = overlay.generation;
}

bool OverlayLayer::draw(const OverlayImage& overlay, unsigned framebuffer, int width, int height) {
    if (!overlay.visible || overlay.image.isNull() || width <= 0 || height <= 0 || !prepare()) {
        return false;
    }
    // The renderer has handed the context over in GL's defaults (unit 0 active, no sampler,
    // no depth test, culling or blending); only what differs from them is set, and the
    // renderer sets its own state again afterwards.
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, width, height);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA); // the picture is premultiplied
    glBindTexture(GL_TEXTURE_2D, texture_);
    if (uploaded_ != overlay.generation) {
        upload(overlay);
    }
    glUseProgram(program_);
    const float left =
        2.0F * static_cast<float>(overlay.topLeft.x()) / static_cast<float>(width) - 1.0F;
    const float top =
        1.0F - 2.0F * static_cast<float>(overlay.topLeft.y()) / static_cast<float>(height);
    const float right = left + 2.0F * static_cast<float>(textureWidth_) / static_cast<float>(width);
    const float bottom =
        top - 2.0F * static_cast<float>(textureHeight_) / static_cast<float>(height);
    glUniform4f(rectLocation_, left, top, right, bottom);
    glBindVertexArray(vertexArray_);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    return true;
}

} // namespace app
