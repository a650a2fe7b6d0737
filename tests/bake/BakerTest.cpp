// Runs the whole baker at a tiny size and checks that it writes the same kind of files as the
// shipped ones, and that its output does not depend on the number of threads.

#include "ResourceFiles.h"

#include "tools/bake/Baker.h"

#include <gtest/gtest.h>

#include "renderer/loaders/DdsInfo.h"

#include <unistd.h>

namespace bake::testing {
namespace {

namespace fs = std::filesystem;

BakeOptions tinyOptions(const fs::path& root, int threads) {
    BakeOptions o;
    o.outputRoot = root.string();
    o.room1Size = 512;
    o.room2Size = 512;
    o.bloomSize = 64;
    o.skySize = 16;
    o.padding = 2;
    o.astcQuality = 0.0F;
    o.lighting.sunRays = 1;
    o.lighting.aoRays = 4;
    o.lighting.skyRays = 4;
    o.lighting.bounceRays = 4;
    o.lighting.bounces = 1;
    o.lighting.threads = threads;
    o.lighting.verbose = false;
    return o;
}

class TinyBake : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("kadrel-bake-test-" + std::to_string(::getpid()));
        fs::remove_all(root_);
    }
    void TearDown() override { fs::remove_all(root_); }
    fs::path root_;
};

TEST_F(TinyBake, WritesEveryFileTheSceneReadsWithCompleteChains) {
    const BakeSummary summary = bake(tinyOptions(root_ / "a", 2));
    const fs::path textures = root_ / "a" / "kadrel" / "textures";
    for (const auto& [name, size, levels] :
         {std::tuple{std::string("room1"), 512, 10}, std::tuple{std::string("room20"), 512, 10}}) {
        for (int level = 0; level < levels; ++level) {
            const AstcHeader h =
                readAstcHeader(textures / (name + "_" + std::to_string(level) + ".astc"));
            EXPECT_EQ(h.magic, 0x5CA1AB13U);
            EXPECT_EQ(h.width, std::max(1, size >> level));
            EXPECT_EQ(h.height, std::max(1, size >> level));
            EXPECT_EQ(h.fileSize, h.expectedSize());
            // Its twin for drivers without ASTC: the same level, in BC1 (the rooms are opaque).
            const std::string twin = name + "_" + std::to_string(level) + ".dds";
            const auto bytes = readFile((textures / twin).string());
            const auto info = renderer::DdsInfo::parse(bytes, twin);
            ASSERT_TRUE(info) << info.error().message;
            EXPECT_EQ(info.value().width, std::max(1, size >> level));
            EXPECT_EQ(info.value().format, renderer::BlockFormat::Bc1);
        }
        EXPECT_FALSE(fs::exists(textures / (name + "_" + std::to_string(levels) + ".astc")));
    }
    EXPECT_EQ(readAstcHeader(textures / "room21.astc").width, 64);
    EXPECT_EQ(readAstcHeader(textures / "room22.astc").width, 16);

    const fs::path models = root_ / "a" / "kadrel" / "models";
    std::size_t meshIndex = 0;
    for (const char* name : {"room1", "room2-optimized0", "room2-optimized1", "room2-optimized2"}) {
        const MeshFiles mesh = readRoomMesh(models, name);
        ASSERT_GT(mesh.indices.size(), 0U) << name;
        EXPECT_EQ(mesh.indices.size() % 3, 0U);
        EXPECT_EQ(mesh.positions.size(), summary.vertexCounts.at(meshIndex++)) << name;
        for (auto i : mesh.indices) {
            ASSERT_LT(i, mesh.positions.size()) << name;
        }
    }
    EXPECT_TRUE(fs::exists(root_ / "a" / "models" / "vignette-round-vntao-strides.bin"));
    EXPECT_TRUE(fs::exists(root_ / "a" / "models" / "vignette-round-vntao-indices.bin"));
    // ASTC levels and single files, each with its twin; the models; the vignette.
    EXPECT_EQ(summary.files.size(), 2 * (10U + 10U + 2U) + 8U + 2U);
}

TEST_F(TinyBake, SameBytesForAnyThreadCount) {
    const BakeSummary one = bake(tinyOptions(root_ / "one", 1));
    bake(tinyOptions(root_ / "two", 3));
    for (const std::string& file : one.files) {
        EXPECT_EQ(readFile((root_ / "one" / file).string()),
                  readFile((root_ / "two" / file).string()))
            << file;
    }
}

} // namespace
} // namespace bake::testing
