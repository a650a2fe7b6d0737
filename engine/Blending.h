#pragma once

#include <memory>

#include "engine/Enums.h"

namespace engine {

// Blend state of a draw. While isSeparateAlpha is false, alpha is blended with the colour
// equation and factors and the three alpha fields are ignored.
//
// Engine resource objects (this one, DepthMode, Mesh, Shader, Texture, the uniform values,
// the commands) are shared by reference: a command, a scene list and the renderer hold the
// same object through a std::shared_ptr, and "the same" means the same pointer. Shared
// pointers keep the ownership simple (nothing is torn down while something still points at
// it) and copying one on the frame path never allocates.
struct Blending {
    bool enabled = false;
    bool isSeparateAlpha = false;
    BlendingEquation equationColor = BlendingEquation::ADD;
    BlendingEquation equationAlpha = BlendingEquation::ADD;
    BlendingFactor sourceFactorColor = BlendingFactor::ZERO;
    BlendingFactor destinationFactorColor = BlendingFactor::ZERO;
    BlendingFactor sourceFactorAlpha = BlendingFactor::ZERO;
    BlendingFactor destinationFactorAlpha = BlendingFactor::ZERO;
};

using BlendingPtr = std::shared_ptr<Blending>;

// The one shared "no blending" state, created on first use. Never modify it.
const BlendingPtr& BLENDING_NONE();

} // namespace engine
