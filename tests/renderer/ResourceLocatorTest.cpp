#include "renderer/loaders/ResourceLocator.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

#include "tests/renderer/LoaderTestFiles.h"

namespace renderer {
namespace {

using loadertest::failure;
TEST(ResourceLocatorTest, ReadsNamesRelativeToTheirDirectoryAndNamesWhatIsMissing) {
    loadertest::TempResources resources;
    resources.write("kadrel/models/room1-strides.bin", {1, 2, 3});
    resources.write("top.bin", {9});
    resources.write("kadrel/textures/room21.astc", {7, 7});
    resources.write("kadrel/models/placeholder", {});
    std::filesystem::create_directories(resources.root() / "kadrel/models/folder-strides.bin");
    const ResourceLocator locator = resources.locator();

    EXPECT_EQ(locator.read("models/room1-strides.bin", "kadrel").value(), (Bytes{1, 2, 3}));
    EXPECT_EQ(locator.read("top.bin", "").value(), Bytes{9});
    // An empty file is no error: it gives no bytes.
    EXPECT_TRUE(locator.read("models/placeholder", "kadrel").value().empty());
    // With a type the file carries it as extension; the name asked for is what messages say.
    EXPECT_EQ(locator.read("room21", "kadrel/textures", "astc").value().size(), 2U);
    EXPECT_EQ(failure(locator.read("room21", "kadrel/textures")),
              "File not found in bundle: room21");
    EXPECT_EQ(failure(locator.read("models/room2-strides.bin", "kadrel")),
              "File not found in bundle: models/room2-strides.bin");
    // Something is there but cannot be read as a file.
    EXPECT_EQ(failure(locator.read("models/folder-strides.bin", "kadrel")),
              "Cannot read resource models/folder-strides.bin: it is a folder");
    ASSERT_EQ(mkfifo((resources.root() / "pipe.bin").c_str(), 0600), 0);
    EXPECT_EQ(failure(locator.read("pipe.bin", "")),
              "Cannot read resource pipe.bin: it is not a plain file");
    // Directories join without empty parts.
    EXPECT_EQ(joinResourcePath("kadrel/", "textures"), "kadrel/textures");
    EXPECT_EQ(joinResourcePath("", "textures"), "textures");
    EXPECT_EQ(joinResourcePath("kadrel", ""), "kadrel");
}

// A file larger than the caller allows is refused by its size, before anything is read; one
// too large for memory names itself instead of ending the program.
TEST(ResourceLocatorTest, RefusesFilesOverTheLimitAndSurvivesFilesOverMemory) {
    loadertest::TempResources resources;
    resources.write("models/room1-strides.bin", Bytes(24));
    const ResourceLocator locator = resources.locator();
    EXPECT_EQ(locator.read("models/room1-strides.bin", "", {}, {24, "a test file"}).value().size(),
              24U);
    EXPECT_EQ(failure(locator.read("models/room1-strides.bin", "", {}, {23, "a test file"})),
              "Cannot read resource models/room1-strides.bin: 24 bytes are more than the 23 a "
              "test file can hold");

#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer ends the program on an allocation it cannot make";
#endif
    // 8 TiB of holes: more than memory and swap hold, so the buffer cannot be had, unless
    // the system promises any amount of memory (and the read would then go on for hours).
    std::ifstream overcommit("/proc/sys/vm/overcommit_memory");
    int mode = 0;
    if (!(overcommit >> mode) || mode == 1) {
        GTEST_SKIP() << "this system grants any allocation";
    }
    std::error_code error;
    std::filesystem::resize_file(resources.root() / "models/room1-strides.bin", 1ULL << 43, error);
    if (error) {
        GTEST_SKIP() << "no sparse file of 8 TiB here: " << error.message();
    }
    EXPECT_EQ(failure(locator.read("models/room1-strides.bin", "")),
              "Cannot read resource models/room1-strides.bin: not enough memory for its "
              "8796093022208 bytes");
}

TEST(ResourceLocatorTest, NeverLeavesTheRoot) {
    loadertest::TempResources resources;
    resources.write("inside/secret.bin", {1});
    const ResourceLocator locator(resources.root() / "inside" / "res");
    std::filesystem::create_directories(locator.root());

    // The file exists, but only outside the root.
    for (const auto& [name, directory] : std::vector<std::pair<std::string, std::string>>{
             {"../secret.bin", ""},
             {"secret.bin", ".."},
             {"a/../../secret.bin", ""},
             {(resources.root() / "inside/secret.bin").string(), ""},
             {"secret.bin", (resources.root() / "inside").string()},
         }) {
        EXPECT_EQ(failure(locator.read(name, directory)), "File not found in bundle: " + name)
            << name << " in " << directory;
    }
}

TEST(ResourceLocatorTest, DefaultRootIsBesideTheProgramUnlessOverridden) {
    const char* saved = std::getenv("KADREL_RESOURCES");
    const std::string previous = saved != nullptr ? saved : "";
    setenv("KADREL_RESOURCES", "/opt/elsewhere/resources", 1);
    EXPECT_EQ(ResourceLocator::defaultRoot(), std::filesystem::path("/opt/elsewhere/resources"));
    unsetenv("KADREL_RESOURCES");
    const std::filesystem::path programFolder =
        std::filesystem::read_symlink("/proc/self/exe").parent_path();
    const std::filesystem::path found = ResourceLocator::defaultRoot();
    EXPECT_TRUE(found == programFolder / "resources" ||
                found == programFolder.parent_path() / "share/kadrel/resources")
        << found;
    if (saved != nullptr) {
        setenv("KADREL_RESOURCES", previous.c_str(), 1);
    }
}

} // namespace
} // namespace renderer
