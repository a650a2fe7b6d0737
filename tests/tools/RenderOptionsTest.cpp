// Command-line parsing of kadrel-render: what good input turns into, and that bad input is
// refused with a message naming the problem.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string_view>
#include <vector>

#include "tools/kadrel-render/FramePath.h"
#include "tools/kadrel-render/RenderOptions.h"

namespace kadrel_render {
namespace {

ParseResult parse(std::initializer_list<std::string_view> arguments) {
    const std::vector<std::string_view> list(arguments);
    return parseOptions(list);
}

TEST(RenderOptionsTest, NoOptionsRenderOneFullHdFrameAFewSecondsIn) {
    const ParseResult result = parse({});
    ASSERT_TRUE(result.options) << result.error;
    const RenderOptions& o = *result.options;
    EXPECT_EQ(o.mode, RenderOptions::Mode::Frames);
    EXPECT_EQ(o.width, 1920);
    EXPECT_EQ(o.height, 1080);
    EXPECT_GT(o.timeMs, 0.0);
    EXPECT_EQ(o.frames, 1);
    EXPECT_EQ(o.out, "kadrel.png");
    EXPECT_TRUE(o.resources.empty());
    EXPECT_FALSE(o.placement);
    EXPECT_TRUE(o.vignette);
    EXPECT_EQ(o.cameraPeriod, 1.0F);
    EXPECT_FALSE(o.lowQuality || o.blurred || o.sepia || o.astcDecode);
}

TEST(RenderOptionsTest, EveryOptionIsReadInBothSpellings) {
    const ParseResult result = parse({"--size",
                                      "640x360",
                                      "--time=1500.5",
                                      "--frames",
                                      "3",
                                      "--fps=60",
                                      "--out",
                                      "dir/f-%04d.png",
                                      "--resources=/tmp/res",
                                      "--room",
                                      "1",
                                      "--path=3",
                                      "--progress",
                                      "0.25",
                                      "--reverse",
                                      "--no-vignette",
                                      "--camera-period=2.5",
                                      "--low-quality",
                                      "--blurred",
                                      "--sepia",
                                      "--astc-decode",
                                      "--seed",
                                      "42"});
    ASSERT_TRUE(result.options) << result.error;
    const RenderOptions& o = *result.options;
    EXPECT_EQ(o.width, 640);
    EXPECT_EQ(o.height, 360);
    EXPECT_EQ(o.timeMs, 1500.5);
    EXPECT_EQ(o.frames, 3);
    EXPECT_EQ(o.fps, 60.0);
    EXPECT_EQ(o.out, "dir/f-%04d.png");
    EXPECT_EQ(o.resources, "/tmp/res");
    ASSERT_TRUE(o.placement);
    EXPECT_EQ(o.placement->room, 1);
    EXPECT_EQ(o.placement->path, 3);
    EXPECT_EQ(o.placement->progress, 0.25);
    EXPECT_TRUE(o.placement->reverse);
    EXPECT_FALSE(o.vignette);
    EXPECT_EQ(o.cameraPeriod, 2.5F);
    EXPECT_TRUE(o.lowQuality && o.blurred && o.sepia && o.astcDecode);
    EXPECT_EQ(o.seed, 42U);

    // Any camera option alone places the camera; the rest take the scene's start: room 2,
    // path 0, from the beginning, forwards. The path is checked against the room even when
    // the room comes later on the line.
    const ParseResult progressOnly = parse({"--progress", "1"});
    ASSERT_TRUE(progressOnly.options && progressOnly.options->placement);
    EXPECT_EQ(progressOnly.options->placement->room, 2);
    EXPECT_EQ(progressOnly.options->placement->path, 0);
    EXPECT_FALSE(progressOnly.options->placement->reverse);
    EXPECT_TRUE(parse({"--path", "8", "--room", "2"}).options);
}

TEST(RenderOptionsTest, ModesFillInTheirOwnDefaults) {
    const ParseResult sequence = parse({"--frames", "10"});
    ASSERT_TRUE(sequence.options);
    EXPECT_EQ(sequence.options->out, "kadrel-%04d.png");

    const ParseResult sheet = parse({"--contact-sheet"});
    ASSERT_TRUE(sheet.options);
    EXPECT_EQ(sheet.options->mode, RenderOptions::Mode::ContactSheet);
    EXPECT_EQ(sheet.options->out, "contact-sheet.png");
    EXPECT_LT(sheet.options->width, 1920); // a cell, not a screen
    const ParseResult sizedSheet = parse({"--contact-sheet", "--size", "100x50"});
    ASSERT_TRUE(sizedSheet.options);
    EXPECT_EQ(sizedSheet.options->width, 100);

    const ParseResult bench = parse({"--bench", "--size=640x360"});
    ASSERT_TRUE(bench.options);
    EXPECT_EQ(bench.options->mode, RenderOptions::Mode::Bench);
    EXPECT_GT(bench.options->frames, 1);
    EXPECT_FALSE(bench.options->outGiven);

    // Help wins over whatever else is on the line, even a mistake after it is not read.
    const ParseResult help = parse({"--bench", "-h"});
    ASSERT_TRUE(help.options);
    EXPECT_EQ(help.options->mode, RenderOptions::Mode::Help);
    EXPECT_NE(usage("kadrel-render").find("--contact-sheet"), std::string::npos);
}

TEST(RenderOptionsTest, BadInputIsRefusedWithAMessageNamingIt) {
    struct Case {
        std::vector<std::string_view> arguments;
        std::string_view message;
    };
    const std::vector<Case> cases{
        {{"--size", "0x10"}, "--size wants WIDTHxHEIGHT, each from 1 to 16384, not '0x10'"},
        {{"--size", "640"}, "not '640'"},
        {{"--size", "640x"}, "not '640x'"},
        {{"--size", "640x360x2"}, "not '640x360x2'"},
        {{"--size", "99999x10"}, "not '99999x10'"},
        {{"--time", "-1"}, "--time wants a number from 0 to"},
        {{"--time", "5s"}, "not '5s'"},
        {{"--time", "nan"}, "not 'nan'"},
        {{"--frames", "0"}, "--frames wants a whole number from 1 to 100000, not '0'"},
        {{"--frames", "2.5"}, "not '2.5'"},
        {{"--fps", "0"}, "--fps wants a number from 1 to 240, not '0'"},
        {{"--room", "3"}, "--room wants a whole number from 1 to 2, not '3'"},
        {{"--room", "1", "--path", "4"}, "--path wants 0 to 3 in room 1, not 4"},
        {{"--path", "-1"}, "--path wants a whole number from 0 to 8, not '-1'"},
        {{"--progress", "1.5"}, "--progress wants a number from 0 to 1, not '1.5'"},
        {{"--camera-period", "0"}, "--camera-period wants a number from 0.1 to 10, not '0'"},
        {{"--seed", "-3"}, "not '-3'"},
        {{"--out", "frame%s.png"}, "--out wants a file name with at most one %d"},
        {{"--out", "a%d-%d.png"}, "at most one %d"},
        {{"--out", ""}, "--out wants"},
        {{"--frames", "3", "--out", "still.png"}, "--frames 3 needs --out with a %d"},
        {{"--contact-sheet", "--room", "1"}, "--contact-sheet shows every path itself"},
        {{"--contact-sheet", "--frames", "2"}, "--contact-sheet makes one picture"},
        {{"--contact-sheet", "--bench"}, "cannot be combined"},
        {{"--resources"}, "--resources needs a value"},
        {{"--resources="}, "--resources wants a folder"},
        {{"--sepia=yes"}, "--sepia takes no value"},
        {{"--vignette"}, "unknown option '--vignette'"},
        {{"--vignette=off"}, "unknown option '--vignette'"},
        {{"frame.png"}, "unexpected argument 'frame.png'"},
    };
    for (const Case& c : cases) {
        const ParseResult result = parseOptions(c.arguments);
        EXPECT_FALSE(result.options) << c.message;
        EXPECT_NE(result.error.find(c.message), std::string::npos)
            << "got: " << result.error << "\nwanted: " << c.message;
    }
}

TEST(RenderOptionsTest, FramePatternsNumberFramesAndRefuseStrayPercents) {
    EXPECT_EQ(FramePath::format("f-%04d.png", 7), "f-0007.png");
    EXPECT_EQ(FramePath::format("f-%04d.png", 123456), "f-123456.png");
    EXPECT_EQ(FramePath::format("%d.png", 12), "12.png");
    EXPECT_EQ(FramePath::format("100%%-%d.png", 3), "100%-3.png");
    EXPECT_EQ(FramePath::classify("100%%.png"), FramePath::Kind::Plain);
    EXPECT_EQ(FramePath::format("100%%.png", 3), "100%.png");
    EXPECT_EQ(FramePath::classify("a%03d"), FramePath::Kind::Numbered);
    for (const char* bad : {"a%", "a%5d", "a%0d", "a%04x", "%d%d", ""}) {
        EXPECT_EQ(FramePath::classify(bad), FramePath::Kind::Invalid) << bad;
        EXPECT_FALSE(FramePath::format(bad, 0)) << bad;
    }
}

} // namespace
} // namespace kadrel_render
