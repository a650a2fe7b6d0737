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

using loadertest::TempResources;

class LoaderUploadGLTest : public ::testing::Test {
  protected:
    void TearDown() override { setAstcDecodeForced(false); }

    // Level `level` of the bound-by-name texture as RGBA8 (GL decodes compressed levels).
    static Bytes readBack(const gl::Texture& texture, int level, int width, int height,
                          GLenum type = GL_UNSIGNED_BYTE, int bytesPerTexel = 4) {
        Bytes texels(static_cast<std::size_t>(width * height * bytesPerTexel));
        GLint previous = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
        glBindTexture(GL_TEXTURE_2D, texture.id());
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, type, texels.data());
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
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

engine::Texture astcTexture(const std::string& fileName, int mipmaps) {
    engine::Texture t;
    t.fileName = fileName;
    t.format = engine::TextureFormat::ASTC;
    t.mipmaps = mipmaps;
    return t;
}

TEST_F(LoaderUploadGLTest, CompressedAndDecodedAstcGiveTheSamePicture) {
    resources.write("k/textures/wall_0.astc",
                    loadertest::encodeAstc(loadertest::picture(90, 60), 90, 60, 6, 6));
    resources.write("k/textures/wall_1.astc",
                    loadertest::encodeAstc(loadertest::picture(45, 30), 45, 30, 6, 6));
    const engine::Texture wall = astcTexture("wall", 1);

    setAstcDecodeForced(true);
    testing::internal::CaptureStdout();
    Result<std::optional<gl::Texture>> decoded = loadTexture(wall, resources.locator(), "k");
    Result<std::optional<gl::Texture>> again = loadTexture(wall, resources.locator(), "k");
    const std::string log = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(decoded.ok()) << decoded.error().message;
    ASSERT_TRUE(again.ok());
    ASSERT_TRUE(decoded.value().has_value());
    const gl::Texture& rgba = *decoded.value();
    // One line per process at most, however many textures are decoded.
    EXPECT_LE(log.size(), log.find('\n') + 1);
    EXPECT_EQ(levelParameter(rgba, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA8);
    EXPECT_EQ(levelParameter(rgba, 1, GL_TEXTURE_WIDTH), 45);

    if (!epoxy_has_gl_extension("GL_KHR_texture_compression_astc_ldr")) {
        GTEST_SKIP() << "this driver samples no ASTC: only the decoded path ran";
    }
    setAstcDecodeForced(false);
    Result<std::optional<gl::Texture>> compressed = loadTexture(wall, resources.locator(), "k");
    ASSERT_TRUE(compressed.ok()) << compressed.error().message;
    const gl::Texture& astc = *compressed.value();
    EXPECT_EQ(levelParameter(astc, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_COMPRESSED_RGBA_ASTC_6x6_KHR);
    EXPECT_EQ(levelParameter(astc, 1, GL_TEXTURE_HEIGHT), 30);

    // Both decoders follow the same format rules; 8-bit output may differ by one step where a
    // decoder rounds its 16-bit interpolation instead of truncating it.
    for (const auto& [level, width, height] :
         std::vector<std::array<int, 3>>{{0, 90, 60}, {1, 45, 30}}) {
        const Bytes fromGpu = readBack(astc, level, width, height);
        const Bytes fromCpu = readBack(rgba, level, width, height);
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
        Result<std::optional<gl::Texture>> chain =
            loadTexture(astcTexture("chain", 1), resources.locator(), "k");
        ASSERT_TRUE(chain.ok()) << chain.error().message;
        Result<std::optional<gl::Texture>> one =
            loadTexture(astcTexture("one", 0), resources.locator(), "k");
        ASSERT_TRUE(one.ok()) << one.error().message;

        GLint value = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
        EXPECT_EQ(static_cast<GLuint>(value), bound);
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &value);
        EXPECT_EQ(value, 8);

        // A sampler asking for mipmaps must find both textures complete.
        for (const auto& [texture, maxLevel] :
             {std::pair{chain.value()->id(), 1}, std::pair{one.value()->id(), 0}}) {
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

TEST_F(LoaderUploadGLTest, UploadsRawHalfFloatAndWebpTexels) {
    // 3 x 1 texels of half floats (1.0, 0.5, 0.0, 2.0), ... in file order.
    Bytes half;
    const std::uint16_t halves[] = {0x3C00, 0x3800, 0x0000, 0x4000, 0x3400, 0x3C00,
                                    0x3800, 0x3C00, 0x0000, 0x0000, 0x3C00, 0x3C00};
    for (const std::uint16_t value : halves) {
        half.push_back(static_cast<std::uint8_t>(value));
        half.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    resources.write("ex/textures/field.rgba.fp16", half);
    engine::Texture field;
    field.fileName = "field.rgba.fp16";
    field.format = engine::TextureFormat::RGBA16F;
    field.width = 3;
    field.height = 1;
    Result<std::optional<gl::Texture>> raw = loadTexture(field, resources.locator(), "ex");
    ASSERT_TRUE(raw.ok()) << raw.error().message;
    EXPECT_EQ(levelParameter(*raw.value(), 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA16F);
    EXPECT_EQ(readBack(*raw.value(), 0, 3, 1, GL_HALF_FLOAT, 8), half);

    const Bytes opaque{255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 10, 20, 30, 255};
    std::uint8_t* encoded = nullptr;
    const std::size_t size = WebPEncodeLosslessRGBA(opaque.data(), 2, 2, 8, &encoded);
    resources.write("ex/textures/pair.webp", Bytes(encoded, encoded + size));
    WebPFree(encoded);
    engine::Texture pair;
    pair.fileName = "pair";
    pair.format = engine::TextureFormat::RGB8;
    Result<std::optional<gl::Texture>> webp = loadTexture(pair, resources.locator(), "ex");
    ASSERT_TRUE(webp.ok()) << webp.error().message;
    EXPECT_EQ(levelParameter(*webp.value(), 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA8);
    EXPECT_EQ(readBack(*webp.value(), 0, 2, 2), opaque);

    engine::Texture none = field;
    none.format = engine::TextureFormat::RGBA32F;
    Result<std::optional<gl::Texture>> skipped = loadTexture(none, resources.locator(), "ex");
    ASSERT_TRUE(skipped.ok());
    EXPECT_FALSE(skipped.value().has_value());
}

TEST_F(LoaderUploadGLTest, ModelBuffersHoldTheFiles) {
    resources.write("kadrel/models/room1-strides.bin",
                    Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    resources.write("kadrel/models/room1-indices.bin", Bytes{0, 0, 0, 0, 0, 0});
    resources.write("models/vignette-round-vntao-strides.bin", Bytes(8, 3));
    resources.write("models/vignette-round-vntao-indices.bin", {});

    FullModel room("room1", "kadrel");
    room.load(resources.locator());
    ASSERT_TRUE(room.vertexBuffer && room.indexBuffer);
    const GLuint firstVertices = room.vertexBuffer.id();
    EXPECT_EQ(room.indexCount(), 3);
    EXPECT_TRUE(room.validate(12).ok());
    EXPECT_FALSE(room.validate(8).ok());

    GLint previous = 0;
    glGetIntegerv(GL_COPY_READ_BUFFER_BINDING, &previous);
    glBindBuffer(GL_COPY_READ_BUFFER, room.vertexBuffer.id());
    Bytes stored(12);
    glGetBufferSubData(GL_COPY_READ_BUFFER, 0, 12, stored.data());
    glBindBuffer(GL_COPY_READ_BUFFER, static_cast<GLuint>(previous));
    EXPECT_EQ(stored, (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));

    // Loading again replaces the pair: the old names are deleted, not leaked.
    room.load(resources.locator());
    EXPECT_TRUE(room.vertexBuffer && room.indexBuffer);
    EXPECT_TRUE(firstVertices == room.vertexBuffer.id() || !glIsBuffer(firstVertices));

    FullModel vignette("models/vignette-round-vntao", "");
    vignette.load(resources.locator());
    EXPECT_TRUE(vignette.vertexBuffer);
    EXPECT_FALSE(vignette.indexBuffer);
    EXPECT_EQ(vignette.indexCount(), 0);
}

TEST(LoaderFatalDeathTest, MissingModelStopsStartUp) {
    TempResources resources;
    resources.write("kadrel/models/room1-strides.bin", Bytes(12));
    resources.write("kadrel/models/odd-strides.bin", Bytes(12));
    resources.write("kadrel/models/odd-indices.bin", Bytes(3));
    FullModel missing("room1", "kadrel");
    EXPECT_EXIT(missing.load(resources.locator()), testing::ExitedWithCode(1),
                "File not found in bundle: models/room1-indices.bin\n"
                "Cannot create model buffers: room1\n");
    FullModel odd("odd", "kadrel");
    EXPECT_EXIT(odd.load(resources.locator()), testing::ExitedWithCode(1),
                "odd-indices.bin holds 3 bytes.*\nCannot create model buffers: odd\n");
    FullModel unnamed("room 1", "kadrel");
    EXPECT_EXIT(unnamed.load(resources.locator()), testing::ExitedWithCode(1),
                "Cannot create model buffers: \n");
}

} // namespace
} // namespace renderer
