#include <gtest/gtest.h>

#include "renderer/loaders/AstcInfo.h"
#include "renderer/loaders/AstcTexture.h"
#include "tests/renderer/LoaderTestFiles.h"

namespace renderer {
namespace {

using loadertest::astcFile;
using loadertest::astcHeader;
using loadertest::failure;
using loadertest::TempResources;

TEST(AstcInfoTest, ParsesHeaderAndMapsFootprintsToFormats) {
    const AstcInfo wide = AstcInfo::parse(astcFile(8, 8, 2048, 16), "wide.astc").value();
    EXPECT_EQ(std::tuple(wide.width, wide.height, wide.blockWidth, wide.blockHeight),
              std::tuple(2048, 16, 8, 8));
    EXPECT_EQ(wide.pixelFormat, static_cast<GLenum>(GL_COMPRESSED_RGBA_ASTC_8x8_KHR));
    EXPECT_EQ(std::tuple(wide.blocksPerRow(), wide.rowPitch(), wide.dataSize()),
              std::tuple(256, 4096, 256 * 2 * 16));
    // A partial block at the edge still takes a whole block; sizes use all three bytes.
    EXPECT_EQ(AstcInfo::parse(astcFile(8, 8, 2050, 3), "r").value().rowPitch(), 257 * 16);
    const AstcInfo large =
        AstcInfo::parseHeader(astcHeader(12, 12, 0x123456, 0x010203), "x").value();
    EXPECT_EQ(std::tuple(large.width, large.height), std::tuple(0x123456, 0x010203));

    EXPECT_EQ(astcPixelFormat(5, 4), static_cast<GLenum>(GL_COMPRESSED_RGBA_ASTC_5x4_KHR));
    EXPECT_EQ(astcPixelFormat(12, 10), static_cast<GLenum>(GL_COMPRESSED_RGBA_ASTC_12x10_KHR));
    // Footprints without a format of their own fall back to 4x4 (and the transposed 4x5 is
    // not 5x4).
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{7, 7}, {4, 5}, {0, 0}}) {
        EXPECT_EQ(astcPixelFormat(w, h), static_cast<GLenum>(GL_COMPRESSED_RGBA_ASTC_4x4_KHR));
    }
}

TEST(AstcInfoTest, RejectsMalformedFilesNamingThem) {
    const auto message = [](const Bytes& bytes) {
        return failure(AstcInfo::parse(bytes, "kadrel/textures/bad.astc"));
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
    EXPECT_NE(message(astcHeader(4, 4, 4, 4, 1, 4)).find("footprint 4x4x4"), std::string::npos);
    EXPECT_EQ(message(astcHeader(4, 4, 0, 4)),
              "Texture file kadrel/textures/bad.astc has the image size 0x4x1; a 2D texture is 1 "
              "to 16384 texels wide and high and 1 deep");
    EXPECT_NE(message(astcHeader(4, 4, 16385, 4)).find("image size 16385x4x1"), std::string::npos);
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

    const std::vector<AstcLevel> single =
        AstcTexture::readSingle(locator, "kadrel/textures", "room21").value();
    EXPECT_EQ(single.size(), 1U);
    const std::vector<AstcLevel> chain =
        AstcTexture::readChain(locator, "kadrel/textures", "room1", 2).value();
    ASSERT_EQ(chain.size(), 3U);
    EXPECT_EQ(chain[2].file, "kadrel/textures/room1_2.astc");
    EXPECT_EQ(chain[2].blocks()[0], 3);

    // A single file is never looked up as a level, nor a level as a single file; lookup
    // messages name the resource without its extension.
    EXPECT_EQ(failure(AstcTexture::readSingle(locator, "kadrel/textures", "room1")),
              "File not found in bundle: room1");
    EXPECT_EQ(failure(AstcTexture::readChain(locator, "kadrel/textures", "room21", 1)),
              "File not found in bundle: room21_0");
    EXPECT_EQ(failure(AstcTexture::readChain(locator, "kadrel/textures", "room1", 3)),
              "File not found in bundle: room1_3");
}

TEST(AstcTextureTest, RejectsLevelsOutsideTheChain) {
    TempResources resources;
    const std::vector<std::pair<std::string, Bytes>> files{
        {"good_0", astcFile(4, 4, 5, 3)},      {"good_1", astcFile(4, 4, 2, 1)},
        {"good_2", astcFile(4, 4, 1, 1)},      {"size_0", astcFile(8, 8, 256, 256)},
        {"size_1", astcFile(8, 8, 256, 256)},  {"block_0", astcFile(8, 8, 256, 256)},
        {"block_1", astcFile(6, 6, 128, 128)}, {"long_0", astcFile(4, 4, 2, 2)},
        {"long_1", astcFile(4, 4, 1, 1)},      {"long_2", astcFile(4, 4, 1, 1)},
        {"bad_0", astcFile(4, 4, 8, 8)},       {"bad_1", Bytes(3)},
    };
    for (const auto& [name, file] : files) {
        resources.write("t/" + name + ".astc", file);
    }
    const auto message = [&](const char* name, int mipmaps) {
        return failure(AstcTexture::readChain(resources.locator(), "t", name, mipmaps));
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
