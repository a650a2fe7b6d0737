#pragma once

#include <optional>

namespace renderer {

// Size of a drawable in pixels. A host may report fractional sizes (scaled displays); the
// renderer truncates them.
struct DrawableSize {
    double width = 0.0;
    double height = 0.0;

    // True when both sides are finite and fit the 32-bit sizes the scene and GL take.
    bool fitsInt32() const noexcept { return fits(width) && fits(height); }

  private:
    static bool fits(double v) noexcept {
        // Written so that NaN fails both comparisons.
        return v >= -2147483648.0 && v < 2147483648.0;
    }
};

// What the renderer needs from whoever shows its frames: the Qt window in the application,
// an offscreen framebuffer in tools and tests. The host makes its OpenGL 3.3 core context
// current before it constructs a renderer or asks for a frame, and keeps it current while
// the renderer runs.
class RenderSurface {
  public:
    virtual ~RenderSurface() = default;

    // The drawable's size in pixels.
    virtual DrawableSize drawableSize() const = 0;
    // The framebuffer object to resolve this frame into (0 is the window's default
    // framebuffer), or nothing when there is no drawable right now (a hidden window): the
    // main pass is then skipped for this frame.
    virtual std::optional<unsigned int> currentDrawable() = 0;
    // Shows the drawable filled by the main pass.
    virtual void present() = 0;

  protected:
    RenderSurface() = default;
    RenderSurface(const RenderSurface&) = default;
    RenderSurface& operator=(const RenderSurface&) = default;
};

} // namespace renderer
