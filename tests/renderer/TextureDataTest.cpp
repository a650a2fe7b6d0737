#include "renderer/loaders/TextureData.h"

#include <gtest/gtest.h>
#include <webp/encode.h>

#include "tests/renderer/LoaderTestFiles.h"

namespace renderer {
namespace {

using loadertest::astcFile;
using loadertest::TempResources;

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

std::string failure(const Result<TextureData>& result) {
    return result.ok() ? std::string("accepted") : result.error().message;
}

TEST(TextureDataTest, PicksFilesByFormat) {
    TempResources resources;
    resources.write("kadrel/textures/room21.astc", astcFile(8, 8, 16, 16));
    resources.write("kadrel/textures/room1_0.astc", astcFile(8, 8, 16, 16));
    resources.write("kadrel/textures/room1_1.astc", astcFile(8, 8, 8, 8));
    const ResourceLocator locator = resources.locator();

    Result<TextureData> single =
        readTextureData(texture("room21", engine::TextureFormat::ASTC), locator, "kadrel");
    ASSERT_TRUE(single.ok()) << single.error().message;
    EXPECT_EQ(single.value().label, "room21.astc");
    EXPECT_EQ(std::get<std::vector<AstcLevel>>(single.value().content).size(), 1U);

    Result<TextureData> chain =
        readTextureData(texture("room1", engine::TextureFormat::ASTC, 1), locator, "kadrel");
    ASSERT_TRUE(chain.ok()) << chain.error().message;
    EXPECT_EQ(chain.value().label, "room1.astc");
    EXPECT_EQ(std::get<std::vector<AstcLevel>>(chain.value().content).size(), 2U);

    EXPECT_EQ(
        failure(readTextureData(texture("room1", engine::TextureFormat::ASTC), locator, "kadrel")),
        "File not found in bundle: room1");
    // The folder is resourcesRoot/textures, and just "textures" for the empty root.
    EXPECT_EQ(failure(readTextureData(texture("room21", engine::TextureFormat::ASTC), locator, "")),
              "File not found in bundle: room21");
    resources.write("textures/top.astc", astcFile(4, 4, 4, 4));
    EXPECT_EQ(failure(readTextureData(texture("top", engine::TextureFormat::ASTC), locator, "")),
              "accepted");

    // Formats without a loader read nothing and are no error.
    for (const auto format : {engine::TextureFormat::RGB16F, engine::TextureFormat::RGB32F,
                              engine::TextureFormat::RGBA32F}) {
        Result<TextureData> none = readTextureData(texture("missing", format), locator, "kadrel");
        ASSERT_TRUE(none.ok());
        EXPECT_TRUE(none.value().empty());
    }
}

TEST(TextureDataTest, ChecksRawHalfFloatSize) {
    TempResources resources;
    resources.write("ex/textures/Alpaca/Eating/animal.rgba.fp16", Bytes(3 * 2 * 8, 0x3C));
    const ResourceLocator locator = resources.locator();
    const auto read = [&](int width, int height) {
        return readTextureData(texture("Alpaca/Eating/animal.rgba.fp16",
                                       engine::TextureFormat::RGBA16F, 0, width, height),
                               locator, "ex");
    };

    Result<TextureData> exact = read(3, 2);
    ASSERT_TRUE(exact.ok()) << exact.error().message;
    EXPECT_EQ(exact.value().label, "Alpaca/Eating/animal.rgba.fp16");
    const auto& image = std::get<RawHalfImage>(exact.value().content);
    EXPECT_EQ(image.rowPitch(), 24);
    EXPECT_EQ(image.texels.size(), 48U);
    EXPECT_TRUE(read(2, 2).ok()); // a longer file only has bytes that are never uploaded

    EXPECT_EQ(failure(read(3, 3)), "Texture file ex/textures/Alpaca/Eating/animal.rgba.fp16 is "
                                   "truncated: a 3x3 RGBA16F image needs 72 bytes, the file "
                                   "holds 48");
    EXPECT_EQ(failure(read(0, 2)), "Texture file ex/textures/Alpaca/Eating/animal.rgba.fp16 cannot "
                                   "be read as a 0x2 RGBA16F image: width and height must be 1 to "
                                   "16384");
    EXPECT_NE(failure(read(-3, -2)), "accepted");
    EXPECT_NE(failure(read(65536, 65536)), "accepted");
}

TEST(TextureDataTest, DecodesWebpImages) {
    // Four texels with distinct channels and a transparent one, encoded losslessly.
    const Bytes source{255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 128, 10, 20, 30, 0};
    std::uint8_t* encoded = nullptr;
    const std::size_t size = WebPEncodeLosslessRGBA(source.data(), 2, 2, 8, &encoded);
    ASSERT_GT(size, 0U);
    TempResources resources;
    resources.write("ex/textures/pair.webp", Bytes(encoded, encoded + size));
    WebPFree(encoded);
    resources.write("ex/textures/broken.webp", {'R', 'I', 'F', 'F', 0, 0});
    resources.write("ex/textures/empty.webp", {});
    std::filesystem::create_directories(resources.root() / "ex/textures/folder.webp");
    const ResourceLocator locator = resources.locator();

    Result<TextureData> rgba =
        readTextureData(texture("pair", engine::TextureFormat::RGBA8), locator, "ex");
    ASSERT_TRUE(rgba.ok()) << rgba.error().message;
    EXPECT_EQ(rgba.value().label, "pair.webp");
    const auto& image = std::get<Rgba8Image>(rgba.value().content);
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 2);
    // Lossless keeps every visible texel; a fully transparent texel may lose its colour.
    EXPECT_EQ(Bytes(image.texels.begin(), image.texels.begin() + 12),
              Bytes(source.begin(), source.begin() + 12));
    EXPECT_EQ(image.texels[15], 0);
    EXPECT_TRUE(readTextureData(texture("pair", engine::TextureFormat::RGB8), locator, "ex").ok());

    const auto webp = [&](const char* name) {
        return failure(readTextureData(texture(name, engine::TextureFormat::RGBA8), locator, "ex"));
    };
    EXPECT_EQ(webp("missing"), "Texture file not found in bundle: missing.webp");
    EXPECT_EQ(webp("broken"), "Cannot read texture broken.webp");
    EXPECT_EQ(webp("empty"), "Cannot read texture empty.webp");
    EXPECT_EQ(webp("folder"), "Cannot read texture folder.webp");
}

} // namespace
} // namespace renderer
