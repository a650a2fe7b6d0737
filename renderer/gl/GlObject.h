#pragma once

#include <cstdint>
#include <utility>

#include <epoxy/gl.h>

namespace renderer::gl {

// Every OpenGL object the renderer makes comes from one of the create functions below, so
// that a test can prove that warm frames make none: objectsCreated() counts the glGen* and
// glCreate* calls of this process.
std::uint64_t objectsCreated() noexcept;

// What the objects' storage is for, in the renderer's own account of video memory.
enum class Memory : std::uint8_t { Textures, MultisampleTargets, BlurTargets, Buffers };

// Bytes of storage the live objects of this process were given, by what they are for, as the
// renderer asked for them: texels at their format's size (compressed blocks as they are),
// samples times bytes per sample, buffer lengths. The driver's padding, alignment and
// compression metadata are not seen, nor the window system's own buffers.
struct VideoMemory {
    std::uint64_t textures = 0;
    std::uint64_t multisampleTargets = 0;
    std::uint64_t blurTargets = 0;
    std::uint64_t buffers = 0;

    std::uint64_t total() const noexcept {
        return textures + multisampleTargets + blurTargets + buffers;
    }
};
VideoMemory videoMemory() noexcept;

namespace detail {
void countCreation() noexcept;
void addMemory(Memory kind, std::uint64_t bytes) noexcept;
void removeMemory(Memory kind, std::uint64_t bytes) noexcept;

struct BufferKind {
    static GLuint create();
    static void destroy(GLuint id);
};
struct TextureKind {
    static GLuint create();
    static void destroy(GLuint id);
};
struct FramebufferKind {
    static GLuint create();
    static void destroy(GLuint id);
};
struct RenderbufferKind {
    static GLuint create();
    static void destroy(GLuint id);
};
struct VertexArrayKind {
    static GLuint create();
    static void destroy(GLuint id);
};
struct SamplerKind {
    static GLuint create();
    static void destroy(GLuint id);
};
struct ProgramKind {
    static GLuint create();
    static void destroy(GLuint id);
};
} // namespace detail

// An owned GL object name. Move-only; deleting it needs the context that made it, so owners
// are destroyed while that context is still current.
template <class Kind> class Object {
  public:
    Object() = default;
    static Object create() { return Object(Kind::create()); }
    ~Object() { reset(); }

    Object(Object&& other) noexcept
        : id_(std::exchange(other.id_, 0U)), bytes_(std::exchange(other.bytes_, 0U)),
          memory_(other.memory_) {}
    Object& operator=(Object&& other) noexcept {
        if (this != &other) {
            reset();
            id_ = std::exchange(other.id_, 0U);
            bytes_ = std::exchange(other.bytes_, 0U);
            memory_ = other.memory_;
        }
        return *this;
    }
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    GLuint id() const noexcept { return id_; }
    explicit operator bool() const noexcept { return id_ != 0; }

    // Enters the storage just given to the object in the video memory account, in place of
    // what it held before; it leaves the account with the object.
    void setStorage(Memory kind, std::uint64_t bytes) noexcept {
        detail::removeMemory(memory_, bytes_);
        memory_ = kind;
        bytes_ = bytes;
        detail::addMemory(memory_, bytes_);
    }

    void reset() noexcept {
        if (id_ != 0) {
            Kind::destroy(id_);
            id_ = 0;
        }
        detail::removeMemory(memory_, std::exchange(bytes_, 0U));
    }

  private:
    explicit Object(GLuint id) : id_(id) {}
    GLuint id_ = 0;
    std::uint64_t bytes_ = 0;
    Memory memory_ = Memory::Textures;
};

using Buffer = Object<detail::BufferKind>;
using Texture = Object<detail::TextureKind>;
using Framebuffer = Object<detail::FramebufferKind>;
using Renderbuffer = Object<detail::RenderbufferKind>;
using VertexArray = Object<detail::VertexArrayKind>;
using Sampler = Object<detail::SamplerKind>;
using Program = Object<detail::ProgramKind>;

// A compiled shader stage; its kind (vertex or fragment) is given at creation.
class ShaderStage {
  public:
    ShaderStage() = default;
    static ShaderStage create(GLenum stage);
    ~ShaderStage() { reset(); }
    ShaderStage(ShaderStage&& other) noexcept : id_(std::exchange(other.id_, 0U)) {}
    ShaderStage& operator=(ShaderStage&& other) noexcept {
        if (this != &other) {
            reset();
            id_ = std::exchange(other.id_, 0U);
        }
        return *this;
    }
    ShaderStage(const ShaderStage&) = delete;
    ShaderStage& operator=(const ShaderStage&) = delete;

    GLuint id() const noexcept { return id_; }
    void reset() noexcept;

  private:
    GLuint id_ = 0;
};

// Attaches a debug label to an object where the driver supports KHR_debug (shown by GL
// debuggers); does nothing elsewhere. Only called when objects are made.
void label(GLenum identifier, GLuint id, const char* text);

} // namespace renderer::gl
