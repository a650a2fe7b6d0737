// kadrel-render as a program: exit statuses, the renderer's messages for missing resources,
// the files it writes and what they show, and the resources folder it finds beside itself.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "renderer/headless/EglContext.h"
#include "renderer/pipeline/Anisotropy.h"
#include "tests/support/PngRead.h"
#include "tests/tools/TinyWallpaper.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A PNG file's pixels, or an empty image if it is none.
std::pair<int, int> pngSize(const fs::path& path) {
    const renderer::Image image = testsupport::readPng(path);
    return {image.width, image.height};
}

// Mean of red, green and blue over a region.
double brightness(const renderer::Image& image, rendertest::Region region) {
    return (rendertest::mean(image, 0, region) + rendertest::mean(image, 1, region) +
            rendertest::mean(image, 2, region)) /
           3.0;
}

class KadrelRenderProgramTest : public testing::Test {
  protected:
    void SetUp() override { fs::create_directories(work); }

    // Runs the program in `work` with the arguments (plain words: the folders made by the
    // tests need no quoting), capturing its output and exit status.
    Outcome run(const std::string& arguments,
                const std::string& program = KADREL_RENDER_PROGRAM) const {
        const std::string command = "cd " + work.string() + " && " + program + " " + arguments;
        const int raw = std::system((command + " >stdout.txt 2>stderr.txt").c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(work / "stdout.txt"),
                readFile(work / "stderr.txt")};
    }

    tooltest::TinyWallpaper wallpaper;
    // The runs write here, inside the temporary folder but beside the resources.
    fs::path work = wallpaper.root() / "work";
};

TEST_F(KadrelRenderProgramTest, MissingResourcesStopItWithTheRenderersMessage) {
    const Outcome noFolder = run("--resources " + (work / "nowhere").string() + " --out a.png");
    EXPECT_EQ(noFolder.status, 1);
    EXPECT_NE(noFolder.err.find("Cannot find the resources folder " + (work / "nowhere").string()),
              std::string::npos)
        << noFolder.err;

    wallpaper.remove("kadrel/textures/room1_5.astc");
    const Outcome noTexture = run("--resources " + wallpaper.root().string() + " --out a.png");
    EXPECT_EQ(noTexture.status, 1);
    EXPECT_NE(noTexture.err.find("Cannot load texture room1"), std::string::npos) << noTexture.err;
    EXPECT_FALSE(fs::exists(work / "a.png"));
}

TEST_F(KadrelRenderProgramTest, BadOptionsPrintTheProblemAndTheUsageAndExitWithTwo) {
    const Outcome bad = run("--room 7");
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("kadrel-render: --room wants"), std::string::npos) << bad.err;
    EXPECT_NE(bad.err.find("Usage: kadrel-render"), std::string::npos);

    const Outcome help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--camera-period"), std::string::npos);
    EXPECT_TRUE(help.err.empty());
}

TEST_F(KadrelRenderProgramTest, WritesNumberedFramesAndAContactSheet) {
    const std::string resources = "--resources " + wallpaper.root().string();
    const Outcome frames = run(resources + " --size 64x36 --frames 2 --out seq/f-%02d.png");
    ASSERT_EQ(frames.status, 0) << frames.err;
    EXPECT_NE(frames.out.find("Wrote seq/f-01.png"), std::string::npos) << frames.out;
    EXPECT_EQ(pngSize(work / "seq" / "f-00.png"), std::make_pair(64, 36));
    EXPECT_EQ(pngSize(work / "seq" / "f-01.png"), std::make_pair(64, 36));

    const Outcome sheet = run(resources + " --contact-sheet --size 32x18 --out sheet.png");
    ASSERT_EQ(sheet.status, 0) << sheet.err;
    // 3 columns of points by 13 paths, 4-pixel gaps around every cell.
    EXPECT_EQ(pngSize(work / "sheet.png"), std::make_pair(3 * 32 + 4 * 4, 13 * 18 + 14 * 4));
}

