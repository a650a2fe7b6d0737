// The passes and draws that the command walk hands over.
#include <string_view>

#include "renderer/Fatal.h"
#include "renderer/RenderEncoder.h"
#include "renderer/SceneRenderer.h"
#include "renderer/pipeline/PipelineFactory.h"

namespace renderer {

using engine::commands::BlurredPassCommand;
using engine::commands::DrawBlurredCommand;
using engine::commands::DrawMeshCommand;
using engine::commands::MainPassCommand;
using engine::commands::VignetteCommand;

namespace {

// Blur kernel by the name of the blur size; 0 for a name with no kernel.
int kernelFor(engine::commands::BlurSize size) {
    const std::string_view name = engine::common::name(size);
    if (name == "KERNEL_5") {
        return 5;
    }
    if (name == "KERNEL_4") {
        return 4;
    }
    if (name == "KERNEL_3") {
        return 3;
    }
    if (name == "KERNEL_2") {
        return 2;
    }
    return 0;
}

} // namespace

void SceneRenderer::mainPass(const MainPassCommand& command) {
    const std::optional<unsigned int> drawable = surface.currentDrawable();
    if (!drawable) {
        return;
    }
    const DrawableSize size = surface.drawableSize();
    if (!(size.width >= 1.0 && size.height >= 1.0)) {
        return; // nothing to draw into (a window shrunk to nothing)
    }
    if (!size.fitsInt32()) {
        fatal("Cannot create textures: ", "Cannot create texture with pixelFormat RGBA8 of size " +
                                              std::to_string(size.width) + "x" +
                                              std::to_string(size.height));
    }
    const auto width = static_cast<GLsizei>(size.width);
    const auto height = static_cast<GLsizei>(size.height);
    if (!mainPassTargets.ensure(width, height, glState)) {
        fatal("Cannot create textures: ", "Cannot create texture with pixelFormat RGBA8 of size " +
                                              std::to_string(width) + "x" + std::to_string(height));
    }
    // A fresh description every frame, as a view hands out: keep both attachments unless a
    // clear command says otherwise, opaque black as the clear colour.
    RenderPassDescriptor descriptor;
    descriptor.framebuffer = mainPassTargets.framebuffer();
    descriptor.width = width;
    descriptor.height = height;
    descriptor.hasDepth = true;
    CommandWalk::clears(command.commands, descriptor);
    descriptor.colorStoreAction = StoreAction::MultisampleResolve;
    descriptor.resolveFramebuffer = *drawable;

    RenderEncoder encoder(glState, descriptor, "Main Render Encoder");
    CommandWalk(*this).draws(command.commands);
    encoder.endEncoding();
    surface.present();
}

void SceneRenderer::blurredPass(const BlurredPassCommand& command) {
    auto it = blurredPassesCache.find(command.id);
    if (it == blurredPassesCache.end()) {
        if (scene->viewportWidth <= 0 || scene->viewportHeight <= 0) {
            return; // no aspect to size the images by yet; made on a later frame
        }
        const float aspect =
            static_cast<float>(scene->viewportWidth) / static_cast<float>(scene->viewportHeight);
        auto pass = std::make_unique<GaussianBlurRenderPass>(aspect, command.minSize, command.name);
        pass->createTextures(shaderLibrary, glState);
        it = blurredPassesCache.emplace(command.id, std::move(pass)).first;
    }
    GaussianBlurRenderPass& pass = *it->second;
    activeBlurredPass = &pass;
    const int kernel = kernelFor(command.blurSize);
    if (kernel == 0) {
        fatal("Incompatible blur size");
    }
    CommandWalk::clears(command.commands, pass.renderPassDescriptorRTT);
    pass.beginRenderToTexture(glState);
    CommandWalk(*this).draws(command.commands);
    pass.endRenderToTexture();
    pass.blur(glState, uniformStream, kernel, command.brightness);
}

RenderPipelineStateWithDepth&
SceneRenderer::pipelineFor(const engine::commands::DrawMeshStatePtr& state,
                           const ShaderFunctions& functions) {
    auto it = pipelinesCache.find(state);
    if (it == pipelinesCache.end()) {
        it = pipelinesCache.emplace(state, makePipelineStateWithDepth(*state, functions, glState))
                 .first;
    }
    return it->second;
}

void SceneRenderer::checkModelLayout(std::size_t model, std::int32_t stride,
                                     std::string_view failure) {
    if (modelCheckedStride_[model] == stride) {
        return;
    }
    if (Result<void> layout = models[model].validate(stride); !layout) {
        fatal(failure, layout.error().message);
    }
    modelCheckedStride_[model] = stride;
}

void SceneRenderer::drawMesh(const DrawMeshCommand& command) {
    if (!command.state || !command.state->shader || !command.mesh) {
        fatal("Cannot draw a mesh without a draw state, shader or mesh");
    }
    const engine::commands::DrawMeshState& state = *command.state;
    const std::int32_t shaderId = state.shader->id;
    if (shaderId < 0 || static_cast<std::size_t>(shaderId) >= shaders.size()) {
        fatal("Shader not loaded: ", state.shader->name);
    }
    const std::int32_t meshId = command.mesh->id;
    if (meshId < 0 || static_cast<std::size_t>(meshId) >= models.size()) {
        fatal("Mesh not loaded: ", command.mesh->fileName);
    }
    FullModel& model = models[static_cast<std::size_t>(meshId)];
    RenderPipelineStateWithDepth& pipeline =
        pipelineFor(command.state, shaders[static_cast<std::size_t>(shaderId)]);
    RenderPipeline& renderPipeline = *pipeline.renderPipelineState;

    glState.setFrontFace(GL_CCW);
    pipeline.apply(glState);
    if (!renderPipeline.attributes().empty()) {
        // Without this check a short or absent vertex file would have the GPU read past
        // the buffer (or another model's buffer).
        if (!model.vertexBuffer) {
            fatal("Cannot draw model: no vertices in ", model.filename);
        }
        // The start checked every draw of the tree; this catches draws added since.
        checkModelLayout(static_cast<std::size_t>(meshId), renderPipeline.stride(),
                         "Cannot draw model: ");
        renderPipeline.bindVertexBuffer(glState, model.vertexBuffer.id());
    }
    applyUniforms(command);
    if (!model.indexBuffer) {
        fatal("Cannot draw a model without indices: ", model.filename);
    }
    renderPipeline.bindIndexBuffer(glState, model.indexBuffer.id());
    uniformStream.commit();
    glState.drawIndexedTriangles(model.indexCount());
}

void SceneRenderer::drawBlurred(const std::shared_ptr<DrawBlurredCommand>& command) {
    if (activeBlurredPass == nullptr) {
        return;
    }
    auto it = fullscreenQuadsCache.find(command->id);
    if (it == fullscreenQuadsCache.end()) {
        auto quad = std::make_unique<FullscreenQuad>(command);
        quad->vertexBuffer = makeQuadBuffer(glState, ("Full-screen quad " + command->name).c_str());
        quad->pipelineStateWithDepth = quad->createPipeline(shaderLibrary, glState);
        it = fullscreenQuadsCache.emplace(command->id, std::move(quad)).first;
    }
    it->second->draw(activeBlurredPass->textureOffscreenBlurPass1.id(), glState);
}

} // namespace renderer
