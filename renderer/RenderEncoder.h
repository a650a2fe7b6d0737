#pragma once

#include "renderer/RenderPassDescriptor.h"
#include "renderer/gl/GlState.h"

namespace renderer {

// The draws of one render pass. Opening binds the pass's framebuffer, sets the viewport to
// its size, performs the load actions and gives the pass fresh raster defaults (no culling,
// clockwise front faces), as every new pass starts from; ending performs the store action.
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
