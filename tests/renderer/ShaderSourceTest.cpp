// The shader library's files: what is missing is told apart from what cannot be read.

#include "renderer/shaders/ShaderSource.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/renderer/LoaderTestFiles.h"

namespace renderer {
namespace {

using loadertest::failure;

Bytes text(const std::string& value) {
    return Bytes(value.begin(), value.end());
}

TEST(ShaderSourceTest, MissingAndUnreadableFilesHaveMessagesOfTheirOwn) {
    loadertest::TempResources resources;
    const ResourceLocator locator = resources.locator();
    const std::string folder = (resources.root() / "shaders").string();
    EXPECT_EQ(failure(readShaderFunction(locator, "vertexShaderColor")),
              "Cannot find the shader folder " + folder);
    EXPECT_EQ(failure(readSharedInclude(locator)), "Cannot find the shader folder " + folder);

    resources.write("shaders", text("not a folder"));
    EXPECT_EQ(failure(readShaderFunction(locator, "vertexShaderColor")),
              "Cannot read the shader folder " + folder + ": it is not a folder");
    std::filesystem::remove(resources.root() / "shaders");

    resources.write("shaders/vertexShaderColor.glsl", text("#version 330 core\n"));
    std::filesystem::create_directories(resources.root() / "shaders/fragmentShaderColor.glsl");
    EXPECT_EQ(readShaderFunction(locator, "vertexShaderColor").value(), "#version 330 core\n");
    EXPECT_EQ(failure(readShaderFunction(locator, "fragmentShaderColor")),
              "Cannot read shader function fragmentShaderColor: it is a folder");
    EXPECT_EQ(failure(readShaderFunction(locator, "vertexShaderWater")),
              "Cannot find shader function vertexShaderWater");
    // A name that would leave the folder finds nothing.
    EXPECT_EQ(failure(readShaderFunction(locator, "../shaders/vertexShaderColor")),
              "Cannot find shader function ../shaders/vertexShaderColor");

    EXPECT_EQ(failure(readSharedInclude(locator)),
              "Cannot find the shared shader include shaders/Common.glsl");
    std::filesystem::create_directories(resources.root() / "shaders/Common.glsl");
    EXPECT_EQ(failure(readSharedInclude(locator)),
              "Cannot read the shared shader include shaders/Common.glsl: it is a folder");
    std::filesystem::remove(resources.root() / "shaders/Common.glsl");
    resources.write("shaders/Common.glsl", text("float helper();"));
    EXPECT_EQ(readSharedInclude(locator).value(), "float helper();");
}

TEST(ShaderSourceTest, HelpersGoAfterTheVersionLineAndLinesKeepTheirNumbers) {
    EXPECT_EQ(withCommon("#version 330 core\nvoid main() {}\n", "float h();"),
              "#version 330 core\nfloat h();\n#line 2\nvoid main() {}\n");
    // No #version line to put them after, or nothing to put: the source as it is.
    EXPECT_EQ(withCommon("void main() {}\n", "float h();"), "void main() {}\n");
    EXPECT_EQ(withCommon("#version 330 core", "float h();"), "#version 330 core");
    EXPECT_EQ(withCommon("#version 330 core\n", ""), "#version 330 core\n");
}

} // namespace
} // namespace renderer
