#include "renderer/blur/GaussianBlurRenderPass.h"

#include <utility>

#include "engine/Blending.h"
#include "renderer/Fatal.h"
#include "renderer/blur/BlurImageSize.h"
#include "renderer/blur/FullscreenQuad.h"
#include "renderer/blur/RenderTargets.h"

namespace renderer {

namespace {

template <typename T> T valueOrStop(Result<T> result) {
    if (!result) {
        fatal("Cannot create textures: ", result.error().message);
    }
    return std::move(result).value();
}

void attachOrStop(GLuint framebuffer, gl::State& state, GLenum attachment, GLuint renderbuffer,
                  GLuint texture) {
    state.bindDrawFramebuffer(framebuffer);
    if (renderbuffer != 0) {
        glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, attachment, GL_RENDERBUFFER, renderbuffer);
    } else {
        glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, attachment, GL_TEXTURE_2D, texture, 0);
    }
}

void checkComplete(GLuint framebuffer, gl::State& state, const std::string& what) {
    state.bindDrawFramebuffer(framebuffer);
    if (glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        fatal("Cannot create textures: incomplete framebuffer ", what);
    }
}

} // namespace

GaussianBlurRenderPass::GaussianBlurRenderPass(float aspect, std::int32_t minSize,
                                               std::string nameIn)
    : name(std::move(nameIn)), renderEncoderLabelRTT("Blur pass " + name + " RTT"),
      renderEncoderLabelBlur1("Blur pass " + name + " blur 1"),
      renderEncoderLabelBlur2("Blur pass " + name + " blur 2") {
    const BlurImageSize size = blurImageSize(aspect, minSize);
    width = size.width;
    height = size.height;
}

void GaussianBlurRenderPass::createTextures(ShaderLibrary& library, gl::State& state) {
    const auto w = static_cast<GLsizei>(width);
    const auto h = static_cast<GLsizei>(height);
    if (width != w || height != h) {
        fatal("Cannot create textures: ", "Cannot create texture with pixelFormat RGBA8 of size " +
                                              std::to_string(width) + "x" + std::to_string(height));
    }
    textureOffscreen = valueOrStop(makeMultisampleColorTarget(w, h));
    textureOffscreenBlurPass1 = valueOrStop(makeColorTexture(w, h, state));
    textureOffscreenBlurPass2 = valueOrStop(makeColorTexture(w, h, state));
    gl::label(GL_RENDERBUFFER, textureOffscreen.id(), ("Blur pass " + name + " RTT").c_str());
    gl::label(GL_TEXTURE, textureOffscreenBlurPass1.id(), ("Blur pass " + name + " tex1").c_str());
    gl::label(GL_TEXTURE, textureOffscreenBlurPass2.id(), ("Blur pass " + name + " tex2").c_str());
    textureDepth = valueOrStop(makeDepthTarget(w, h));
    gl::label(GL_RENDERBUFFER, textureDepth.id(), ("Blur pass " + name + " depth").c_str());

    framebufferRTT = gl::Framebuffer::create();
    attachOrStop(framebufferRTT.id(), state, GL_COLOR_ATTACHMENT0, textureOffscreen.id(), 0);
    attachOrStop(framebufferRTT.id(), state, GL_DEPTH_ATTACHMENT, textureDepth.id(), 0);
    checkComplete(framebufferRTT.id(), state, renderEncoderLabelRTT);
    framebufferBlurPass1 = gl::Framebuffer::create();
    attachOrStop(framebufferBlurPass1.id(), state, GL_COLOR_ATTACHMENT0, 0,
                 textureOffscreenBlurPass1.id());
    checkComplete(framebufferBlurPass1.id(), state, "Blur pass " + name + " tex1");
    framebufferBlurPass2 = gl::Framebuffer::create();
    attachOrStop(framebufferBlurPass2.id(), state, GL_COLOR_ATTACHMENT0, 0,
                 textureOffscreenBlurPass2.id());
    checkComplete(framebufferBlurPass2.id(), state, "Blur pass " + name + " tex2");

    // The subtree: cleared to transparent black, depth cleared and then discarded, colour
    // resolved into the first blur image.
    renderPassDescriptorRTT = RenderPassDescriptor{};
    renderPassDescriptorRTT.framebuffer = framebufferRTT.id();
    renderPassDescriptorRTT.width = w;
    renderPassDescriptorRTT.height = h;
    renderPassDescriptorRTT.hasDepth = true;
    renderPassDescriptorRTT.colorLoadAction = LoadAction::Clear;
    renderPassDescriptorRTT.clearColor = {0.0, 0.0, 0.0, 0.0};
    renderPassDescriptorRTT.colorStoreAction = StoreAction::MultisampleResolve;
    renderPassDescriptorRTT.resolveFramebuffer = framebufferBlurPass1.id();
    renderPassDescriptorRTT.depthLoadAction = LoadAction::Clear;

    // Horizontal step into the second image, vertical step back into the first.
    renderPassDescriptorBlur1 = RenderPassDescriptor{};
    renderPassDescriptorBlur1.framebuffer = framebufferBlurPass2.id();
    renderPassDescriptorBlur1.width = w;
    renderPassDescriptorBlur1.height = h;
    renderPassDescriptorBlur1.colorLoadAction = LoadAction::Clear;
    renderPassDescriptorBlur1.clearColor = {0.0, 0.0, 0.0, 0.0};
    renderPassDescriptorBlur2 = renderPassDescriptorBlur1;
    renderPassDescriptorBlur2.framebuffer = framebufferBlurPass1.id();

    vertexBufferQuad = makeQuadBuffer(state, ("Blur pass " + name + " quad").c_str());

    const std::string pipelineLabel = "Blur Pass " + name + " PipelineState";
    const std::pair<const char*, RenderPipelineStateWithDepth*> kernels[] = {
        {"GaussianBlur", &pipelineStateWithDepthBlur5},
        {"GaussianBlur4", &pipelineStateWithDepthBlur4},
        {"GaussianBlur3", &pipelineStateWithDepthBlur3},
        {"GaussianBlur2", &pipelineStateWithDepthBlur2},
    };
    for (const auto& [shaderName, target] : kernels) {
        *target =
            makeQuadPipeline(library, state, shaderName, engine::BLENDING_NONE(), pipelineLabel);
    }
}

