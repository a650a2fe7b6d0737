// kadrel-render as a program: exit statuses, the renderer's messages for missing resources,
// the files it writes, and the resources folder it finds beside itself.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

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

std::string quoted(const std::string& text) {
    std::string q = "'";
    for (const char c : text) {
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return q + "'";
}

// Runs the program in `folder` with the arguments, capturing its output and exit status.
Outcome run(const fs::path& folder, const std::vector<std::string>& arguments,
            const std::string& program = KADREL_RENDER_PROGRAM,
            const std::string& environment = "") {
    std::string command =
        "cd " + quoted(folder.string()) + " && " + environment + " " + quoted(program);
    for (const std::string& argument : arguments) {
        command += " " + quoted(argument);
    }
    command += " >stdout.txt 2>stderr.txt";
    Outcome result;
    const int raw = std::system(command.c_str());
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = readFile(folder / "stdout.txt");
    result.err = readFile(folder / "stderr.txt");
    return result;
}

// Width and height from a PNG file's header, or (0, 0) if it is not a PNG.
std::pair<int, int> pngSize(const fs::path& path) {
    const std::string bytes = readFile(path);
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 ||
        bytes.compare(12, 4, "IHDR") != 0) {
        return {0, 0};
    }
    auto be32 = [&](std::size_t at) {
        int value = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            value = value * 256 + static_cast<unsigned char>(bytes[at + k]);
        }
        return value;
    };
    return {be32(16), be32(20)};
}

class KadrelRenderProgramTest : public testing::Test {
  protected:
    tooltest::TinyWallpaper wallpaper;
    // The runs write here, inside the temporary folder but beside the resources.
    fs::path work = wallpaper.root() / "work";

    void SetUp() override { fs::create_directories(work); }
};

TEST_F(KadrelRenderProgramTest, MissingResourcesStopItWithTheRenderersMessage) {
    const Outcome noFolder =
        run(work, {"--resources", (work / "nowhere").string(), "--out", "a.png"});
    EXPECT_EQ(noFolder.status, 1);
    EXPECT_NE(noFolder.err.find("Cannot find shader function vertexShaderDiffuse"),
              std::string::npos)
        << noFolder.err;
    EXPECT_FALSE(fs::exists(work / "a.png"));

    wallpaper.remove("kadrel/models/room2-optimized1-indices.bin");
    const Outcome noModel = run(work, {"--resources", wallpaper.root().string(), "--out", "a.png"});
    EXPECT_EQ(noModel.status, 1);
    EXPECT_NE(noModel.err.find("Cannot create model buffers: room2-optimized1"), std::string::npos)
        << noModel.err;

    tooltest::TinyWallpaper other;
    other.remove("kadrel/textures/room1_5.astc");
    const Outcome noTexture = run(work, {"--resources", other.root().string(), "--out", "a.png"});
    EXPECT_EQ(noTexture.status, 1);
    EXPECT_NE(noTexture.err.find("Cannot load texture room1"), std::string::npos) << noTexture.err;
    EXPECT_FALSE(fs::exists(work / "a.png"));
}

TEST_F(KadrelRenderProgramTest, BadOptionsPrintTheProblemAndTheUsageAndExitWithTwo) {
    const Outcome bad = run(work, {"--room", "7"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("kadrel-render: --room wants"), std::string::npos) << bad.err;
    EXPECT_NE(bad.err.find("Usage: kadrel-render"), std::string::npos);

    const Outcome help = run(work, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--camera-period"), std::string::npos);
    EXPECT_TRUE(help.err.empty());
}

TEST_F(KadrelRenderProgramTest, WritesNumberedFramesAndAContactSheet) {
    const Outcome frames = run(work, {"--resources", wallpaper.root().string(), "--size", "64x36",
                                      "--frames", "2", "--out", "seq/f-%02d.png"});
    ASSERT_EQ(frames.status, 0) << frames.err;
    EXPECT_NE(frames.out.find("Set scene size: 64x36"), std::string::npos) << frames.out;
    EXPECT_NE(frames.out.find("Wrote seq/f-01.png"), std::string::npos) << frames.out;
    EXPECT_EQ(pngSize(work / "seq" / "f-00.png"), std::make_pair(64, 36));
    EXPECT_EQ(pngSize(work / "seq" / "f-01.png"), std::make_pair(64, 36));

    const Outcome sheet = run(work, {"--resources", wallpaper.root().string(), "--contact-sheet",
                                     "--size", "32x18", "--out", "sheet.png"});
    ASSERT_EQ(sheet.status, 0) << sheet.err;
    // 3 columns of points by 13 paths, 4-pixel gaps around every cell.
    EXPECT_EQ(pngSize(work / "sheet.png"), std::make_pair(3 * 32 + 4 * 4, 13 * 18 + 14 * 4));
}

TEST_F(KadrelRenderProgramTest, FindsTheResourcesBesideItselfWithNoOptions) {
    // A copy of the program with the wallpaper beside it, the way a build or an installation
    // lays them out; $KADREL_RESOURCES must not be what finds them.
    const fs::path bin = wallpaper.root() / "bin";
    fs::create_directories(bin);
    fs::copy_file(KADREL_RENDER_PROGRAM, bin / "kadrel-render");
    fs::create_directories(bin / "resources");
    for (const char* folder : {"kadrel", "shaders", "models"}) {
        fs::rename(wallpaper.root() / folder, bin / "resources" / folder);
    }

    const Outcome plain =
        run(work, {"--size", "48x27"}, (bin / "kadrel-render").string(), "env -u KADREL_RESOURCES");
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(pngSize(work / "kadrel.png"), std::make_pair(48, 27));
}

} // namespace
