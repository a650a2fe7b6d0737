#include "renderer/FrameEncoder.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "engine/math/HalfFloat.h"
#include "renderer/Fatal.h"
#include "renderer/RenderEncoder.h"
#include "renderer/pipeline/PipelineFactory.h"

namespace renderer {

using engine::commands::BlurredPassCommand;
using engine::commands::DrawBlurredCommand;
using engine::commands::DrawMeshCommand;
using engine::commands::MainPassCommand;
using engine::commands::VignetteCommand;
using engine::math::floatToHalf;

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

// The uniform's slot within its stage, checked against the slots the stages have.
unsigned slotOf(const Uniform& uniform) {
    if (uniform.index < 0 || uniform.index >= static_cast<std::int64_t>(gl::SLOTS_PER_STAGE)) {
        fatal("Uniform slot out of range");
    }
    return static_cast<unsigned>(uniform.index);
}

// The vignette's draw state: shader "Vignette", multiplicative blending (destination ×
// source colour), no depth test or write, no culling.
engine::commands::DrawMeshState vignetteState() {
    auto blending = std::make_shared<engine::Blending>();
    blending->enabled = true;
    blending->isSeparateAlpha = false;
    blending->equationColor = engine::BlendingEquation::ADD;
    blending->sourceFactorColor = engine::BlendingFactor::ZERO;
    blending->destinationFactorColor = engine::BlendingFactor::SRC_COLOR;
    auto shader = std::make_shared<engine::Shader>();
    shader->name = "Vignette";
    return engine::commands::DrawMeshState(shader, blending, engine::DEPTH_NONE(),
                                           engine::CullFace::DISABLED,
                                           FrameEncoder::vignetteLayout());
}

} // namespace

const engine::VertexAttributesDescriptor& FrameEncoder::vignetteLayout() {
    static const engine::VertexAttributesDescriptor layout(
        {engine::VertexAttribute(0, engine::VertexFormat::HALF2, 0),
         engine::VertexAttribute(1, engine::VertexFormat::UBYTE_NORMALIZED, 6)},
        8);
    return layout;
}

FrameEncoder::FrameEncoder(RenderSurface& surface, engine::Scene& scene, gl::State& state,
                           ShaderLibrary& shaderLibrary, SceneResources& resources)
    : surface_(surface), scene_(scene), state_(state), shaderLibrary_(shaderLibrary),
      resources_(resources), uniformStream_(state), meshVertexArrays_(resources.models.size()),
      vignettePipeline_(makePipelineStateWithDepth(vignetteState(),
                                                   shaderLibrary.functions("Vignette"), state)) {}

std::size_t FrameEncoder::meshVertexArrayCount() const noexcept {
    std::size_t count = 0;
    for (const std::vector<MeshVertexArray>& arrays : meshVertexArrays_) {
        count += arrays.size();
    }
    return count;
}

const GaussianBlurRenderPass* FrameEncoder::blurredPass(std::int32_t id) const {
    const auto it = blurredPasses_.find(id);
    return it == blurredPasses_.end() ? nullptr : it->second.get();
}

void FrameEncoder::mainPass(const MainPassCommand& command) {
    const std::optional<unsigned int> drawable = surface_.currentDrawable();
    if (!drawable) {
        return;
    }
    const DrawableSize size = surface_.drawableSize();
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
    if (!mainPassTargets_.ensure(width, height, state_)) {
        fatal("Cannot create textures: ", "Cannot create texture with pixelFormat RGBA8 of size " +
                                              std::to_string(width) + "x" + std::to_string(height));
    }
    // A fresh description every frame, as a view hands out: keep both attachments unless a
    // clear command says otherwise, opaque black as the clear colour.
    RenderPassDescriptor descriptor;
    descriptor.framebuffer = mainPassTargets_.framebuffer();
    descriptor.width = width;
    descriptor.height = height;
    descriptor.hasDepth = true;
    CommandWalk::clears(command.commands, descriptor);
    descriptor.colorStoreAction = StoreAction::MultisampleResolve;
    descriptor.resolveFramebuffer = *drawable;

    RenderEncoder encoder(state_, descriptor, "Main Render Encoder");
    CommandWalk(*this).draws(command.commands);
    encoder.endEncoding();
    surface_.present();
}

void FrameEncoder::blurredPass(const BlurredPassCommand& command) {
    auto it = blurredPasses_.find(command.id);
    if (it == blurredPasses_.end()) {
        if (scene_.viewportWidth <= 0 || scene_.viewportHeight <= 0) {
            return; // no aspect to size the images by yet; made on a later frame
        }
        const float aspect =
            static_cast<float>(scene_.viewportWidth) / static_cast<float>(scene_.viewportHeight);
        auto pass = std::make_unique<GaussianBlurRenderPass>(aspect, command.minSize, command.name);
        pass->createTextures(shaderLibrary_, state_);
        it = blurredPasses_.emplace(command.id, std::move(pass)).first;
    }
    GaussianBlurRenderPass& pass = *it->second;
    activeBlurredPass_ = &pass;
    const int kernel = kernelFor(command.blurSize);
    if (kernel == 0) {
        fatal("Incompatible blur size");
    }
    CommandWalk::clears(command.commands, pass.renderPassDescriptorRTT);
    pass.beginRenderToTexture(state_);
    CommandWalk(*this).draws(command.commands);
    pass.endRenderToTexture();
    pass.blur(state_, uniformStream_, kernel, command.brightness);
}

