#include <gtest/gtest.h>

#include "renderer/loaders/AstcInfo.h"
#include "renderer/loaders/AstcTexture.h"
#include "tests/renderer/LoaderTestFiles.h"

namespace renderer {
namespace {

using loadertest::astcFile;
using loadertest::astcHeader;
using loadertest::TempResources;

TEST(AstcInfoTest, ParsesHeaderAndRowPitch) {
    const Bytes wide = astcFile(8, 8, 2048, 16);
    Result<AstcInfo> info = AstcInfo::parse(wide, "wide.astc");
    ASSERT_TRUE(info.ok()) << info.error().message;
    EXPECT_EQ(info.value().width, 2048);
    EXPECT_EQ(info.value().height, 16);
    EXPECT_EQ(info.value().blockWidth, 8);
    EXPECT_EQ(info.value().blockHeight, 8);
    EXPECT_EQ(info.value().pixelFormat, static_cast<GLenum>(GL_COMPRESSED_RGBA_ASTC_8x8_KHR));
    EXPECT_EQ(info.value().blocksPerRow(), 256);
    EXPECT_EQ(info.value().rowPitch(), 4096);
    EXPECT_EQ(info.value().dataSize(), 256 * 2 * 16);

    // A partial block at the edge still takes a whole block; sizes use all three bytes.
    Result<AstcInfo> ragged = AstcInfo::parse(astcFile(8, 8, 2050, 3), "ragged.astc");
    ASSERT_TRUE(ragged.ok()) << ragged.error().message;
    EXPECT_EQ(ragged.value().blocksPerRow(), 257);
    EXPECT_EQ(ragged.value().rowPitch(), 257 * 16);
    Result<AstcInfo> large = AstcInfo::parseHeader(astcHeader(12, 12, 0x123456, 0x010203), "x");
    ASSERT_TRUE(large.ok());
    EXPECT_EQ(large.value().width, 0x123456);
    EXPECT_EQ(large.value().height, 0x010203);
}

TEST(AstcInfoTest, MapsFootprintsToFormats) {
    EXPECT_EQ(astcPixelFormat(4, 4), static_cast<GLenum>(GL_COMPRESSED_RGBA_ASTC_4x4_KHR));
    EXPECT_EQ(astcPixelFormat(5, 4), static_cast<GLenum>(GL_COMPRESSED_RGBA_ASTC_5x4_KHR));
    EXPECT_EQ(astcPixelFormat(6, 5), static_cast<GLenum>(GL_COMPRESSED_RGBA_ASTC_6x5_KHR));
    EXPECT_EQ(astcPixelFormat(8, 6), static_cast<GLenum>(GL_COMPRESSED_RGBA_ASTC_8x6_KHR));
    EXPECT_EQ(astcPixelFormat(10, 8), static_cast<GLenum>(GL_COMPRESSED_RGBA_ASTC_10x8_KHR));
    EXPECT_EQ(astcPixelFormat(12, 10), static_cast<GLenum>(GL_COMPRESSED_RGBA_ASTC_12x10_KHR));
    EXPECT_EQ(astcPixelFormat(12, 12), static_cast<GLenum>(GL_COMPRESSED_RGBA_ASTC_12x12_KHR));
    // Footprints without a format of their own fall back to 4x4 (and the transposed 4x5 is
    // not 5x4).
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{7, 7}, {9, 9}, {4, 5}, {0, 0}}) {
        EXPECT_EQ(astcPixelFormat(w, h), static_cast<GLenum>(GL_COMPRESSED_RGBA_ASTC_4x4_KHR))
            << w << "x" << h;
    }
}

TEST(AstcInfoTest, RejectsMalformedFilesNamingThem) {
    const auto message = [](const Bytes& bytes) {
        Result<AstcInfo> info = AstcInfo::parse(bytes, "kadrel/textures/bad.astc");
        return info.ok() ? std::string("accepted") : info.error().message;
    };
    EXPECT_EQ(message(Bytes(10)), "Texture file kadrel/textures/bad.astc is truncated: 10 bytes, "
                                  "shorter than the 16-byte ASTC header");
    Bytes wrongMagic = astcFile(4, 4, 4, 4);
    wrongMagic[0] = 0x89;
    EXPECT_EQ(
        message(wrongMagic),
        "Texture file kadrel/textures/bad.astc is not an ASTC file (magic number 0x5CA1AB89)");
    EXPECT_EQ(message(astcFile(7, 7, 14, 14)),
              "Texture file kadrel/textures/bad.astc has the ASTC block footprint 7x7x1, which is "
              "not a 2D ASTC format");
    EXPECT_NE(message(astcHeader(0, 4, 4, 4)).find("footprint 0x4x1"), std::string::npos);
    EXPECT_NE(message(astcHeader(4, 4, 4, 4, 1, 4)).find("footprint 4x4x4"), std::string::npos);
    EXPECT_EQ(message(astcHeader(4, 4, 0, 4)),
              "Texture file kadrel/textures/bad.astc has the image size 0x4x1; a 2D texture is 1 "
              "to 16384 texels wide and high and 1 deep");
    EXPECT_NE(message(astcHeader(4, 4, 16385, 4)), "accepted");
    EXPECT_NE(message(astcHeader(4, 4, 4, 0xFFFFFF)), "accepted");
    Bytes deep = astcHeader(4, 4, 4, 4, 2);
    deep.resize(deep.size() + 2 * 16);
    EXPECT_NE(message(deep).find("image size 4x4x2"), std::string::npos);

    Bytes truncated = astcFile(6, 6, 13, 7); // 3 x 2 blocks
    truncated.pop_back();
    EXPECT_EQ(message(truncated),
              "Texture file kadrel/textures/bad.astc is truncated: its 13x7 image in 6x6 blocks "
              "needs 96 bytes of blocks, the file holds 95");
    truncated.push_back(0);
    EXPECT_EQ(message(truncated), "accepted");
}