RenderEncoder& GaussianBlurRenderPass::beginRenderToTexture(gl::State& state) {
    renderEncoder.reset();
    renderEncoder.emplace(state, renderPassDescriptorRTT, renderEncoderLabelRTT.c_str());
    return *renderEncoder;
}

void GaussianBlurRenderPass::endRenderToTexture() {
    if (renderEncoder) {
        renderEncoder->endEncoding();
    }
}

void GaussianBlurRenderPass::blur(gl::State& state, gl::UniformStream& uniforms, int kernel,
                                  float brightness) {
    bufferBrightness[0] = brightness;
    bufferDirection = {1.0F, 0.0F};
    RenderPipelineStateWithDepth* pipeline = &pipelineStateWithDepthBlur5;
    if (kernel == 2) {
        pipeline = &pipelineStateWithDepthBlur2;
    } else if (kernel == 3) {
        pipeline = &pipelineStateWithDepthBlur3;
    } else if (kernel == 4) {
        pipeline = &pipelineStateWithDepthBlur4;
    }
    if (!pipeline->renderPipelineState) {
        fatal("Blur pipeline missing for pass ", name);
    }
    blurStep(state, uniforms, *pipeline, renderPassDescriptorBlur1, renderEncoderLabelBlur1,
             textureOffscreenBlurPass1.id());
    bufferDirection = {0.0F, 1.0F};
    blurStep(state, uniforms, *pipeline, renderPassDescriptorBlur2, renderEncoderLabelBlur2,
             textureOffscreenBlurPass2.id());
}

void GaussianBlurRenderPass::blurStep(gl::State& state, gl::UniformStream& uniforms,
                                      RenderPipelineStateWithDepth& pipeline,
                                      const RenderPassDescriptor& descriptor,
                                      const std::string& label, GLuint source) {
    renderEncoder.reset();
    renderEncoder.emplace(state, descriptor, label.c_str());
    pipeline.apply(state);
    pipeline.renderPipelineState->bindVertexBuffer(state, vertexBufferQuad.id());
    uniforms.stage(gl::FIRST_FRAGMENT_BUFFER_BINDING + 1, bufferDirection.data(),
                   sizeof bufferDirection);
    uniforms.stage(gl::FIRST_FRAGMENT_BUFFER_BINDING + 2, bufferBrightness.data(),
                   sizeof bufferBrightness);
    state.bindTexture(0, GL_TEXTURE_2D, source);
    state.bindSampler(0, 0);
    uniforms.commit();
    state.drawTriangleStrip(4);
    renderEncoder->endEncoding();
}

} // namespace renderer
