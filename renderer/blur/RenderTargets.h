#pragma once

#include <string_view>

#include "renderer/RuntimeError.h"
#include "renderer/gl/GlObject.h"
#include "renderer/gl/GlState.h"

namespace renderer {

// Offscreen images of the blur passes. Each fails with "Cannot create texture with
// pixelFormat " + format + " of size " + width + "x" + height when the size is empty or
// beyond what the driver allows, or when GL refuses the storage.

// A colour target with 4 samples per pixel, only ever drawn into and resolved.
Result<gl::Renderbuffer> makeMultisampleColorTarget(GLsizei width, GLsizei height);

// A single-sample RGBA8 image, drawn into and sampled: linear filtering, clamped to its edges,
// no mip levels. Those parameters are what the blur and full-screen shaders sample with, as
// the renderer binds no sampler for them.
Result<gl::Texture> makeColorTexture(GLsizei width, GLsizei height, gl::State& state);

// A 4-sample 24-bit depth target, never read back.
Result<gl::Renderbuffer> makeDepthTarget(GLsizei width, GLsizei height);

} // namespace renderer
