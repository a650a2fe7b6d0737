// Command-line parsing of kadrel-render: what good input turns into, and that bad input is
// refused with a message naming the problem.

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "tools/kadrel-render/FramePath.h"
#include "tools/kadrel-render/RenderOptions.h"

namespace kadrel_render {
namespace {

// Parses the words of `line` (split at spaces) as the program's arguments.
ParseResult parse(std::string_view line) {
    std::vector<std::string_view> words;
    for (std::size_t start = 0; start < line.size();) {
        const std::size_t end = std::min(line.find(' ', start), line.size());
        words.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return parseOptions(words);
}

TEST(RenderOptionsTest, EveryOptionIsReadInBothSpellings) {
    const ParseResult result =
        parse("--size 640x360 --time=1500.5 --frames 3 --fps=60 --out dir/f-%04d.png "
              "--resources=/tmp/res --room 1 --path=3 --progress 0.25 --reverse --no-vignette "
              "--camera-period=2.5 --low-quality --blurred --sepia --astc-decode --seed 42");
    ASSERT_TRUE(result.options) << result.error;
    const RenderOptions& o = *result.options;
    EXPECT_EQ(std::tuple(o.width, o.height, o.timeMs, o.frames, o.fps),
              std::tuple(640, 360, 1500.5, 3, 60.0));
    EXPECT_EQ(std::tuple(o.out, o.resources, o.cameraPeriod, o.seed),
              std::tuple("dir/f-%04d.png", "/tmp/res", 2.5F, 42U));
    ASSERT_TRUE(o.placement);
    EXPECT_EQ(std::tuple(o.placement->room, o.placement->path, o.placement->progress,
                         o.placement->reverse),
              std::tuple(1, 3, 0.25, true));
    EXPECT_TRUE(!o.vignette && o.lowQuality && o.blurred && o.sepia && o.astcDecode);
}

TEST(RenderOptionsTest, DefaultsDependOnTheMode) {
    const RenderOptions one = parse("").options.value();
    EXPECT_EQ(one.mode, RenderOptions::Mode::Frames);
    EXPECT_EQ(std::pair(one.width, one.height), std::pair(1920, 1080));
    EXPECT_EQ(one.out, "kadrel.png");
    EXPECT_FALSE(one.placement);
    EXPECT_EQ(parse("--frames 10").options.value().out, "kadrel-%04d.png");

    // Any camera option alone places the camera at the scene's start for the others: room 2,
    // path 0, forwards. The path is checked against the room even when the room comes later.
    const std::optional<CameraPlacement> placed = parse("--progress 1").options.value().placement;
    ASSERT_TRUE(placed);
    EXPECT_EQ(std::tuple(placed->room, placed->path, placed->reverse), std::tuple(2, 0, false));
    EXPECT_TRUE(parse("--path 8 --room 2").options);

    const RenderOptions sheet = parse("--contact-sheet").options.value();
    EXPECT_EQ(std::tuple(sheet.mode, sheet.out),
              std::tuple(RenderOptions::Mode::ContactSheet, "contact-sheet.png"));
    EXPECT_LT(sheet.width, 1920); // a cell, not a screen
    EXPECT_EQ(parse("--contact-sheet --size 100x50").options.value().width, 100);
    const RenderOptions bench = parse("--bench --size=640x360").options.value();
    EXPECT_EQ(bench.mode, RenderOptions::Mode::Bench);
    EXPECT_GT(bench.frames, 1);
    // Help wins over whatever else is on the line.
    EXPECT_EQ(parse("--bench -h --contact-sheet").options.value().mode, RenderOptions::Mode::Help);
}

TEST(RenderOptionsTest, BadInputIsRefusedWithAMessageNamingIt) {
    const std::vector<std::pair<std::string_view, std::string_view>> cases{
        {"--size 0x10", "--size wants WIDTHxHEIGHT, each from 1 to 16384, not '0x10'"},
        {"--size 640", "not '640'"},
        {"--time -1", "--time wants a number from 0 to"},
        {"--time 5s", "not '5s'"},
        {"--time nan", "not 'nan'"},
        {"--frames 0", "--frames wants a whole number from 1 to 100000, not '0'"},
        {"--fps 241", "--fps wants a number from 1 to 240, not '241'"},
        {"--room 3", "--room wants a whole number from 1 to 2, not '3'"},
        {"--room 1 --path 4", "--path wants 0 to 3 in room 1, not 4"},
        {"--path -1", "--path wants a whole number from 0 to 8, not '-1'"},
        {"--progress 1.5", "--progress wants a number from 0 to 1, not '1.5'"},
        {"--camera-period 0", "--camera-period wants a number from 0.1 to 10, not '0'"},
        {"--seed -3", "not '-3'"},
        {"--out frame%s.png", "--out wants a file name with at most one %d"},
        {"--frames 3 --out still.png", "--frames 3 needs --out with a %d"},
        {"--contact-sheet --room 1", "--contact-sheet shows every path itself"},
        {"--contact-sheet --frames 2", "--contact-sheet makes one picture"},
        {"--contact-sheet --bench", "cannot be combined"},
        {"--resources", "--resources needs a value"},
        {"--resources=", "--resources wants a folder"},
        {"--sepia=yes", "--sepia takes no value"},
        {"--vignette", "unknown option '--vignette'"},
        {"--vignette=off", "unknown option '--vignette'"},
        {"frame.png", "unexpected argument 'frame.png'"},
    };
    for (const auto& [line, message] : cases) {
        const ParseResult result = parse(line);
        EXPECT_FALSE(result.options) << line;
        EXPECT_NE(result.error.find(message), std::string::npos)
            << "got: " << result.error << "\nwanted: " << message;
    }
}

// The blurred passes keep their short side (200 pixels at most) and stretch the long one by
// the frame's aspect; a frame that would make it longer than 16384 is refused up front, not by
// the renderer on the first frame.
TEST(RenderOptionsTest, SizesWhoseBlurredImagesWouldBeTooLargeAreRefused) {
    for (const char* fits : {"--size 81x1", "--size 1x81", "--size 16384x200", "--size 16384x16384",
                             "--contact-sheet --size 200x16384"}) {
        EXPECT_TRUE(parse(fits).options) << fits << ": " << parse(fits).error;
    }
    EXPECT_EQ(parse("--size 16384x199").error,
              "--size '16384x199' is too wide for the blurred passes, whose images would be "
              "16466x200 (at most 16384 a side)");
    EXPECT_EQ(parse("--size 1x82").error,
              "--size '1x82' is too tall for the blurred passes, whose images would be "
              "200x16400 (at most 16384 a side)");
    EXPECT_FALSE(parse("--contact-sheet --size 16384x1").options);
}

TEST(RenderOptionsTest, FramePatternsNumberFramesAndRefuseStrayPercents) {
    EXPECT_EQ(FramePath::format("f-%04d.png", 7), "f-0007.png");
    EXPECT_EQ(FramePath::format("f-%04d.png", 123456), "f-123456.png");
    EXPECT_EQ(FramePath::format("100%%-%d.png", 3), "100%-3.png");
    for (const char* bad : {"a%", "a%5d", "a%0d", "a%04x", "%d%d", ""}) {
        EXPECT_EQ(FramePath::classify(bad), FramePath::Kind::Invalid) << bad;
        EXPECT_FALSE(FramePath::format(bad, 0)) << bad;
    }
}

} // namespace
} // namespace kadrel_render
