#include "renderer/gl/GlObject.h"

#include <array>
#include <atomic>
#include <cstring>

namespace renderer::gl {

namespace {
std::atomic<std::uint64_t> creations{0};
std::array<std::atomic<std::uint64_t>, 4> memory{};

std::atomic<std::uint64_t>& account(Memory kind) noexcept {
    return memory[static_cast<std::size_t>(kind)];
}
} // namespace

std::uint64_t objectsCreated() noexcept {
    return creations.load(std::memory_order_relaxed);
}

VideoMemory videoMemory() noexcept {
    VideoMemory now;
    now.textures = account(Memory::Textures).load(std::memory_order_relaxed);
    now.multisampleTargets = account(Memory::MultisampleTargets).load(std::memory_order_relaxed);
    now.blurTargets = account(Memory::BlurTargets).load(std::memory_order_relaxed);
    now.buffers = account(Memory::Buffers).load(std::memory_order_relaxed);
    return now;
}

namespace detail {

void addMemory(Memory kind, std::uint64_t bytes) noexcept {
    account(kind).fetch_add(bytes, std::memory_order_relaxed);
}

void removeMemory(Memory kind, std::uint64_t bytes) noexcept {
    account(kind).fetch_sub(bytes, std::memory_order_relaxed);
}

void countCreation() noexcept {
    creations.fetch_add(1, std::memory_order_relaxed);
}

GLuint BufferKind::create() {
    countCreation();
    GLuint id = 0;
    glGenBuffers(1, &id);
    return id;
}
void BufferKind::destroy(GLuint id) {
    glDeleteBuffers(1, &id);
}

GLuint TextureKind::create() {
    countCreation();
    GLuint id = 0;
    glGenTextures(1, &id);
    return id;
}
void TextureKind::destroy(GLuint id) {
    glDeleteTextures(1, &id);
}

GLuint FramebufferKind::create() {
    countCreation();
    GLuint id = 0;
    glGenFramebuffers(1, &id);
    return id;
}
void FramebufferKind::destroy(GLuint id) {
    glDeleteFramebuffers(1, &id);
}

GLuint RenderbufferKind::create() {
    countCreation();
    GLuint id = 0;
    glGenRenderbuffers(1, &id);
    return id;
}
void RenderbufferKind::destroy(GLuint id) {
    glDeleteRenderbuffers(1, &id);
}

GLuint VertexArrayKind::create() {
    countCreation();
    GLuint id = 0;
    glGenVertexArrays(1, &id);
    return id;
}
void VertexArrayKind::destroy(GLuint id) {
    glDeleteVertexArrays(1, &id);
}

GLuint SamplerKind::create() {
    countCreation();
    GLuint id = 0;
    glGenSamplers(1, &id);
    return id;
}
void SamplerKind::destroy(GLuint id) {
    glDeleteSamplers(1, &id);
}

GLuint ProgramKind::create() {
    countCreation();
    return glCreateProgram();
}
void ProgramKind::destroy(GLuint id) {
    glDeleteProgram(id);
}

} // namespace detail

ShaderStage ShaderStage::create(GLenum stage) {
    detail::countCreation();
    ShaderStage s;
    s.id_ = glCreateShader(stage);
    return s;
}

void ShaderStage::reset() noexcept {
    if (id_ != 0) {
        glDeleteShader(id_);
        id_ = 0;
    }
}

void label(GLenum identifier, GLuint id, const char* text) {
    static const bool supported =
        epoxy_gl_version() >= 43 || epoxy_has_gl_extension("GL_KHR_debug");
    if (supported && id != 0) {
        glObjectLabel(identifier, id, static_cast<GLsizei>(std::strlen(text)), text);
    }
}

} // namespace renderer::gl
