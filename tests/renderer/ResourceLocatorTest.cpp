#include "renderer/loaders/ResourceLocator.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/renderer/LoaderTestFiles.h"

namespace renderer {
namespace {

using loadertest::TempResources;

TEST(ResourceLocatorTest, ReadsNamesRelativeToTheirDirectory) {
    TempResources resources;
    resources.write("kadrel/models/room1-strides.bin", {1, 2, 3});
    resources.write("top.bin", {9});
    resources.write("kadrel/textures/room21.astc", {7, 7});
    const ResourceLocator locator = resources.locator();

    Result<Bytes> nested = locator.read("models/room1-strides.bin", "kadrel");
    ASSERT_TRUE(nested.ok()) << nested.error().message;
    EXPECT_EQ(nested.value(), (Bytes{1, 2, 3}));

    Result<Bytes> top = locator.read("top.bin", "");
    ASSERT_TRUE(top.ok());
    EXPECT_EQ(top.value(), Bytes{9});

    // With a type the file carries it as extension; the name asked for is what messages say.
    Result<Bytes> typed = locator.read("room21", "kadrel/textures", "astc");
    ASSERT_TRUE(typed.ok());
    EXPECT_EQ(typed.value().size(), 2U);
    Result<Bytes> untyped = locator.read("room21", "kadrel/textures");
    ASSERT_FALSE(untyped.ok());
    EXPECT_EQ(untyped.error().message, "File not found in bundle: room21");
}

TEST(ResourceLocatorTest, ReportsMissingAndUnreadableFiles) {
    TempResources resources;
    resources.write("kadrel/models/placeholder", {});
    std::filesystem::create_directories(resources.root() / "kadrel/models/folder-strides.bin");
    const ResourceLocator locator = resources.locator();

    Result<Bytes> missing = locator.read("models/room1-strides.bin", "kadrel");
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().message, "File not found in bundle: models/room1-strides.bin");

    // Something is there but cannot be read as a file.
    Result<Bytes> unreadable = locator.read("models/folder-strides.bin", "kadrel");
    ASSERT_FALSE(unreadable.ok());
    EXPECT_EQ(unreadable.error().message, "Cannot read resource models/folder-strides.bin");

    // An empty file is no error: it gives no bytes.
    Result<Bytes> empty = locator.read("models/placeholder", "kadrel");
    ASSERT_TRUE(empty.ok());
    EXPECT_TRUE(empty.value().empty());
}

TEST(ResourceLocatorTest, NeverLeavesTheRoot) {
    TempResources resources;
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
        Result<Bytes> escaped = locator.read(name, directory);
        ASSERT_FALSE(escaped.ok()) << name << " in " << directory;
        EXPECT_EQ(escaped.error().message, "File not found in bundle: " + name);
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
    EXPECT_EQ(found.filename(), "resources");
    EXPECT_TRUE(found.parent_path() == programFolder ||
                found == programFolder.parent_path() / "share/kadrel/resources")
        << found;
    if (saved != nullptr) {
        setenv("KADREL_RESOURCES", previous.c_str(), 1);
    }
}

TEST(ResourceLocatorTest, JoinsResourcePathsWithoutEmptyParts) {
    EXPECT_EQ(joinResourcePath("kadrel", "textures"), "kadrel/textures");
    EXPECT_EQ(joinResourcePath("", "textures"), "textures");
    EXPECT_EQ(joinResourcePath("kadrel/", "textures"), "kadrel/textures");
    EXPECT_EQ(joinResourcePath("kadrel", ""), "kadrel");
}

} // namespace
} // namespace renderer
