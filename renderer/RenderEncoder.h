#pragma once

#include "renderer/RenderPassDescriptor.h"
#include "renderer/gl/GlState.h"

namespace renderer {

// The draws of one render pass. Opening binds the pass's framebuffer, sets the viewport to
// its size and performs the load actions; ending performs the store action. Raster state is
// not reset between passes: every draw sets the culling it needs, and the draws that cull
// set their winding, so a pass that changes nothing costs no calls.
// The label groups the pass's calls in GL debuggers.
class RenderEncoder {
  public:
    RenderEncoder(gl::State& state, const RenderPassDescriptor& descriptor, const char* label);
    ~RenderEncoder();
    RenderEncoder(const RenderEncoder&) = delete;
    RenderEncoder& operator=(const RenderEncoder&) = delete;

    void endEncoding();
    gl::State& state() noexcept { return state_; }

  private:
    gl::State& state_;
    const RenderPassDescriptor& descriptor_;
    bool open_ = true;
};

} // namespace renderer
