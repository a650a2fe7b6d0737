// Whole frames of the wallpaper, with the shipped rooms and shaders, against reference
// pictures kept small (160x90) so they are quick to draw on a software rasteriser. They
// catch what the focused tests do not look at: a pass drawn in the wrong order, a lost
// blend or vignette, a changed shader.
//
// After an intended change of the pictures (new rooms, a shader change), write them anew
// with scripts/update-reference-frames.sh.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "engine/math/Random.h"
#include "renderer/KadrelRenderer.h"
#include "renderer/headless/HeadlessSurface.h"
#include "renderer/headless/PngWriter.h"
#include "scene/SimulatedClock.h"
#include "scene/kadrel/KadrelScene.h"
#include "tests/renderer/RenderTestSupport.h"
#include "tests/support/PngRead.h"

namespace rendertest {
namespace {

namespace fs = std::filesystem;
using renderer::Image;

const fs::path REFERENCES = fs::path(KADREL_SOURCE_DIR) / "tests/renderer/reference";

// The wallpaper at 30 frames a second for `seconds` of scene time, from a clock start that
// stands for a real monotonic reading, with the random cuts seeded; returns the last frame.
Image wallpaperFrame(const std::function<void(kadrel::KadrelScene&)>& configure, double seconds) {
    engine::math::Random::seed(1); // the scene's camera cuts, whatever ran before
    renderer::HeadlessSurface surface(160, 90);
    auto scene = std::make_shared<kadrel::KadrelScene>();
    configure(*scene);
    renderer::KadrelRenderer renderer(
        surface, scene, "kadrel",
        renderer::ResourceLocator(fs::path(KADREL_SOURCE_DIR) / "resources"));
    kadrel::SimulatedClock clock(*scene, 30.0, 100000.0);
    const auto frames = clock.framesFor(seconds * 1000.0);
    for (std::int64_t i = 0; i < frames; ++i) {
        renderer.drawFrame(clock.now());
        expectNoGlError();
        clock.step();
    }
    return surface.readPixels();
}

// Compares with the reference of that name, or writes it when asked to.
void expectLooksLike(const Image& frame, const std::string& name) {
    const fs::path path = REFERENCES / (name + ".png");
    if (std::getenv("KADREL_UPDATE_REFERENCES") != nullptr) {
        ASSERT_TRUE(renderer::writePng(path.string(), frame));
        GTEST_SKIP() << "wrote " << path;
    }
    const Image reference = testsupport::readPng(path);
    ASSERT_EQ(std::pair(reference.width, reference.height), std::pair(frame.width, frame.height))
        << "no reference " << path;
    int largest = 0;
    double total = 0.0;
    for (std::size_t i = 0; i < frame.rgba.size(); ++i) {
        const int difference = std::abs(int(frame.rgba[i]) - int(reference.rgba[i]));
        largest = std::max(largest, difference);
        total += difference;
    }
    const double mean = total / static_cast<double>(frame.rgba.size());
    // Another Mesa version or driver may round texture filtering and the 4-sample coverage
    // of an edge differently: a few pixels on the rooms' edges can be far off, so a single
    // channel may differ by up to a quarter of the range.
    EXPECT_LE(largest, 64) << name;
    // Over the whole frame such differences stay well under one level, while real faults
    // move the mean far more: leaving out the vignette by about 14 levels, the other room's
    // picture by about 30.
    EXPECT_LE(mean, 1.0) << name;
}

// Room 2 as the wallpaper starts: bloom pass, room, bloom added, vignette.
TEST(ReferenceFramesGLTest, RoomTwoWithBloomAndVignette) {
    expectLooksLike(wallpaperFrame([](kadrel::KadrelScene&) {}, 2.0), "room2");
}

// Room 1 after a cut, at the low quality setting (smaller kernel, coarser shading).
TEST(ReferenceFramesGLTest, RoomOneAtLowQuality) {
    expectLooksLike(wallpaperFrame(
                        [](kadrel::KadrelScene& scene) {
                            scene.settings().lowQuality = true;
                            scene.nextRoom();
                        },
                        1.0),
                    "room1-low-quality");
}

// The full-frame blurred path in sepia, without the vignette.
TEST(ReferenceFramesGLTest, BlurredSepiaWithoutVignette) {
    expectLooksLike(wallpaperFrame(
                        [](kadrel::KadrelScene& scene) {
                            scene.settings().blurred = true;
                            scene.settings().vignette = false;
                            scene.settings().colorMode = engine::common::ColorMode::Sepia;
                        },
                        1.0),
                    "blurred-sepia");
}

} // namespace
} // namespace rendertest
