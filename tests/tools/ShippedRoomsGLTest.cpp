// Long runs over the shipped rooms, in the program's own frame loop.

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/renderer/RenderTestSupport.h"
#include "tools/kadrel-render/FrameLoop.h"
#include "tools/kadrel-render/RenderSession.h"

namespace kadrel_render {
namespace {

// Room 1's first path at 128x72 from the scene's start: on a software rasteriser this once
// stalled for minutes a frame after frame 131 (anisotropic filtering of the steeply seen
// floor). 3,000 frames take the camera along the path and back; under ctest's timeout a stall
// fails instead of hanging.
TEST(ShippedRoomsGLTest, ThreeThousandFramesOfRoom1Path1Finish) {
    RenderOptions options;
    options.width = 128;
    options.height = 72;
    options.timeMs = 0.0;
    options.placement = CameraPlacement{1, 1, 0.0, false};
    options.resources = (std::filesystem::path(KADREL_SOURCE_DIR) / "resources").string();
    RenderSession session(options);
    FrameLoop loop(session, options);
    loop.prepare();

    constexpr int FRAMES = 3000;
    renderer::Image first;
    double leastVariation = 1e30;
    for (int index = 0; index < FRAMES; ++index) {
        loop.draw(index);
        if (index % 500 == 0 || index == FRAMES - 1) {
            const renderer::Image frame = loop.capture();
            leastVariation = std::min(leastVariation, rendertest::variation(frame, 1));
            if (index == 0) {
                first = frame;
            }
        }
    }
    const renderer::Image last = loop.capture();
    // Every sampled frame shows the room (not a flat colour), and the camera moved.
    EXPECT_GT(leastVariation, 1000.0);
    EXPECT_NE(first.rgba, last.rgba);
}

} // namespace
} // namespace kadrel_render