RenderPipelineStateWithDepth&
FrameEncoder::pipelineFor(const engine::commands::DrawMeshStatePtr& state,
                          const ShaderFunctions& functions) {
    auto it = pipelines_.find(state);
    if (it == pipelines_.end()) {
        it = pipelines_.emplace(state, makePipelineStateWithDepth(*state, functions, state_)).first;
    }
    return it->second;
}

GLuint FrameEncoder::meshVertexArray(std::size_t meshId, const RenderPipeline& pipeline) {
    std::vector<MeshVertexArray>& arrays = meshVertexArrays_[meshId];
    for (const MeshVertexArray& made : arrays) {
        if (made.stride == pipeline.stride() && made.attributes == pipeline.attributes()) {
            return made.array.id();
        }
    }
    const FullModel& model = resources_.models[meshId];
    MeshVertexArray made{pipeline.attributes(), pipeline.stride(), gl::VertexArray::create()};
    state_.bindVertexArray(made.array.id());
    state_.bindArrayBuffer(model.vertexBuffer.id());
    for (std::size_t slot = 0; slot < made.attributes.size(); ++slot) {
        const VertexAttributeGl& a = made.attributes[slot];
        glEnableVertexAttribArray(static_cast<GLuint>(slot));
        state_.vertexAttribute(static_cast<GLuint>(slot), a.format.components, a.format.type,
                               a.format.normalized, a.format.integer, made.stride, a.offset);
    }
    state_.elementBuffer(model.indexBuffer.id());
    gl::label(GL_VERTEX_ARRAY, made.array.id(), model.filename.c_str());
    arrays.push_back(std::move(made));
    return arrays.back().array.id();
}

void FrameEncoder::drawMesh(const DrawMeshCommand& command) {
    if (!command.state || !command.state->shader || !command.mesh) {
        fatal("Cannot draw a mesh without a draw state, shader or mesh");
    }
    const engine::commands::DrawMeshState& state = *command.state;
    const std::int32_t shaderId = state.shader->id;
    if (shaderId < 0 || static_cast<std::size_t>(shaderId) >= resources_.shaders.size()) {
        fatal("Shader not loaded: ", state.shader->name);
    }
    const std::int32_t meshId = command.mesh->id;
    if (meshId < 0 || static_cast<std::size_t>(meshId) >= resources_.models.size()) {
        fatal("Mesh not loaded: ", command.mesh->fileName);
    }
    const auto mesh = static_cast<std::size_t>(meshId);
    FullModel& model = resources_.models[mesh];
    RenderPipelineStateWithDepth& pipeline =
        pipelineFor(command.state, resources_.shaders[static_cast<std::size_t>(shaderId)]);
    RenderPipeline& renderPipeline = *pipeline.renderPipelineState;
    const bool hasVertices = !renderPipeline.attributes().empty();
    if (hasVertices) {
        // Without this check a short or absent vertex file would have the GPU read past
        // the buffer (or another model's buffer).
        if (!model.vertexBuffer) {
            fatal("Cannot draw model: no vertices in ", model.filename);
        }
        // The start checked every draw of the tree; this catches draws added since.
        resources_.checkModelLayout(mesh, renderPipeline.stride(), "Cannot draw model: ");
    }
    applyUniforms(command);
    if (!model.indexBuffer) {
        fatal("Cannot draw a model without indices: ", model.filename);
    }
    // Culled draws are the only ones that care about the winding; nothing else sets it.
    state_.setFrontFace(GL_CCW);
    if (hasVertices) {
        pipeline.apply(state_, meshVertexArray(mesh, renderPipeline));
    } else {
        pipeline.apply(state_);
        renderPipeline.bindIndexBuffer(state_, model.indexBuffer.id());
    }
    uniformStream_.commit();
    state_.drawIndexedTriangles(model.indexCount());
}

void FrameEncoder::drawBlurred(const std::shared_ptr<DrawBlurredCommand>& command) {
    if (activeBlurredPass_ == nullptr) {
        return;
    }
    auto it = fullscreenQuads_.find(command->id);
    if (it == fullscreenQuads_.end()) {
        auto quad = std::make_unique<FullscreenQuad>(command);
        quad->vertexBuffer = makeQuadBuffer(state_, ("Full-screen quad " + command->name).c_str());
        quad->pipelineStateWithDepth = quad->createPipeline(shaderLibrary_, state_);
        it = fullscreenQuads_.emplace(command->id, std::move(quad)).first;
    }
    it->second->draw(activeBlurredPass_->textureOffscreenBlurPass1.id(), state_);
}

