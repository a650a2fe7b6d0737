#include <gtest/gtest.h>

#include "renderer/loaders/ModelData.h"
#include "renderer/loaders/ModelName.h"
#include "tests/renderer/LoaderTestFiles.h"

namespace renderer {
namespace {

using loadertest::TempResources;

Bytes indices(std::initializer_list<std::uint16_t> values) {
    Bytes bytes;
    for (const std::uint16_t value : values) {
        bytes.push_back(static_cast<std::uint8_t>(value));
        bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    return bytes;
}

TEST(ModelNameTest, SplitsIntoFileAndDirectory) {
    EXPECT_EQ(ModelName::split("room1"), (ModelName{"room1", "models"}));
    EXPECT_EQ(ModelName::split("models/vignette-round-vntao"),
              (ModelName{"vignette-round-vntao", "models"}));
    EXPECT_EQ(ModelName::split("Alpaca/Eating/animal"), (ModelName{"animal", "Alpaca/Eating"}));
    EXPECT_EQ(ModelName::split("./room1"), (ModelName{"room1", "models"}));
    // Percent escapes are URL syntax and decode into the file name.
    EXPECT_EQ(ModelName::split("a%41/b%20c"), (ModelName{"b c", "aA"}));
}

TEST(ModelNameTest, NameThatIsNoUrlFindsNothing) {
    for (const char* name : {"room 1", "", "bad%zz", "a\"b", "caf\xC3\xA9", "a#b#c"}) {
        EXPECT_EQ(ModelName::split(name), (ModelName{"", "models"})) << name;
    }
}

TEST(ModelDataTest, ReadsBothFilesOfAModel) {
    TempResources resources;
    resources.write("kadrel/models/room1-strides.bin", Bytes(24, 0xAB));
    resources.write("kadrel/models/room1-indices.bin", indices({0, 1, 1}));
    resources.write("models/vignette-round-vntao-strides.bin", Bytes(16, 1));
    resources.write("models/vignette-round-vntao-indices.bin", {});

    Result<ModelData> room =
        readModelData(resources.locator(), ModelName::split("room1"), "kadrel");
    ASSERT_TRUE(room.ok()) << room.error().message;
    EXPECT_EQ(room.value().vertices, Bytes(24, 0xAB));
    EXPECT_EQ(room.value().indices, indices({0, 1, 1}));
    EXPECT_EQ(room.value().vertexFile, "kadrel/models/room1-strides.bin");
    EXPECT_EQ(room.value().indexFile, "kadrel/models/room1-indices.bin");

    // The vignette lies at the top of the resources; its empty index file is no error.
    Result<ModelData> vignette =
        readModelData(resources.locator(), ModelName::split("models/vignette-round-vntao"), "");
    ASSERT_TRUE(vignette.ok()) << vignette.error().message;
    EXPECT_EQ(vignette.value().vertexFile, "models/vignette-round-vntao-strides.bin");
    EXPECT_TRUE(vignette.value().indices.empty());
    EXPECT_FALSE(summarize(vignette.value()).maxIndex.has_value());

    Result<ModelData> missing =
        readModelData(resources.locator(), ModelName::split("room2"), "kadrel");
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().message, "File not found in bundle: models/room2-strides.bin");
    resources.write("kadrel/models/room2-strides.bin", Bytes(12));
    missing = readModelData(resources.locator(), ModelName::split("room2"), "kadrel");
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().message, "File not found in bundle: models/room2-indices.bin");
}

TEST(ModelDataTest, RejectsIndexFileOfOddLength) {
    TempResources resources;
    resources.write("kadrel/models/room1-strides.bin", Bytes(24));
    resources.write("kadrel/models/room1-indices.bin", {0, 0, 1});
    Result<ModelData> room =
        readModelData(resources.locator(), ModelName::split("room1"), "kadrel");
    ASSERT_FALSE(room.ok());
    EXPECT_EQ(room.error().message, "Model file kadrel/models/room1-indices.bin holds 3 bytes, "
                                    "not a whole number of 16-bit indices");
}

TEST(ModelDataTest, ValidatesAgainstTheVertexLayout) {
    ModelData data{"m-strides.bin", "m-indices.bin", Bytes(36), indices({0, 2, 1, 2})};
    EXPECT_TRUE(validate(data, 12).ok());
    // Largest index 2 needs three vertices: 36 bytes are only two of stride 18, and so on.
    Result<void> pastEnd = validate(data, 18);
    ASSERT_FALSE(pastEnd.ok());
    EXPECT_EQ(pastEnd.error().message,
              "Model file m-indices.bin has index 2, past the 2 vertices of m-strides.bin");

    Result<void> partial = validate(data, 8);
    ASSERT_FALSE(partial.ok());
    EXPECT_EQ(partial.error().message,
              "Model file m-strides.bin holds 36 bytes, not a whole number of 8-byte vertices");

    EXPECT_FALSE(validate(data, 0).ok());
    EXPECT_FALSE(validate(data, -12).ok());

    // Index 65535 is found wherever it sits; an empty vertex file has no vertex to point at.
    data.indices = indices({0, 65535, 1});
    EXPECT_EQ(summarize(data).maxIndex, 65535);
    EXPECT_FALSE(validate(data, 12).ok());
    data.indices = indices({0});
    data.vertices.clear();
    EXPECT_FALSE(validate(data, 12).ok());
    data.indices.clear();
    EXPECT_TRUE(validate(data, 12).ok());

    // An odd trailing byte is reported, and summarising never reads it.
    data.vertices = Bytes(12);
    data.indices = {0, 0, 0xFF};
    EXPECT_EQ(summarize(data).maxIndex, 0);
    EXPECT_FALSE(validate(data, 12).ok());
}

} // namespace
} // namespace renderer
