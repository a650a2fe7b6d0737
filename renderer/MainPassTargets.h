#pragma once

#include <epoxy/gl.h>

#include "renderer/gl/GlObject.h"
#include "renderer/gl/GlState.h"

namespace renderer {

// The main pass draws into a 4-sample colour target with a 24-bit depth buffer of the
// drawable's size, and resolves into the drawable at the end. The targets follow the
// drawable's size: they are made on the first frame and again only when the size changes.
class MainPassTargets {
  public:
    // Makes or remakes the targets for width x height; false when GL refuses them.
    bool ensure(GLsizei width, GLsizei height, gl::State& state);

    GLuint framebuffer() const noexcept { return framebuffer_.id(); }
    GLsizei width() const noexcept { return width_; }
    GLsizei height() const noexcept { return height_; }

  private:
    gl::Framebuffer framebuffer_;
    gl::Renderbuffer color_;
    gl::Renderbuffer depth_;
    GLsizei width_ = 0;
    GLsizei height_ = 0;
};

} // namespace renderer
