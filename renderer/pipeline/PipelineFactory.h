#pragma once

#include <string>
#include <vector>

#include "engine/Blending.h"
#include "engine/DepthMode.h"
#include "engine/Texture.h"
#include "engine/VertexAttributes.h"
#include "engine/commands/DrawMeshState.h"
#include "renderer/gl/GlObject.h"
#include "renderer/gl/GlState.h"
#include "renderer/pipeline/RenderPipeline.h"
#include "renderer/shaders/ShaderFunctions.h"

namespace renderer {

// Translations of the engine's draw-state descriptions into GL objects and values. Only
// called when something is first used; frames reuse what these make.

// Less-than when depthTest is set, always-pass otherwise; writes exactly when depthWrite.
gl::DepthState makeDepthStencilState(const engine::DepthMode& depthMode);

// Attribute p of the layout feeds GL attribute slot p (its list position, not its index
// field), all from vertex buffer slot 0 with the layout's stride.
std::vector<VertexAttributeGl> makeVertexDescriptor(const engine::VertexAttributesDescriptor& d);

// Blending of colour attachment 0. Factors and equations are written even when blending is
// off; the alpha ones follow the colour ones unless isSeparateAlpha.
void applyBlending(gl::BlendState& attachment, const engine::Blending& blending);

// A pipeline for drawing with `state` and the shader's program into any of the renderer's
// targets (GL programs do not depend on the target's sample count or depth attachment, so
// the main pass, the offscreen passes and the blur steps share one kind). The label, if
// any, names the vertex array for GL debuggers.
std::unique_ptr<RenderPipeline>
makeRenderPipelineState(const engine::commands::DrawMeshState& state,
                        const ShaderFunctions& functions, gl::State& glState,
                        const std::string& label = {});

// Pipeline, depth state and cull mode for a draw state.
RenderPipelineStateWithDepth
makePipelineStateWithDepth(const engine::commands::DrawMeshState& state,
                           const ShaderFunctions& functions, gl::State& glState,
                           const std::string& label = {});

// A GL sampler for a texture: filters, mip mode (read from magFilter, and only when the
// texture has mip levels), anisotropy above 1 where the driver filters in hardware (see
// samplerAnisotropy), wrapping of S and T. Stops the program with
// "Cannot create sampler state." when GL gives no sampler.
gl::Sampler makeSamplerState(const engine::Texture& texture);

} // namespace renderer
