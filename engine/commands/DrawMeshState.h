#pragma once

#include <memory>
#include <optional>
#include <utility>

#include "engine/Blending.h"
#include "engine/DepthMode.h"
#include "engine/Enums.h"
#include "engine/Shader.h"
#include "engine/VertexAttributes.h"

namespace engine::commands {

// The program and fixed-function state of a draw. It has no value equality on purpose: the
// renderer builds one GPU pipeline per state object, keyed on its address, so draws that
// share a state share the object. A draw whose vertices come from elsewhere (a texture read
// in the vertex shader) has no vertex layout.
struct DrawMeshState {
    ShaderPtr shader;
    BlendingPtr blending;
    DepthModePtr depthMode;
    CullFace culling;
    std::optional<VertexAttributesDescriptor> vertexAttributes;

    DrawMeshState(ShaderPtr shaderIn, BlendingPtr blendingIn, DepthModePtr depthModeIn,
                  CullFace cullingIn, std::optional<VertexAttributesDescriptor> attributesIn)
        : shader(std::move(shaderIn)), blending(std::move(blendingIn)),
          depthMode(std::move(depthModeIn)), culling(cullingIn),
          vertexAttributes(std::move(attributesIn)) {}

    DrawMeshState(const DrawMeshState&) = delete;
    DrawMeshState& operator=(const DrawMeshState&) = delete;
};

using DrawMeshStatePtr = std::shared_ptr<DrawMeshState>;

} // namespace engine::commands