// The vignette: a model over the whole frame that multiplies what is drawn so far by a
// colour shaded between the command's two colours.
void FrameEncoder::vignette(const VignetteCommand& command) {
    const auto toHalves = [](const std::shared_ptr<engine::math::Vec4>& color,
                             std::array<std::uint16_t, 4>& out) {
        if (color) {
            out = {floatToHalf(color->r()), floatToHalf(color->g()), floatToHalf(color->b()),
                   floatToHalf(color->a())};
        }
    };
    toHalves(command.color0, vignetteColor0_);
    toHalves(command.color1, vignetteColor1_);

    const FullModel& model = *resources_.vignette;
    RenderPipeline& pipeline = *vignettePipeline_.renderPipelineState;
    vignettePipeline_.apply(state_);
    pipeline.bindVertexBuffer(state_, model.vertexBuffer.id());
    uniformStream_.stage(1, vignetteColor0_.data(), sizeof vignetteColor0_);
    uniformStream_.stage(2, vignetteColor1_.data(), sizeof vignetteColor1_);
    pipeline.bindIndexBuffer(state_, model.indexBuffer.id());
    uniformStream_.commit();
    state_.drawIndexedTriangles(model.indexCount());
}

unsigned FrameEncoder::bufferBinding(const Uniform& uniform) const {
    const unsigned slot = slotOf(uniform);
    if (uniform.type == UniformType::FRAGMENT) {
        return gl::FIRST_FRAGMENT_BUFFER_BINDING + slot;
    }
    if (slot == 0) {
        fatal("Vertex buffer slot 0 holds the vertex data, not uniforms");
    }
    return slot;
}

void FrameEncoder::applyUniforms(const DrawMeshCommand& command) {
    const std::string& shaderName = command.state->shader->name;
    const auto entry = resources_.shadersUniforms.find(shaderName);
    if (entry == resources_.shadersUniforms.end()) {
        fatal("No uniforms for shader ", shaderName);
    }
    const std::vector<Uniform>& list = entry->second;
    if (command.uniforms.size() > list.size()) {
        fatal("More uniform values than shader takes: ", shaderName);
    }
    for (std::size_t i = 0; i < command.uniforms.size(); ++i) {
        const engine::UniformValue* value = command.uniforms[i].get();
        const Uniform& uniform = list[i];
        if (value == nullptr) {
            continue;
        }
        switch (value->kind()) {
        case engine::UniformValue::Kind::Float: {
            const std::vector<float>& v =
                static_cast<const engine::UniformFloatValue*>(value)->value;
            if (v.size() > valueFp32_.size()) {
                fatal("Uniform value with more than 128 elements for shader ", shaderName);
            }
            if (uniform.dataType == UniformDataType::FP32) {
                std::copy(v.begin(), v.end(), valueFp32_.begin());
                uniformStream_.stage(bufferBinding(uniform), valueFp32_.data(), v.size() * 4);
            } else {
                std::transform(v.begin(), v.end(), valueFp16_.begin(), floatToHalf);
                uniformStream_.stage(bufferBinding(uniform), valueFp16_.data(), v.size() * 2);
            }
            break;
        }
        case engine::UniformValue::Kind::Int: {
            const std::vector<std::int32_t>& v =
                static_cast<const engine::UniformIntValue*>(value)->value;
            if (v.size() > valueInt32_.size()) {
                fatal("Uniform value with more than 128 elements for shader ", shaderName);
            }
            if (uniform.dataType == UniformDataType::INT32) {
                std::copy(v.begin(), v.end(), valueInt32_.begin());
                uniformStream_.stage(bufferBinding(uniform), valueInt32_.data(), v.size() * 4);
            } else {
                for (std::size_t k = 0; k < v.size(); ++k) {
                    if (v[k] < -32768 || v[k] > 32767) {
                        fatal("Uniform value outside the 16-bit range for shader ", shaderName);
                    }
                    valueInt16_[k] = static_cast<std::int16_t>(v[k]);
                }
                uniformStream_.stage(bufferBinding(uniform), valueInt16_.data(), v.size() * 2);
            }
            break;
        }
        case engine::UniformValue::Kind::Texture: {
            const engine::TexturePtr& texture =
                static_cast<const engine::UniformTextureValue*>(value)->value;
            if (!texture || texture->id < 0 ||
                static_cast<std::size_t>(texture->id) >= resources_.textures.size()) {
                fatal("Texture not loaded for shader ", shaderName);
            }
            const auto t = static_cast<std::size_t>(texture->id);
            const unsigned slot = slotOf(uniform);
            if (uniform.type == UniformType::FRAGMENT) {
                state_.bindSampler(slot, resources_.samplers[t].id());
                state_.bindTexture(slot, GL_TEXTURE_2D, resources_.textures[t].id());
            } else {
                // The vertex stage gets no sampler: the texture's own parameters apply.
                const unsigned unit = gl::FIRST_VERTEX_TEXTURE_UNIT + slot;
                state_.bindSampler(unit, 0);
                state_.bindTexture(unit, GL_TEXTURE_2D, resources_.textures[t].id());
            }
            break;
        }
        }
    }
}

} // namespace renderer
