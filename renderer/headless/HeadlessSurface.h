#pragma once

#include <cstdint>
#include <optional>

#include "renderer/RenderSurface.h"
#include "renderer/gl/GlObject.h"
#include "renderer/headless/EglContext.h"
#include "renderer/headless/Image.h"

namespace renderer {

// A render surface without a window, for tools and tests: its own surfaceless EGL context
// (made current on construction) and an RGBA8 framebuffer of a fixed size as the drawable.
// Destroy renderers that draw into it before the surface: their GL objects belong to its
// context.
class HeadlessSurface final : public RenderSurface {
  public:
    HeadlessSurface(int width, int height);
    ~HeadlessSurface() override;

    DrawableSize drawableSize() const override;
    std::optional<unsigned int> currentDrawable() override;
    void present() override;

    // Gives the drawable a new size; its contents are then undefined.
    void resize(int width, int height);
    // While false, currentDrawable() reports no drawable (a hidden window).
    void setDrawableAvailable(bool available) { available_ = available; }
    // Frames presented so far.
    std::uint64_t presentedFrames() const noexcept { return presented_; }

    // The drawable's pixels, rows from the top.
    Image readPixels();

    void makeCurrent() { context_.makeCurrent(); }

  private:
    EglContext context_;
    gl::Framebuffer framebuffer_;
    gl::Renderbuffer color_;
    int width_;
    int height_;
    bool available_ = true;
    std::uint64_t presented_ = 0;
};

} // namespace renderer
