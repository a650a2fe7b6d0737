#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "renderer/RenderEncoder.h"
#include "renderer/RenderPassDescriptor.h"
#include "renderer/gl/GlObject.h"
#include "renderer/gl/GlState.h"
#include "renderer/gl/UniformStream.h"
#include "renderer/pipeline/RenderPipeline.h"
#include "renderer/shaders/ShaderLibrary.h"

namespace renderer {

// Draws a subtree into a small offscreen image and blurs it in two separable steps. The
// subtree goes into a 4-sample colour and depth target whose short side is minSize pixels,
// which is resolved into textureOffscreenBlurPass1; the horizontal step blurs that into
// textureOffscreenBlurPass2, the vertical step back into textureOffscreenBlurPass1, which then
// holds the result. Made once per blurred-pass id and never resized.
class GaussianBlurRenderPass {
  public:
    // Computes the size (see blurImageSize) and the labels; makes no GL object.
    GaussianBlurRenderPass(float aspect, std::int32_t minSize, std::string name);

    // Targets, framebuffers, the three pass descriptions, the quad buffer and the four blur
    // pipelines ("GaussianBlur" for kernel 5, "GaussianBlur4", "3", "2"). Failure stops the
    // program with "Cannot create textures: " + the reason.
    void createTextures(ShaderLibrary& library, gl::State& state);

    // Opens the offscreen pass (renderPassDescriptorRTT) for the subtree's draws.
    RenderEncoder& beginRenderToTexture(gl::State& state);
    // Ends the offscreen pass: resolves the subtree's image into textureOffscreenBlurPass1.
    void endRenderToTexture();
    // The two blur steps with kernel 2 to 5 (anything else counts as 5); brightness goes to
    // both.
    void blur(gl::State& state, gl::UniformStream& uniforms, int kernel, float brightness);

    std::int64_t width = 0;
    std::int64_t height = 0;
    std::string name;

    gl::Renderbuffer textureOffscreen;
    gl::Renderbuffer textureDepth;
    gl::Texture textureOffscreenBlurPass1;
    gl::Texture textureOffscreenBlurPass2;
    // Framebuffers over the targets: the multisampled one the subtree is drawn into, and one
    // over each blur image (the first also receives the resolve).
    gl::Framebuffer framebufferRTT;
    gl::Framebuffer framebufferBlurPass1;
    gl::Framebuffer framebufferBlurPass2;

    RenderPassDescriptor renderPassDescriptorRTT;
    RenderPassDescriptor renderPassDescriptorBlur1;
    RenderPassDescriptor renderPassDescriptorBlur2;
    std::optional<RenderEncoder> renderEncoder;
    std::string renderEncoderLabelRTT;
    std::string renderEncoderLabelBlur1;
    std::string renderEncoderLabelBlur2;

    gl::Buffer vertexBufferQuad;

    std::array<float, 2> bufferDirection{0.0F, 0.0F};
    std::array<float, 1> bufferBrightness{0.0F};

    RenderPipelineStateWithDepth pipelineStateWithDepthBlur5;
    RenderPipelineStateWithDepth pipelineStateWithDepthBlur4;
    RenderPipelineStateWithDepth pipelineStateWithDepthBlur3;
    RenderPipelineStateWithDepth pipelineStateWithDepthBlur2;

  private:
    void blurStep(gl::State& state, gl::UniformStream& uniforms,
                  RenderPipelineStateWithDepth& pipeline, const RenderPassDescriptor& descriptor,
                  const std::string& label, GLuint source);
};

} // namespace renderer
