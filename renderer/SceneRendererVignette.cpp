// The vignette: a model over the whole frame that multiplies what is drawn so far by a
// colour shaded between the command's two colours.
#include "engine/math/HalfFloat.h"
#include "renderer/Fatal.h"
#include "renderer/SceneRenderer.h"
#include "renderer/pipeline/PipelineFactory.h"

namespace renderer {

using engine::math::floatToHalf;

const SceneRenderer::VignetteUtils& SceneRenderer::vignetteUtils() {
    static const VignetteUtils utils = [] {
        auto blending = std::make_shared<engine::Blending>();
        blending->enabled = true;
        blending->isSeparateAlpha = false;
        blending->equationColor = engine::BlendingEquation::ADD;
        blending->sourceFactorColor = engine::BlendingFactor::ZERO;
        blending->destinationFactorColor = engine::BlendingFactor::SRC_COLOR;
        return VignetteUtils{
            std::make_shared<engine::Shader>(),
            blending,
            engine::DEPTH_NONE(),
            engine::VertexAttributesDescriptor(
                {engine::VertexAttribute(0, engine::VertexFormat::HALF2, 0),
                 engine::VertexAttribute(1, engine::VertexFormat::UBYTE_NORMALIZED, 6)},
                8),
        };
    }();
    return utils;
}

RenderPipelineStateWithDepth SceneRenderer::makeVignettePipeline(const ShaderFunctions& functions) {
    const VignetteUtils& utils = vignetteUtils();
    utils.shader->name = "Vignette";
    const engine::commands::DrawMeshState state(utils.shader, utils.blending, utils.depthMode,
                                                engine::CullFace::DISABLED, utils.attributes);
    return makePipelineStateWithDepth(state, functions, glState);
}

void SceneRenderer::vignette(const engine::commands::VignetteCommand& command) {
    const auto toHalves = [](const std::shared_ptr<engine::math::Vec4>& color,
                             std::array<std::uint16_t, 4>& out) {
        if (color) {
            out = {floatToHalf(color->r()), floatToHalf(color->g()), floatToHalf(color->b()),
                   floatToHalf(color->a())};
        }
    };
    toHalves(command.color0, colorVignette0_fp16);
    toHalves(command.color1, colorVignette1_fp16);

    RenderPipeline& pipeline = *vignettePipelineStateWithDepth.renderPipelineState;
    vignettePipelineStateWithDepth.apply(glState);
    pipeline.bindVertexBuffer(glState, fmVignette->vertexBuffer.id());
    uniformStream.stage(1, colorVignette0_fp16.data(), sizeof colorVignette0_fp16);
    uniformStream.stage(2, colorVignette1_fp16.data(), sizeof colorVignette1_fp16);
    pipeline.bindIndexBuffer(glState, fmVignette->indexBuffer.id());
    uniformStream.commit();
    glState.drawIndexedTriangles(fmVignette->indexCount());
}

} // namespace renderer
