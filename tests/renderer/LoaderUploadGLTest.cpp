// The loaders' GL side on a headless context (llvmpipe where there is no GPU).

#include <gtest/gtest.h>

#include <cstdlib>

#include <webp/encode.h>

#include "renderer/headless/EglContext.h"
#include "renderer/loaders/AstcUploadMode.h"
#include "renderer/loaders/FullModel.h"
#include "renderer/loaders/TextureUpload.h"
#include "tests/renderer/LoaderTestFiles.h"

namespace renderer {
namespace {

using loadertest::astcTexture;

using loadertest::TempResources;

class LoaderUploadGLTest : public ::testing::Test {
  protected:
    void TearDown() override { setAstcDecodeForced(false); }

    // One level of a texture as RGBA8 (GL decodes compressed levels).
    static Bytes readBack(const gl::Texture& texture, int level, int width, int height) {
        Bytes texels(static_cast<std::size_t>(width * height * 4));
        glBindTexture(GL_TEXTURE_2D, texture.id());
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        return texels;
    }

    static GLint levelParameter(const gl::Texture& texture, int level, GLenum name) {
        glBindTexture(GL_TEXTURE_2D, texture.id());
        GLint value = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
        glBindTexture(GL_TEXTURE_2D, 0);
        return value;
    }

    EglContext context;
    TempResources resources;
};

TEST_F(LoaderUploadGLTest, CompressedAndDecodedAstcGiveTheSamePicture) {
    resources.write("k/textures/wall_0.astc",
                    loadertest::encodeAstc(loadertest::picture(90, 60), 90, 60, 6, 6));
    resources.write("k/textures/wall_1.astc",
                    loadertest::encodeAstc(loadertest::picture(45, 30), 45, 30, 6, 6));
    const engine::Texture wall = astcTexture("wall", 1);

    setAstcDecodeForced(true);
    testing::internal::CaptureStdout();
    const std::optional<gl::Texture> rgba = loadTexture(wall, resources.locator(), "k").value();
    ASSERT_TRUE(loadTexture(wall, resources.locator(), "k").ok());
    const std::string log = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(rgba);
    // One line per process at most, however many textures are decoded.
    EXPECT_LE(log.size(), log.find('\n') + 1);
    EXPECT_EQ(levelParameter(*rgba, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA8);
    EXPECT_EQ(levelParameter(*rgba, 1, GL_TEXTURE_WIDTH), 45);

    if (!epoxy_has_gl_extension("GL_KHR_texture_compression_astc_ldr")) {
        GTEST_SKIP() << "this driver samples no ASTC: only the decoded path ran";
    }
    setAstcDecodeForced(false);
    const std::optional<gl::Texture> astc = loadTexture(wall, resources.locator(), "k").value();
    ASSERT_TRUE(astc);
    EXPECT_EQ(levelParameter(*astc, 0, GL_TEXTURE_INTERNAL_FORMAT),
              GL_COMPRESSED_RGBA_ASTC_6x6_KHR);
    EXPECT_EQ(levelParameter(*astc, 1, GL_TEXTURE_HEIGHT), 30);

    // Both decoders follow the same format rules; 8-bit output may differ by one step where a
    // decoder rounds its 16-bit interpolation instead of truncating it.
    for (const auto& [level, width, height] :
         std::vector<std::array<int, 3>>{{0, 90, 60}, {1, 45, 30}}) {
        const Bytes fromGpu = readBack(*astc, level, width, height);
        const Bytes fromCpu = readBack(*rgba, level, width, height);
        int worst = 0;
        for (std::size_t i = 0; i < fromGpu.size(); ++i) {
            worst = std::max(worst, std::abs(int{fromGpu[i]} - int{fromCpu[i]}));
        }
        EXPECT_LE(worst, 1) << "level " << level;
    }
}

TEST_F(LoaderUploadGLTest, MakesExactlyTheLevelsReadAndRestoresState) {
    resources.write("k/textures/chain_0.astc", loadertest::astcFile(4, 4, 8, 8, 0xFF));
    resources.write("k/textures/chain_1.astc", loadertest::astcFile(4, 4, 4, 4, 0xFF));
    resources.write("k/textures/one.astc", loadertest::astcFile(8, 8, 16, 16));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    GLuint bound = 0;
    glGenTextures(1, &bound);
    glBindTexture(GL_TEXTURE_2D, bound);

    for (const bool forced : {false, true}) {
        setAstcDecodeForced(forced);
        const auto chain = loadTexture(astcTexture("chain", 1), resources.locator(), "k").value();
        const auto one = loadTexture(astcTexture("one", 0), resources.locator(), "k").value();

        GLint value = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
        EXPECT_EQ(static_cast<GLuint>(value), bound);
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &value);
        EXPECT_EQ(value, 8);

        // A sampler asking for mipmaps must find both textures complete.
        for (const auto& [texture, maxLevel] :
             {std::pair{chain->id(), 1}, std::pair{one->id(), 0}}) {
            glBindTexture(GL_TEXTURE_2D, texture);
            glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, &value);
            EXPECT_EQ(value, maxLevel);
        }
        glBindTexture(GL_TEXTURE_2D, bound);
    }
    glDeleteTextures(1, &bound);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Raw half-float textures are checked on screen by the pixel tests; WebP images here.
TEST_F(LoaderUploadGLTest, UploadsWebpTexels) {
    const Bytes opaque{255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 10, 20, 30, 255};
    std::uint8_t* encoded = nullptr;
    const std::size_t size = WebPEncodeLosslessRGBA(opaque.data(), 2, 2, 8, &encoded);
    resources.write("ex/textures/pair.webp", Bytes(encoded, encoded + size));
    WebPFree(encoded);
    engine::Texture pair;
    pair.fileName = "pair";
    pair.format = engine::TextureFormat::RGB8;
    const auto webp = loadTexture(pair, resources.locator(), "ex").value();
    EXPECT_EQ(levelParameter(*webp, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA8);
    EXPECT_EQ(readBack(*webp, 0, 2, 2), opaque);
}

TEST_F(LoaderUploadGLTest, ModelBuffersHoldTheFilesAndAreReplacedOnReload) {
    const Bytes vertices{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    resources.write("kadrel/models/room1-strides.bin", vertices);
    resources.write("kadrel/models/room1-indices.bin", {});
    FullModel room("room1", "kadrel");
    room.load(resources.locator());
    const GLuint firstVertices = room.vertexBuffer.id();
    Bytes stored(12);
    glBindBuffer(GL_COPY_READ_BUFFER, firstVertices);
    glGetBufferSubData(GL_COPY_READ_BUFFER, 0, 12, stored.data());
    EXPECT_EQ(stored, vertices);
    // An empty index file makes no index buffer.
    EXPECT_TRUE(room.vertexBuffer && !room.indexBuffer);
    EXPECT_EQ(room.indexCount(), 0);
    // Loading again replaces the buffers: the old names are deleted, not leaked.
    room.load(resources.locator());
    EXPECT_TRUE(room.vertexBuffer);
    EXPECT_TRUE(firstVertices == room.vertexBuffer.id() || !glIsBuffer(firstVertices));
}

} // namespace
} // namespace renderer