TEST_F(KadrelRenderProgramTest, FramesShowThePlacedRoomWithTheVignetteDarkeningTheRim) {
    const std::string common = "--resources " + wallpaper.root().string() + " --size 96x54";
    ASSERT_EQ(run(common + " --room 1 --progress 0.5 --out room1.png").status, 0);
    ASSERT_EQ(run(common + " --room 2 --progress 0.5 --out room2.png").status, 0);
    ASSERT_EQ(run(common + " --room 1 --progress 0.5 --no-vignette --out plain.png").status, 0);
    const renderer::Image room1 = testsupport::readPng(work / "room1.png");
    const renderer::Image room2 = testsupport::readPng(work / "room2.png");
    const renderer::Image plain = testsupport::readPng(work / "plain.png");
    ASSERT_EQ(pngSize(work / "room1.png"), std::make_pair(96, 54));

    // Not blank, and the white clear colour shows nowhere since the box surrounds the camera.
    EXPECT_GT(rendertest::variation(room1, 0), 1000.0);
    EXPECT_LT(brightness(room1, {0, 0, 96, 54}), 200.0);
    EXPECT_GT(brightness(room1, {0, 0, 96, 54}), 10.0);
    // Room 1's walls are red, room 2's blue.
    EXPECT_GT(rendertest::mean(room1, 0), rendertest::mean(room1, 2) + 20.0);
    EXPECT_GT(rendertest::mean(room2, 2), rendertest::mean(room2, 0) + 20.0);
    // The vignette multiplies by 0.4 at the rim and by 1 in the middle (its default colours).
    const rendertest::Region corner{0, 0, 12, 6};
    const rendertest::Region centre{44, 23, 52, 31};
    EXPECT_LT(brightness(room1, corner), 0.7 * brightness(plain, corner));
    EXPECT_NEAR(brightness(room1, centre), brightness(plain, centre), 12.0);
}

// The shipped rooms, seen where anisotropic filtering on a software rasteriser took minutes
// for one frame: the frame is written, and a software rasteriser is told so.
TEST_F(KadrelRenderProgramTest, TheShippedRoomsRenderTheViewThatOnceStalled) {
    const fs::path shipped = fs::path(KADREL_SOURCE_DIR) / "resources";
    const Outcome frame =
        run("--resources " + shipped.string() + " --size 320x180 --time 23700 --out frame.png");
    ASSERT_EQ(frame.status, 0) << frame.err;
    EXPECT_EQ(pngSize(work / "frame.png"), std::make_pair(320, 180));

    renderer::EglContext context;
    const std::string name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const std::string line = "Anisotropic filtering is off: " + name + " rasterises in software\n";
    EXPECT_EQ(frame.out.find(line) != std::string::npos, renderer::isSoftwareRasterizer(name))
        << frame.out;
}

// Room 1 is shown only after the first cut, minutes in; its broken model must stop the
// start, not that frame.
TEST_F(KadrelRenderProgramTest, AModelCutShortStopsTheStartWithItsFileNamed) {
    const fs::path shipped = fs::path(KADREL_SOURCE_DIR) / "resources";
    const fs::path copy = wallpaper.root() / "shipped";
    fs::create_directories(copy / "kadrel");
    for (const char* folder : {"shaders", "models", "kadrel/textures"}) {
        fs::create_directory_symlink(shipped / folder, copy / folder);
    }
    fs::copy(shipped / "kadrel" / "models", copy / "kadrel" / "models");
    fs::resize_file(copy / "kadrel/models/room1-strides.bin", 100 * 12);

    const Outcome cut = run("--resources " + copy.string() + " --size 64x36 --out a.png");
    EXPECT_EQ(cut.status, 1);
    EXPECT_NE(cut.err.find("Cannot create model buffers: Model file "
                           "kadrel/models/room1-indices.bin has index "),
              std::string::npos)
        << cut.err;
    EXPECT_NE(cut.err.find("past the 100 vertices of kadrel/models/room1-strides.bin\n"),
              std::string::npos)
        << cut.err;
    EXPECT_FALSE(fs::exists(work / "a.png"));
}

TEST_F(KadrelRenderProgramTest, FindsTheResourcesBesideItselfWithNoOptions) {
    // A copy of the program with the wallpaper beside it, the way a build or an installation
    // lays them out; $KADREL_RESOURCES must not be what finds them.
    const fs::path bin = wallpaper.root() / "bin";
    fs::create_directories(bin / "resources");
    fs::copy_file(KADREL_RENDER_PROGRAM, bin / "kadrel-render");
    for (const char* folder : {"kadrel", "shaders", "models"}) {
        fs::rename(wallpaper.root() / folder, bin / "resources" / folder);
    }
    const Outcome plain =
        run("--size 48x27", "env -u KADREL_RESOURCES " + (bin / "kadrel-render").string());
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(pngSize(work / "kadrel.png"), std::make_pair(48, 27));
}

} // namespace
