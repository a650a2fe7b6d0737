#include "renderer/loaders/TextureData.h"

#include <gtest/gtest.h>

#include "tests/renderer/LoaderTestFiles.h"

namespace renderer {
namespace {

using loadertest::failure;

engine::Texture texture(const std::string& fileName, engine::TextureFormat format, int mipmaps = 0,
                        int width = 0, int height = 0) {
    engine::Texture t;
    t.fileName = fileName;
    t.format = format;
    t.mipmaps = mipmaps;
    t.width = width;
    t.height = height;
    return t;
}

TEST(TextureDataTest, ChecksRawHalfFloatSize) {
    loadertest::TempResources resources;
    resources.write("ex/textures/Alpaca/Eating/animal.rgba.fp16", Bytes(3 * 2 * 8, 0x3C));
    const auto read = [&](int width, int height) {
        return readTextureData(texture("Alpaca/Eating/animal.rgba.fp16",
                                       engine::TextureFormat::RGBA16F, 0, width, height),
                               resources.locator(), "ex");
    };

    const TextureData exact = read(3, 2).value();
    EXPECT_EQ(exact.label, "Alpaca/Eating/animal.rgba.fp16");
    EXPECT_EQ(std::get<RawHalfImage>(exact.content).rowPitch(), 24);
    EXPECT_EQ(std::get<RawHalfImage>(exact.content).texels.size(), 48U);
    EXPECT_TRUE(read(2, 2).ok()); // a longer file only has bytes that are never uploaded
    EXPECT_EQ(failure(read(3, 3)), "Texture file ex/textures/Alpaca/Eating/animal.rgba.fp16 is "
                                   "truncated: a 3x3 RGBA16F image needs 72 bytes, the file "
                                   "holds 48");
    EXPECT_EQ(failure(read(0, 2)), "Texture file ex/textures/Alpaca/Eating/animal.rgba.fp16 cannot "
                                   "be read as a 0x2 RGBA16F image: width and height must be 1 to "
                                   "16384");
    EXPECT_NE(failure(read(65536, 65536)), "accepted");
}

// Decoded WebP texels are checked where they are uploaded; here, the files that are not.
TEST(TextureDataTest, NamesWebpFilesThatCannotBeRead) {
    loadertest::TempResources resources;
    resources.write("ex/textures/broken.webp", {'R', 'I', 'F', 'F', 0, 0});
    resources.write("ex/textures/empty.webp", {});
    std::filesystem::create_directories(resources.root() / "ex/textures/folder.webp");
    const auto webp = [&](const char* name) {
        return failure(readTextureData(texture(name, engine::TextureFormat::RGBA8),
                                       resources.locator(), "ex"));
    };
    EXPECT_EQ(webp("missing"), "Texture file not found in bundle: missing.webp");
    EXPECT_EQ(webp("broken"), "Cannot read texture broken.webp");
    EXPECT_EQ(webp("empty"), "Cannot read texture empty.webp");
    EXPECT_EQ(webp("folder"), "Cannot read texture folder.webp");
}

} // namespace
} // namespace renderer
