#include "renderer/MainPassTargets.h"

#include "renderer/blur/RenderTargets.h"

namespace renderer {

bool MainPassTargets::ensure(GLsizei width, GLsizei height, gl::State& state) {
    if (framebuffer_ && width == width_ && height == height_) {
        return true;
    }
    framebuffer_.reset();
    color_.reset();
    depth_.reset();
    width_ = 0;
    height_ = 0;
    Result<gl::Renderbuffer> color = makeMultisampleColorTarget(width, height);
    Result<gl::Renderbuffer> depth = makeDepthTarget(width, height);
    if (!color || !depth) {
        return false;
    }
    color_ = std::move(color).value();
    depth_ = std::move(depth).value();
    framebuffer_ = gl::Framebuffer::create();
    state.bindDrawFramebuffer(framebuffer_.id());
    glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                              color_.id());
    glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                              depth_.id());
    if (glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        framebuffer_.reset();
        return false;
    }
    gl::label(GL_FRAMEBUFFER, framebuffer_.id(), "Main pass");
    width_ = width;
    height_ = height;
    return true;
}

} // namespace renderer
