// Textures arrive after the first frame: the shipped scene starts in room 2 with room 1's
// texels still to come, no frame is skipped or drawn without its textures while they come,
// a broken file of the late room still stops the start, and the video memory account adds
// up to what was made and returns to nothing when the renderer goes.

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/math/Random.h"
#include "renderer/KadrelRenderer.h"
#include "renderer/SceneResources.h"
#include "renderer/blur/GaussianBlurRenderPass.h"
#include "renderer/headless/EglContext.h"
#include "renderer/loaders/AstcUploadMode.h"
#include "renderer/loaders/DdsInfo.h"
#include "scene/kadrel/KadrelScene.h"
#include "tests/renderer/RenderTestSupport.h"

namespace rendertest {
namespace {

using renderer::gl::VideoMemory;

class TextureStreamGLTest : public ::testing::Test {
  protected:
    void TearDown() override { renderer::setTexturePathLimit(renderer::TexturePath::Astc); }

    static std::unique_ptr<renderer::KadrelRenderer>
    shippedRenderer(renderer::HeadlessSurface& surface,
                    std::shared_ptr<kadrel::KadrelScene> scene) {
        return std::make_unique<renderer::KadrelRenderer>(
            surface, std::move(scene), "kadrel",
            renderer::ResourceLocator(KADREL_SOURCE_DIR "/resources"));
    }

    renderer::EglContext context;
};

// The block bytes of every shipped twin file: what the S3TC path must account for.
std::uint64_t shippedTwinBytes() {
    std::uint64_t bytes = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(KADREL_SOURCE_DIR "/resources/kadrel/textures")) {
        if (entry.path().extension() == ".dds") {
            bytes += entry.file_size() - renderer::DdsInfo::kHeaderSize;
        }
    }
    return bytes;
}

TEST_F(TextureStreamGLTest, RoomOneArrivesAfterTheFirstFrameWithEveryFrameShown) {
    renderer::setTexturePathLimit(renderer::TexturePath::S3tc);
    const VideoMemory before = renderer::gl::videoMemory();
    {
        renderer::HeadlessSurface surface(160, 90);
        auto scene = std::make_shared<kadrel::KadrelScene>();
        auto renderer = shippedRenderer(surface, scene);
        EXPECT_EQ(renderer->stats().texturesLoading, 4U) << "no texel goes up before a frame";
        EXPECT_EQ(renderer::gl::videoMemory().textures, before.textures);

        renderer->drawFrame(5000.0);
        ASSERT_EQ(scene->currentRoom(), 1) << "the scene starts in room 2";
        EXPECT_EQ(renderer->stats().texturesLoading, 1U);
        const auto& textures = renderer->resources().textures;
        EXPECT_FALSE(textures[0]) << "room 1's texture came before the first frame";
        EXPECT_TRUE(textures[1] && textures[2] && textures[3]);

        int frames = 1;
        while (renderer->stats().texturesLoading > 0 && frames < 20) {
            renderer->drawFrame(5000.0 + frames * 33.0);
            ++frames;
            EXPECT_EQ(surface.presentedFrames(), static_cast<std::uint64_t>(frames));
        }
        EXPECT_EQ(renderer->stats().texturesLoading, 0U);
        EXPECT_TRUE(textures[0]);

        const VideoMemory loaded = renderer->stats().videoMemory;
        EXPECT_EQ(loaded.textures - before.textures, shippedTwinBytes());
        // Each 4-sample target holds colour and depth at 4 bytes a sample: the main pass at the
        // frame's size and room 2's bloom pass at its own.
        const renderer::GaussianBlurRenderPass* bloom = renderer->blurredPass(1);
        ASSERT_NE(bloom, nullptr);
        EXPECT_EQ(loaded.multisampleTargets - before.multisampleTargets,
                  static_cast<std::uint64_t>(160 * 90 + bloom->width * bloom->height) * 4 * 4 * 2);
        EXPECT_GT(loaded.blurTargets, before.blurTargets);
        EXPECT_GT(loaded.buffers, before.buffers);
    }
    const VideoMemory after = renderer::gl::videoMemory();
    EXPECT_EQ(
        std::tuple(after.textures, after.multisampleTargets, after.blurTargets, after.buffers),
        std::tuple(before.textures, before.multisampleTargets, before.blurTargets, before.buffers))
        << "the account lost track of something the renderer freed";
}

// A cut to room 1 on the very first frame, before its texture streamed in: the frame waits
// for it and shows what a renderer that loaded everything up front shows.
TEST_F(TextureStreamGLTest, AFrameThatNeedsATextureStillComingCompletesItFirst) {
    const auto render = [this](bool upFront) {
        renderer::HeadlessSurface surface(160, 90);
        auto scene = std::make_shared<kadrel::KadrelScene>();
        auto renderer = shippedRenderer(surface, scene);
        if (upFront) {
            renderer->finishLoading();
        }
        engine::math::Random::seed(7);
        scene->nextRoom();
        renderer->drawFrame(5000.0);
        EXPECT_EQ(scene->currentRoom(), 0);
        EXPECT_EQ(renderer->stats().texturesLoading, upFront ? 0U : 2U)
            << "room 2's two own textures wait";
        return surface.readPixels();
    };
    const renderer::Image streamed = render(false);
    const renderer::Image upFront = render(true);
    EXPECT_EQ(streamed.rgba, upFront.rgba);
    EXPECT_GT(mean(streamed, 0), 40.0) << "room 1 drawn without its texture is near black";
}

TEST_F(TextureStreamGLTest, ABrokenFileOfTheLaterRoomStillStopsTheStart) {
    // The driver's threads do not survive a fork: the child runs the test binary afresh.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TestResources resources;
    writeWallpaperStandIns(resources);
    std::vector<std::uint8_t> level = solidAstc(1, 1, 0.5F, 0.5F, 0.5F);
    level.resize(level.size() - 1);
    resources.write("kadrel/textures/room1_11.astc", level);
    renderer::HeadlessSurface surface(64, 36);
    EXPECT_EXIT(renderer::KadrelRenderer(surface, std::make_shared<kadrel::KadrelScene>(), "kadrel",
                                         resources.locator()),
                testing::ExitedWithCode(1),
                "kadrel/textures/room1_11.astc is truncated.*\nCannot load texture room1\n");
}

} // namespace
} // namespace rendertest
