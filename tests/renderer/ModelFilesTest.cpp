#include <gtest/gtest.h>

#include "renderer/loaders/ModelData.h"
#include "renderer/loaders/ModelName.h"
#include "tests/renderer/LoaderTestFiles.h"

namespace renderer {
namespace {

using loadertest::failure;

Bytes indices(std::initializer_list<std::uint16_t> values) {
    Bytes bytes;
    for (const std::uint16_t value : values) {
        bytes.push_back(static_cast<std::uint8_t>(value));
        bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    return bytes;
}

TEST(ModelNameTest, SplitsIntoFileAndDirectoryAndFindsNothingForANameThatIsNoUrl) {
    EXPECT_EQ(ModelName::split("room1"), (ModelName{"room1", "models"}));
    EXPECT_EQ(ModelName::split("models/vignette-round-vntao"),
              (ModelName{"vignette-round-vntao", "models"}));
    EXPECT_EQ(ModelName::split("Alpaca/Eating/animal"), (ModelName{"animal", "Alpaca/Eating"}));
    EXPECT_EQ(ModelName::split("./room1"), (ModelName{"room1", "models"}));
    // Percent escapes are URL syntax and decode into the file name.
    EXPECT_EQ(ModelName::split("a%41/b%20c"), (ModelName{"b c", "aA"}));
    for (const char* name : {"room 1", "", "bad%zz", "caf\xC3\xA9", "a#b#c"}) {
        EXPECT_EQ(ModelName::split(name), (ModelName{"", "models"})) << name;
    }
}

TEST(ModelDataTest, ReadsBothFilesOfAModel) {
    loadertest::TempResources resources;
    resources.write("kadrel/models/room1-strides.bin", Bytes(24, 0xAB));
    resources.write("kadrel/models/room1-indices.bin", indices({0, 1, 1}));
    resources.write("models/vignette-round-vntao-strides.bin", Bytes(16, 1));
    resources.write("models/vignette-round-vntao-indices.bin", {});
    resources.write("kadrel/models/odd-strides.bin", Bytes(24));
    resources.write("kadrel/models/odd-indices.bin", {0, 0, 1});
    const auto read = [&](const char* name, const char* root) {
        return readModelData(resources.locator(), ModelName::split(name), root);
    };

    const ModelData room = read("room1", "kadrel").value();
    EXPECT_EQ(room.vertices, Bytes(24, 0xAB));
    EXPECT_EQ(room.indices, indices({0, 1, 1}));
    EXPECT_EQ(room.vertexFile, "kadrel/models/room1-strides.bin");
    EXPECT_EQ(room.indexFile, "kadrel/models/room1-indices.bin");
    // The vignette lies at the top of the resources; its empty index file is no error.
    const ModelData vignette = read("models/vignette-round-vntao", "").value();
    EXPECT_EQ(vignette.vertexFile, "models/vignette-round-vntao-strides.bin");
    EXPECT_FALSE(summarize(vignette).maxIndex.has_value());

    EXPECT_EQ(read("room2", "kadrel").error().message,
              "File not found in bundle: models/room2-strides.bin");
    EXPECT_EQ(read("odd", "kadrel").error().message,
              "Model file kadrel/models/odd-indices.bin holds 3 bytes, not a whole number of "
              "16-bit indices");
}

// 16-bit indices reach 65536 vertices of at most 2048 bytes: a larger vertex file is refused
// by its size alone (these are sparse, so nothing of them is stored or read).
TEST(ModelDataTest, RefusesFilesLargerThanTheFormatAllows) {
    loadertest::TempResources resources;
    resources.write("kadrel/models/huge-strides.bin", {});
    resources.write("kadrel/models/huge-indices.bin", indices({0}));
    std::filesystem::resize_file(resources.root() / "kadrel/models/huge-strides.bin",
                                 kMaxVertexFileBytes + 1);
    EXPECT_EQ(failure(readModelData(resources.locator(), ModelName::split("huge"), "kadrel")),
              "Cannot read resource models/huge-strides.bin: 134217729 bytes are more than the "
              "134217728 a model's vertex file can hold");
    std::filesystem::resize_file(resources.root() / "kadrel/models/huge-strides.bin", 12);
    std::filesystem::resize_file(resources.root() / "kadrel/models/huge-indices.bin",
                                 kMaxIndexFileBytes + 2);
    EXPECT_EQ(failure(readModelData(resources.locator(), ModelName::split("huge"), "kadrel")),
              "Cannot read resource models/huge-indices.bin: 4294967296 bytes are more than the "
              "4294967294 a model's index file can hold");
}

TEST(ModelDataTest, ValidatesAgainstTheVertexLayout) {
    ModelData data{"m-strides.bin", "m-indices.bin", Bytes(36), indices({0, 2, 1, 2})};
    EXPECT_TRUE(validate(data, 12).ok());
    // Largest index 2 needs three vertices: 36 bytes are only two of stride 18.
    EXPECT_EQ(failure(validate(data, 18)),
              "Model file m-indices.bin has index 2, past the 2 vertices of m-strides.bin");
    EXPECT_EQ(failure(validate(data, 8)),
              "Model file m-strides.bin holds 36 bytes, not a whole number of 8-byte vertices");
    EXPECT_NE(failure(validate(data, 0)), "accepted");
    EXPECT_EQ(
        failure(validate(data, kMaxVertexStride + 1)),
        "Model file m-strides.bin is drawn with a vertex stride of 2049 bytes, not 1 to 2048");

    // Index 65535 is found wherever it sits; an empty vertex file has no vertex to point at.
    data.indices = indices({0, 65535, 1});
    EXPECT_EQ(summarize(data).maxIndex, 65535);
    EXPECT_NE(failure(validate(data, 12)), "accepted");
    data.indices = indices({0});
    data.vertices.clear();
    EXPECT_NE(failure(validate(data, 12)), "accepted");

    // An odd trailing byte is reported, and summarising never reads it.
    data.vertices = Bytes(12);
    data.indices = {0, 0, 0xFF};
    EXPECT_EQ(summarize(data).maxIndex, 0);
    EXPECT_NE(failure(validate(data, 12)), "accepted");
}

} // namespace
} // namespace renderer
