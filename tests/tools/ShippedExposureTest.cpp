// The exposure of the shipped rooms: every picture of the contact sheet, rendered without the
// vignette (which would hide clipped whites under its grey), keeps its highlights and its
// shadows. A re-bake with a brighter exposure, a harder tone curve or a darker room fails here.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/kadrel-render/ContactSheet.h"
#include "tools/kadrel-render/FrameLoop.h"
#include "tools/kadrel-render/RenderSession.h"

namespace kadrel_render {
namespace {

struct Exposure {
    double white = 0.0; // share of pixels with every channel at 250 or above
    double dark = 0.0;  // share of pixels whose luminance is below 16
};

Exposure measure(const renderer::Image& image) {
    std::size_t white = 0;
    std::size_t dark = 0;
    const std::size_t pixels = static_cast<std::size_t>(image.width) * image.height;
    for (std::size_t i = 0; i < pixels; ++i) {
        const std::uint8_t* p = image.rgba.data() + 4 * i;
        white += p[0] >= 250 && p[1] >= 250 && p[2] >= 250;
        const double luminance = 0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2];
        dark += luminance < 16.0;
    }
    return {static_cast<double>(white) / static_cast<double>(pixels),
            static_cast<double>(dark) / static_cast<double>(pixels)};
}

TEST(ShippedExposureTest, MeasureCountsClippedWhitesAndCrushedShadows) {
    renderer::Image image{4, 1, {}};
    // Pure white, white in two channels only, near black, mid grey.
    image.rgba = {255, 255, 255, 255, 255, 255, 200, 255, 10, 12, 40, 255, 128, 128, 128, 255};
    const Exposure e = measure(image);
    EXPECT_DOUBLE_EQ(e.white, 0.25);
    EXPECT_DOUBLE_EQ(e.dark, 0.25);
}

// The contact sheet's 39 pictures at 320x180: none with more than 3 % of its pixels at white
// and none with more than 10 % crushed to black.
TEST(ShippedExposureTest, NoContactSheetPictureClipsOrCrushes) {
    RenderOptions options;
    options.width = 320;
    options.height = 180;
    options.vignette = false;
    // A fresh bake can be judged before it replaces the shipped files.
    const char* other = std::getenv("KADREL_EXPOSURE_RESOURCES");
    options.resources = other != nullptr
                            ? std::string(other)
                            : (std::filesystem::path(KADREL_SOURCE_DIR) / "resources").string();
    RenderSession session(options);
    FrameLoop loop(session, options);

    const std::vector<ContactShot> shots = contactSheetShots();
    ASSERT_EQ(shots.size(), 39U);
    Exposure worst;
    for (std::size_t index = 0; index < shots.size(); ++index) {
        const int frame = static_cast<int>(index);
        placeCamera(session.scene(), shots[index].placement, loop.frameTime(frame));
        loop.draw(frame);
        const Exposure e = measure(loop.capture());
        worst.white = std::max(worst.white, e.white);
        worst.dark = std::max(worst.dark, e.dark);
        std::printf("%-24s white %5.1f %%  dark %5.1f %%\n", shots[index].label.c_str(),
                    100.0 * e.white, 100.0 * e.dark);
        EXPECT_LE(e.white, 0.03) << shots[index].label;
        EXPECT_LE(e.dark, 0.10) << shots[index].label;
    }
    std::printf("worst: white %.1f %%, dark %.1f %%\n", 100.0 * worst.white, 100.0 * worst.dark);
}

} // namespace
} // namespace kadrel_render
