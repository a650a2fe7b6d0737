#include "renderer/headless/HeadlessSurface.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "renderer/Fatal.h"

namespace renderer {

namespace {
// Runs GL calls on behalf of the surface and puts the framebuffer bindings back afterwards,
// so that a renderer's shadow of them stays true.
class FramebufferBindingsKept {
  public:
    FramebufferBindingsKept() {
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &draw_);
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read_);
        glGetIntegerv(GL_RENDERBUFFER_BINDING, &renderbuffer_);
    }
    ~FramebufferBindingsKept() {
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(draw_));
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(read_));
        glBindRenderbuffer(GL_RENDERBUFFER, static_cast<GLuint>(renderbuffer_));
    }
    FramebufferBindingsKept(const FramebufferBindingsKept&) = delete;
    FramebufferBindingsKept& operator=(const FramebufferBindingsKept&) = delete;

  private:
    GLint draw_ = 0;
    GLint read_ = 0;
    GLint renderbuffer_ = 0;
};
} // namespace

HeadlessSurface::HeadlessSurface(int width, int height)
    : framebuffer_(gl::Framebuffer::create()), color_(gl::Renderbuffer::create()), width_(width),
      height_(height) {
    if (epoxy_gl_version() < 33) {
        fatal("GPU not available");
    }
    resize(width, height);
    gl::label(GL_FRAMEBUFFER, framebuffer_.id(), "Headless drawable");
}

HeadlessSurface::~HeadlessSurface() {
    // The framebuffer belongs to this surface's context; whatever context was current before
    // (another surface's) is current again afterwards.
    const EGLDisplay previousDisplay = eglGetCurrentDisplay();
    const EGLContext previousContext = eglGetCurrentContext();
    context_.makeCurrent();
    color_.reset();
    framebuffer_.reset();
    if (previousContext != EGL_NO_CONTEXT && previousContext != eglGetCurrentContext()) {
        eglMakeCurrent(previousDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, previousContext);
    }
}

void HeadlessSurface::resize(int width, int height) {
    if (width <= 0 || height <= 0) {
        fatal("Invalid drawable size");
    }
    width_ = width;
    height_ = height;
    FramebufferBindingsKept kept;
    glBindRenderbuffer(GL_RENDERBUFFER, color_.id());
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer_.id());
    glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                              color_.id());
    if (glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        fatal("GPU not available");
    }
}

DrawableSize HeadlessSurface::drawableSize() const {
    return DrawableSize{static_cast<double>(width_), static_cast<double>(height_)};
}

std::optional<unsigned int> HeadlessSurface::currentDrawable() {
    if (!available_) {
        return std::nullopt;
    }
    return framebuffer_.id();
}

void HeadlessSurface::present() {
    // Nothing to show; the frame stays in the framebuffer for readPixels.
    ++presented_;
}

Image HeadlessSurface::readPixels() {
    Image image;
    image.width = width_;
    image.height = height_;
    const std::size_t rowBytes = static_cast<std::size_t>(width_) * 4;
    image.rgba.resize(rowBytes * static_cast<std::size_t>(height_));
    {
        FramebufferBindingsKept kept;
        GLint packAlignment = 4;
        glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_.id());
        glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, image.rgba.data());
        glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
    }
    // GL returns the bottom row first.
    std::vector<std::uint8_t> row(rowBytes);
    for (int top = 0, bottom = height_ - 1; top < bottom; ++top, --bottom) {
        std::uint8_t* a = image.rgba.data() + static_cast<std::size_t>(top) * rowBytes;
        std::uint8_t* b = image.rgba.data() + static_cast<std::size_t>(bottom) * rowBytes;
        std::memcpy(row.data(), a, rowBytes);
        std::memcpy(a, b, rowBytes);
        std::memcpy(b, row.data(), rowBytes);
    }
    return image;
}

} // namespace renderer
