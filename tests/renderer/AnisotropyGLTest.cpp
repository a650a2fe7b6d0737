// Anisotropic filtering is asked for only where the GPU filters in hardware.

#include <gtest/gtest.h>

#include <string>

#include "renderer/headless/EglContext.h"
#include "renderer/pipeline/Anisotropy.h"
#include "renderer/pipeline/PipelineFactory.h"

namespace renderer {
namespace {

TEST(AnisotropyTest, SoftwareRasterizersAreKnownByTheirRendererString) {
    for (const char* software : {
             "llvmpipe (LLVM 15.0.6, 256 bits)",
             "softpipe",
             "Software Rasterizer",
             "Mesa X11 swrast",
             "zink Vulkan 1.3(llvmpipe (LLVM 15.0.6, 256 bits) (MESA_LLVMPIPE))",
             "Apple Software Renderer",
             "D3D12 (Microsoft Basic Render Driver)",
         }) {
        EXPECT_TRUE(isSoftwareRasterizer(software)) << software;
    }
    // GPUs, including Mesa drivers whose string names the LLVM they compile shaders with.
    for (const char* gpu : {
             "NVIDIA GeForce RTX 3080/PCIe/SSE2",
             "AMD Radeon RX 6800 XT (navi21, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)",
             "Mesa Intel(R) UHD Graphics 620 (KBL GT2)",
             "virgl (NVIDIA GeForce GTX 1060)",
             "",
         }) {
        EXPECT_FALSE(isSoftwareRasterizer(gpu)) << gpu;
    }
}

TEST(AnisotropyGLTest, SamplersFilterAnisotropicallyOnlyOnAGpu) {
    EglContext context;
    engine::Texture texture;
    texture.mipmaps = 4;
    texture.minFilter = texture.magFilter = engine::TextureFiltering::LINEAR_MIPMAP_LINEAR;
    texture.anisotropy = 3;
    const gl::Sampler sampler = makeSamplerState(texture);
    GLfloat anisotropy = 0.0F;
    glGetSamplerParameterfv(sampler.id(), GL_TEXTURE_MAX_ANISOTROPY_EXT, &anisotropy);

    const std::string name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const bool filters = epoxy_gl_version() >= 46 ||
                         epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic") ||
                         epoxy_has_gl_extension("GL_ARB_texture_filter_anisotropic");
    if (!filters) {
        GTEST_SKIP() << name << " has no anisotropic filtering";
    }
    EXPECT_EQ(anisotropy, isSoftwareRasterizer(name) ? 1.0F : 3.0F) << name;
    EXPECT_EQ(samplerAnisotropy(1), 1.0F);
    EXPECT_EQ(samplerAnisotropy(0), 1.0F);
}

} // namespace
} // namespace renderer
