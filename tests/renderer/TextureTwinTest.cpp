// The S3TC twins' files and the choice of texture path, without GL.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <tuple>
#include <vector>

#include "renderer/loaders/AstcUploadMode.h"
#include "renderer/loaders/DdsInfo.h"

namespace renderer {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes twinFile(std::int64_t width, std::int64_t height, BlockFormat format) {
    Bytes file = DdsInfo::header(width, height, format);
    file.resize(file.size() + static_cast<std::size_t>(DdsInfo{width, height, format}.dataSize()),
                0x5A);
    return file;
}

void put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    std::memcpy(bytes.data() + at, &value, 4);
}

TEST(DdsInfo, WrittenHeadersParseBack) {
    for (const auto& [width, height, format] :
         {std::tuple{256, 128, BlockFormat::Bc1}, std::tuple{5, 3, BlockFormat::Bc3},
          std::tuple{1, 1, BlockFormat::Bc1}}) {
        const Bytes file = twinFile(width, height, format);
        const Result<DdsInfo> info = DdsInfo::parse(file, "t.dds");
        ASSERT_TRUE(info) << info.error().message;
        EXPECT_EQ(info.value().width, width);
        EXPECT_EQ(info.value().height, height);
        EXPECT_EQ(info.value().format, format);
    }
    // Partial blocks at the edges count whole: 5x3 is 2x1 blocks of 16 bytes.
    EXPECT_EQ((DdsInfo{5, 3, BlockFormat::Bc3}.dataSize()), 32);
    EXPECT_EQ((DdsInfo{5, 3, BlockFormat::Bc1}.dataSize()), 16);
}

TEST(DdsInfo, AnythingElseIsRefusedNamingTheFile) {
    const Bytes good = twinFile(64, 32, BlockFormat::Bc1);
    const struct {
        const char* what;
        std::function<void(Bytes&)> spoil;
        const char* says;
    } cases[] = {
        {"short", [](Bytes& b) { b.resize(100); }, "too short"},
        {"magic", [](Bytes& b) { b[0] = 'X'; }, "not a DDS file"},
        {"header size", [](Bytes& b) { put32(b, 4, 128); }, "not a DDS file"},
        {"DX10", [](Bytes& b) { put32(b, 84, 0x30315844); }, "neither BC1"},
        {"uncompressed", [](Bytes& b) { put32(b, 80, 0x41); }, "not block-compressed"},
        {"cube map", [](Bytes& b) { put32(b, 112, 0x200); }, "not a 2D texture"},
        {"mipmaps inside", [](Bytes& b) { put32(b, 28, 7); }, "7 mipmap levels"},
        {"zero width", [](Bytes& b) { put32(b, 16, 0); }, "outside 1 to"},
        {"huge", [](Bytes& b) { put32(b, 12, 1u << 20); }, "outside 1 to"},
        {"one byte short", [](Bytes& b) { b.pop_back(); }, "bytes of blocks"},
        {"one byte long", [](Bytes& b) { b.push_back(0); }, "bytes of blocks"},
        {"linear size", [](Bytes& b) { put32(b, 20, 12); }, "gives 12 bytes"},
    };
    for (const auto& c : cases) {
        Bytes file = good;
        c.spoil(file);
        const Result<DdsInfo> info = DdsInfo::parse(file, "kadrel/textures/room1_0.dds");
        ASSERT_FALSE(info) << c.what;
        EXPECT_NE(info.error().message.find("kadrel/textures/room1_0.dds"), std::string::npos)
            << c.what;
        EXPECT_NE(info.error().message.find(c.says), std::string::npos)
            << c.what << ": " << info.error().message;
    }
}

TEST(TexturePath, PreferenceAndLimits) {
    using P = TexturePath;
    // driver has ASTC, driver has S3TC, limit -> path
    const std::tuple<bool, bool, P, P> table[] = {
        {true, true, P::Astc, P::Astc},     {false, true, P::Astc, P::S3tc},
        {false, false, P::Astc, P::Decode}, {true, false, P::Astc, P::Astc},
        {true, true, P::S3tc, P::S3tc},     {true, false, P::S3tc, P::Decode},
        {true, true, P::Decode, P::Decode}, {false, true, P::Decode, P::Decode},
    };
    for (const auto& [astc, s3tc, limit, expected] : table) {
        EXPECT_EQ(chooseTexturePath(astc, s3tc, limit), expected)
            << astc << s3tc << texturePathName(limit);
    }
}

TEST(TexturePath, TheEnvironmentOnlyTakesThePreferenceDown) {
    ::setenv("KADREL_TEXTURES", "s3tc", 1);
    setTexturePathLimit(TexturePath::Astc);
    EXPECT_EQ(texturePathLimit(), TexturePath::S3tc);
    setTexturePathLimit(TexturePath::Decode);
    EXPECT_EQ(texturePathLimit(), TexturePath::Decode);
    ::setenv("KADREL_TEXTURES", "nonsense", 1);
    setTexturePathLimit(TexturePath::Astc);
    EXPECT_EQ(texturePathLimit(), TexturePath::Astc);
    ::unsetenv("KADREL_TEXTURES");
}

} // namespace
} // namespace renderer