TEST(AstcTextureTest, ReadsSingleFileOrChainByName) {
    TempResources resources;
    resources.write("kadrel/textures/room21.astc", astcFile(8, 8, 64, 32));
    resources.write("kadrel/textures/room1_0.astc", astcFile(6, 6, 40, 20, 1));
    resources.write("kadrel/textures/room1_1.astc", astcFile(6, 6, 20, 10, 2));
    resources.write("kadrel/textures/room1_2.astc", astcFile(6, 6, 10, 5, 3));
    const ResourceLocator locator = resources.locator();

    Result<std::vector<AstcLevel>> single =
        AstcTexture::readSingle(locator, "kadrel/textures", "room21");
    ASSERT_TRUE(single.ok()) << single.error().message;
    ASSERT_EQ(single.value().size(), 1U);
    EXPECT_EQ(single.value()[0].file, "kadrel/textures/room21.astc");
    EXPECT_EQ(single.value()[0].blocks().size(), 8U * 4U * 16U);

    Result<std::vector<AstcLevel>> chain =
        AstcTexture::readChain(locator, "kadrel/textures", "room1", 2);
    ASSERT_TRUE(chain.ok()) << chain.error().message;
    ASSERT_EQ(chain.value().size(), 3U);
    EXPECT_EQ(chain.value()[2].file, "kadrel/textures/room1_2.astc");
    EXPECT_EQ(chain.value()[2].info.width, 10);
    EXPECT_EQ(chain.value()[2].blocks()[0], 3);

    // A single file is never looked up as a level, nor a level as a single file; lookup
    // messages name the resource without its extension.
    Result<std::vector<AstcLevel>> noSingle =
        AstcTexture::readSingle(locator, "kadrel/textures", "room1");
    ASSERT_FALSE(noSingle.ok());
    EXPECT_EQ(noSingle.error().message, "File not found in bundle: room1");
    Result<std::vector<AstcLevel>> noChain =
        AstcTexture::readChain(locator, "kadrel/textures", "room21", 1);
    ASSERT_FALSE(noChain.ok());
    EXPECT_EQ(noChain.error().message, "File not found in bundle: room21_0");
    Result<std::vector<AstcLevel>> shortChain =
        AstcTexture::readChain(locator, "kadrel/textures", "room1", 3);
    ASSERT_FALSE(shortChain.ok());
    EXPECT_EQ(shortChain.error().message, "File not found in bundle: room1_3");
}

TEST(AstcTextureTest, RejectsLevelsOutsideTheChain) {
    TempResources resources;
    resources.write("t/good_0.astc", astcFile(4, 4, 5, 3));
    resources.write("t/good_1.astc", astcFile(4, 4, 2, 1));
    resources.write("t/good_2.astc", astcFile(4, 4, 1, 1));
    resources.write("t/size_0.astc", astcFile(8, 8, 256, 256));
    resources.write("t/size_1.astc", astcFile(8, 8, 256, 256));
    resources.write("t/block_0.astc", astcFile(8, 8, 256, 256));
    resources.write("t/block_1.astc", astcFile(6, 6, 128, 128));
    resources.write("t/long_0.astc", astcFile(4, 4, 2, 2));
    resources.write("t/long_1.astc", astcFile(4, 4, 1, 1));
    resources.write("t/long_2.astc", astcFile(4, 4, 1, 1));
    resources.write("t/bad_0.astc", astcFile(4, 4, 8, 8));
    resources.write("t/bad_1.astc", Bytes(3));
    const ResourceLocator locator = resources.locator();
    const auto message = [&](const char* name, int mipmaps) {
        Result<std::vector<AstcLevel>> chain = AstcTexture::readChain(locator, "t", name, mipmaps);
        return chain.ok() ? std::string("accepted") : chain.error().message;
    };

    // Odd sizes halve with truncation down to 1.
    EXPECT_EQ(message("good", 2), "accepted");
    EXPECT_EQ(message("size", 1), "Texture file t/size_1.astc is level 1 of the 256x256 image "
                                  "t/size_0.astc and must be 128x128, not 256x256");
    EXPECT_EQ(message("block", 1), "Texture file t/block_1.astc has 6x6 blocks, unlike the 8x8 "
                                   "blocks of t/block_0.astc");
    EXPECT_EQ(message("long", 2), "Texture long asks for 3 mipmap levels, but its 2x2 base level "
                                  "t/long_0.astc has only 2");
    EXPECT_EQ(message("bad", 1).rfind("Texture file t/bad_1.astc is truncated", 0), 0U);

    EXPECT_EQ(AstcTexture::fullChainLength(2048, 2048), 12);
    EXPECT_EQ(AstcTexture::fullChainLength(4096, 1), 13);
    EXPECT_EQ(AstcTexture::fullChainLength(1, 1), 1);
}

} // namespace
} // namespace renderer
