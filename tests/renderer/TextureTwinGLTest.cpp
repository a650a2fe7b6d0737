// The S3TC twins on a headless context (llvmpipe has both ASTC and S3TC, so every path runs
// here): each path is taken when asked, the twins look like their ASTC originals in texels
// and in a whole frame, and broken twins stop the load with the file's name.

#include <gtest/gtest.h>

#include <cmath>

#include "renderer/KadrelRenderer.h"
#include "renderer/headless/EglContext.h"
#include "renderer/loaders/AstcUploadMode.h"
#include "renderer/loaders/DdsInfo.h"
#include "renderer/loaders/TextureUpload.h"
#include "scene/kadrel/KadrelScene.h"
#include "tests/renderer/LoaderTestFiles.h"
#include "tests/renderer/RenderTestSupport.h"

namespace renderer {
namespace {

using loadertest::astcTexture;

GLint levelParameter(const gl::Texture& texture, int level, GLenum name) {
    glBindTexture(GL_TEXTURE_2D, texture.id());
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

Bytes readBack(const gl::Texture& texture, int level) {
    const GLint width = levelParameter(texture, level, GL_TEXTURE_WIDTH);
    const GLint height = levelParameter(texture, level, GL_TEXTURE_HEIGHT);
    Bytes texels(static_cast<std::size_t>(width * height * 4));
    glBindTexture(GL_TEXTURE_2D, texture.id());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texels;
}

struct Difference {
    double mean = 0.0;
    int worst = 0;
};

Difference compare(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b,
                   bool skipAlpha) {
    Difference d;
    std::size_t counted = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (skipAlpha && i % 4 == 3) {
            continue;
        }
        const int diff = std::abs(int{a[i]} - int{b[i]});
        d.mean += diff;
        d.worst = std::max(d.worst, diff);
        ++counted;
    }
    d.mean /= static_cast<double>(counted);
    return d;
}

class TextureTwinGLTest : public ::testing::Test {
  protected:
    void TearDown() override { setTexturePathLimit(TexturePath::Astc); }
    EglContext context;
    ResourceLocator shipped{KADREL_SOURCE_DIR "/resources"};
};

TEST_F(TextureTwinGLTest, ShippedTwinsLoadAsBlocksAndMatchTheirAstc) {
    ASSERT_EQ(chooseTexturePath(epoxy_has_gl_extension("GL_KHR_texture_compression_astc_ldr"),
                                epoxy_has_gl_extension("GL_EXT_texture_compression_s3tc"),
                                TexturePath::S3tc),
              TexturePath::S3tc)
        << "this driver has no S3TC";
    for (const auto& [name, mipmaps] : {std::pair{"room1", 11}, std::pair{"room20", 12},
                                        std::pair{"room21", 0}, std::pair{"room22", 0}}) {
        setTexturePathLimit(TexturePath::S3tc);
        const auto twin = loadTexture(astcTexture(name, mipmaps), shipped, "kadrel");
        ASSERT_TRUE(twin) << twin.error().message;
        const GLint format = levelParameter(*twin.value(), 0, GL_TEXTURE_INTERNAL_FORMAT);
        EXPECT_TRUE(format == GL_COMPRESSED_RGB_S3TC_DXT1_EXT ||
                    format == GL_COMPRESSED_RGBA_S3TC_DXT5_EXT)
            << name;
        setTexturePathLimit(TexturePath::Decode);
        const auto astc = loadTexture(astcTexture(name, mipmaps), shipped, "kadrel");
        ASSERT_TRUE(astc) << astc.error().message;
        // The whole chain, level by level: a twin with a level out of place would show there.
        for (int level = 0; level <= mipmaps; ++level) {
            const Difference d =
                compare(readBack(*twin.value(), level), readBack(*astc.value(), level),
                        format == GL_COMPRESSED_RGB_S3TC_DXT1_EXT);
            // Both encode the same texels at about 3.6 (ASTC 6x6) and 4 (BC1) bits a texel:
            // each is a step or two off the original on smooth light, more at sharp sun
            // edges, where the two codecs err differently. The small levels are all edges
            // (a whole wall in a few texels, seen only from far away) and differ more.
            const GLint width = levelParameter(*twin.value(), level, GL_TEXTURE_WIDTH);
            EXPECT_LT(d.mean, width >= 256 ? 2.5 : 10.0) << name << " level " << level;
            EXPECT_LT(d.worst, 128) << name << " level " << level;
        }
    }
}

TEST_F(TextureTwinGLTest, AWholeFrameFromTheTwinsLooksLikeTheAstcFrame) {
    const auto render = [](TexturePath limit) {
        setTexturePathLimit(limit);
        HeadlessSurface surface(320, 180);
        KadrelRenderer renderer(surface, std::make_shared<kadrel::KadrelScene>(), "kadrel",
                                ResourceLocator(KADREL_SOURCE_DIR "/resources"));
        renderer.drawFrame(5000.0);
        return surface.readPixels();
    };
    const Image astc = render(TexturePath::Astc);
    const Image twins = render(TexturePath::S3tc);
    const Difference d = compare(astc.rgba, twins.rgba, true);
    // The frame shows the textures filtered, lit by bloom and vignetted: a step on average,
    // and no texel's codec error survives as a large difference.
    EXPECT_LT(d.mean, 1.5);
    EXPECT_LT(d.worst, 48);
}

TEST_F(TextureTwinGLTest, BrokenOrMissingTwinsStopTheLoadNamingTheFile) {
    loadertest::TempResources resources;
    resources.write("k/textures/wall_0.astc", loadertest::astcFile(4, 4, 8, 8, 0xFF));
    resources.write("k/textures/wall_1.astc", loadertest::astcFile(4, 4, 4, 4, 0xFF));
    Bytes level0 = DdsInfo::header(8, 8, BlockFormat::Bc1);
    level0.resize(level0.size() + 32);
    resources.write("k/textures/wall_0.dds", level0);
    setTexturePathLimit(TexturePath::S3tc);

    auto loaded = loadTexture(astcTexture("wall", 1), resources.locator(), "k");
    ASSERT_FALSE(loaded);
    EXPECT_NE(loaded.error().message.find("wall_1"), std::string::npos) << loaded.error().message;

    Bytes wrongSize = DdsInfo::header(8, 4, BlockFormat::Bc1);
    wrongSize.resize(wrongSize.size() + 16);
    resources.write("k/textures/wall_1.dds", wrongSize);
    loaded = loadTexture(astcTexture("wall", 1), resources.locator(), "k");
    ASSERT_FALSE(loaded);
    EXPECT_NE(loaded.error().message.find("k/textures/wall_1.dds is level 1"), std::string::npos)
        << loaded.error().message;

    level0.pop_back();
    resources.write("k/textures/wall_0.dds", level0);
    loaded = loadTexture(astcTexture("wall", 1), resources.locator(), "k");
    ASSERT_FALSE(loaded);
    EXPECT_NE(loaded.error().message.find("k/textures/wall_0.dds has 31 bytes"), std::string::npos)
        << loaded.error().message;
}

} // namespace
} // namespace renderer
