#pragma once

// Scenes, resource folders and frame statistics for the renderer's pixel tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/Blending.h"
#include "engine/DepthMode.h"
#include "engine/Scene.h"
#include "engine/commands/Commands.h"
#include "engine/math/HalfFloat.h"
#include "renderer/ExampleRenderer.h"
#include "renderer/headless/HeadlessSurface.h"
#include "renderer/headless/Image.h"
#include "renderer/loaders/ResourceLocator.h"
#include "tests/renderer/LoaderTestFiles.h"

namespace rendertest {

using namespace engine;
using namespace engine::commands;

// A scene whose resources and command tree the test fills in. Nothing moves: the uniforms
// hold whatever the test wrote.
class TestScene : public Scene {
  public:
    void initialize() override { ++initializeCalls; }
    int initializeCalls = 0;
};

// Appends a 16-bit value, little-endian.
inline void put16(std::vector<std::uint8_t>& bytes, std::uint16_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

// Packs vertices (or texels) as half floats, `components` per vertex, padded to `stride`
// bytes.
inline std::vector<std::uint8_t> halfVertices(const std::vector<float>& values, int components,
                                              int stride) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < values.size(); i += static_cast<std::size_t>(components)) {
        const std::size_t start = bytes.size();
        for (int k = 0; k < components; ++k) {
            put16(bytes, engine::math::floatToHalf(values[i + static_cast<std::size_t>(k)]));
        }
        bytes.resize(start + static_cast<std::size_t>(stride), 0);
    }
    return bytes;
}

// A fresh resources folder: the project's shader library, a vignette model that shades from
// 1 at the centre to 0 at the corners, and whatever models and textures a test writes.
class TestResources : public loadertest::TempResources {
  public:
    TestResources() {
        std::filesystem::copy(std::filesystem::path(KADREL_SOURCE_DIR) / "resources" / "shaders",
                              root() / "shaders");
        writeVignette();
    }

    void writeText(const std::string& relative, const std::string& text) const {
        write(relative, std::vector<std::uint8_t>(text.begin(), text.end()));
    }

    // A model of the scene folder "scene": vertices as given, 16-bit indices.
    void writeModel(const std::string& name, const std::vector<std::uint8_t>& vertices,
                    const std::vector<std::uint16_t>& indices,
                    const std::string& directory = "scene/models") const {
        write(directory + "/" + name + "-strides.bin", vertices);
        std::vector<std::uint8_t> bytes;
        for (const std::uint16_t i : indices) {
            put16(bytes, i);
        }
        write(directory + "/" + name + "-indices.bin", bytes);
    }

  private:
    void writeVignette() const {
        // Centre (shade 1) and the four corners (shade 0), a fan of counter-clockwise
        // triangles; HALF2 position, 2 bytes of padding, UBYTE_NORMALIZED shade, 1 more.
        std::vector<std::uint8_t> vertices = halfVertices({0, 0, -1, -1, 1, -1, 1, 1, -1, 1}, 2, 8);
        vertices[6] = 255; // the centre's shade
        writeModel("vignette-round-vntao", vertices, {0, 1, 2, 0, 2, 3, 0, 3, 4, 0, 4, 1},
                   "models");
    }
};

// An ASTC file of width x height texels in 4x4 blocks, every block a solid colour
// (channels 0 to 1).
inline std::vector<std::uint8_t> solidAstc(int width, int height, float r, float g, float b) {
    std::vector<std::uint8_t> file = loadertest::astcHeader(4, 4, static_cast<std::uint32_t>(width),
                                                            static_cast<std::uint32_t>(height));
    // A void-extent block: the marker, then four 16-bit unsigned normalised channels.
    std::vector<std::uint8_t> block{0xFC, 0xFD, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    for (const float channel : {r, g, b, 1.0F}) {
        put16(block, static_cast<std::uint16_t>(std::lround(channel * 65535.0F)));
    }
    for (int i = 0; i < ((width + 3) / 4) * ((height + 3) / 4); ++i) {
        file.insert(file.end(), block.begin(), block.end());
    }
    return file;
}

// A rectangle in clip space at depth z, two counter-clockwise triangles (or clockwise when
// asked), as Color vertices: HALF3 position, stride 8.
inline std::vector<std::uint8_t> rectangle(float x0, float y0, float x1, float y1, float z) {
    return halfVertices({x0, y0, z, x1, y0, z, x1, y1, z, x0, y1, z}, 3, 8);
}
inline const std::vector<std::uint16_t> CCW_QUAD{0, 1, 2, 0, 2, 3};
inline const std::vector<std::uint16_t> CW_QUAD{0, 2, 1, 0, 3, 2};

inline std::shared_ptr<UniformFloatValue> identityMatrix() {
    return std::make_shared<UniformFloatValue>(
        std::vector<float>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
}
inline std::shared_ptr<UniformFloatValue> color(float r, float g, float b, float a = 1.0F) {
    return std::make_shared<UniformFloatValue>(std::vector<float>{r, g, b, a});
}

inline VertexAttributesDescriptor colorLayout() {
    return VertexAttributesDescriptor({VertexAttribute(0, VertexFormat::HALF3, 0)}, 8);
}
inline VertexAttributesDescriptor diffuseLayout() {
    return VertexAttributesDescriptor(
        {VertexAttribute(0, VertexFormat::HALF3, 0), VertexAttribute(1, VertexFormat::HALF2, 6)},
        12);
}

inline std::shared_ptr<ClearColorCommand> clearColor(float r, float g, float b, float a = 1.0F) {
    auto c = std::make_shared<ClearColorCommand>();
    *c->color = math::Vec4(r, g, b, a);
    return c;
}
inline std::shared_ptr<ClearCommand> clear() {
    auto c = std::make_shared<ClearCommand>();
    c->clearType = ClearCommandClearType::COLOR_AND_DEPTH;
    return c;
}

inline BlendingPtr additive() {
    auto b = std::make_shared<Blending>();
    b->enabled = true;
    b->sourceFactorColor = BlendingFactor::ONE;
    b->destinationFactorColor = BlendingFactor::ONE;
    return b;
}

// Statistics of a region of a frame.
struct Region {
    int x0, y0, x1, y1; // x1, y1 exclusive
};

inline double mean(const renderer::Image& image, int channel, Region r) {
    double sum = 0;
    for (int y = r.y0; y < r.y1; ++y) {
        for (int x = r.x0; x < r.x1; ++x) {
            sum += image.pixel(x, y)[channel];
        }
    }
    return sum / ((r.x1 - r.x0) * (r.y1 - r.y0));
}
inline double mean(const renderer::Image& image, int channel) {
    return mean(image, channel, Region{0, 0, image.width, image.height});
}
// Sum of absolute differences between horizontal and vertical neighbours of one channel:
// how sharp the picture is.
inline double variation(const renderer::Image& image, int channel) {
    double sum = 0;
    for (int y = 0; y + 1 < image.height; ++y) {
        for (int x = 0; x + 1 < image.width; ++x) {
            const int v = image.pixel(x, y)[channel];
            sum += std::abs(v - image.pixel(x + 1, y)[channel]) +
                   std::abs(v - image.pixel(x, y + 1)[channel]);
        }
    }
    return sum;
}
inline bool pixelNear(const renderer::Image& image, int x, int y, std::array<int, 3> rgb,
                      int tolerance = 2) {
    const std::uint8_t* p = image.pixel(x, y);
    return std::abs(p[0] - rgb[0]) <= tolerance && std::abs(p[1] - rgb[1]) <= tolerance &&
           std::abs(p[2] - rgb[2]) <= tolerance;
}

// A headless surface, a test scene and the example renderer (whose table knows every shader
// of the library) over a test resources folder. The renderer loads the scene's lists when
// it is started, by the first frame at the latest.
// Fails the current test for every error GL has recorded (GL keeps one flag per kind, so
// the loop ends), naming each.
inline void expectNoGlError() {
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError()) {
        ADD_FAILURE() << "GL error 0x" << std::hex << error << " after a frame";
    }
}

class RenderHarness {
  public:
    RenderHarness(int width, int height)
        : surface(width, height), scene(std::make_shared<TestScene>()) {}

    renderer::ExampleRenderer& start() {
        if (!renderer) {
            renderer = std::make_unique<renderer::ExampleRenderer>(surface, scene, "scene",
                                                                   resources.locator());
        }
        return *renderer;
    }
    // Draws a frame and reads it back; a frame that leaves a GL error fails the test.
    renderer::Image frame(double timeMs = 0.0) {
        start().drawFrame(timeMs);
        expectNoGlError();
        return surface.readPixels();
    }

    // Resources of the scene, written and listed: a model, a shader by name, a raw RGBA16F
    // texture sampled at its nearest texel.
    MeshPtr mesh(const std::string& fileName, const std::vector<std::uint8_t>& vertices,
                 const std::vector<std::uint16_t>& indices = CCW_QUAD) {
        resources.writeModel(fileName, vertices, indices);
        scene->meshes.push_back(std::make_shared<Mesh>());
        scene->meshes.back()->fileName = fileName;
        return scene->meshes.back();
    }
    ShaderPtr shader(const std::string& name) {
        scene->shaders.push_back(std::make_shared<Shader>());
        scene->shaders.back()->name = name;
        return scene->shaders.back();
    }
    TexturePtr halfTexture(const std::string& fileName, int width, int height,
                           const std::vector<float>& rgba) {
        resources.write("scene/textures/" + fileName, halfVertices(rgba, 1, 2));
        auto t = std::make_shared<Texture>();
        t->fileName = t->name = fileName;
        t->format = TextureFormat::RGBA16F;
        t->width = width;
        t->height = height;
        t->minFilter = t->magFilter = TextureFiltering::NEAREST;
        t->wrapping = TextureWrapping::CLAMP_TO_EDGE;
        scene->textures.push_back(t);
        return t;
    }

    TestResources resources;
    renderer::HeadlessSurface surface;
    std::shared_ptr<TestScene> scene;
    std::unique_ptr<renderer::ExampleRenderer> renderer;
};

// A box of `half` units around the origin, faces turned inwards (counter-clockwise as seen
// from inside), as "Diffuse" vertices: HALF3 position, HALF2 texture coordinate.
inline void writeInsideOfBox(const TestResources& resources, const std::string& name, float half) {
    std::vector<float> vertices;
    std::vector<std::uint16_t> indices;
    for (int face = 0; face < 6; ++face) {
        const int axis = face / 2;
        const auto base = static_cast<std::uint16_t>(vertices.size() / 5);
        for (const auto& [u, v] : {std::pair{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}) {
            float p[3];
            p[axis] = face % 2 == 0 ? -half : half;
            p[(axis + 1) % 3] = static_cast<float>(u) * half;
            p[(axis + 2) % 3] = static_cast<float>(v) * half;
            vertices.insert(vertices.end(),
                            {p[0], p[1], p[2], u > 0 ? 1.0F : 0.0F, v > 0 ? 0.0F : 1.0F});
        }
        // (u, v) turns counter-clockwise about +axis: seen from inside, the face at -half
        // needs that order and the face at +half the other.
        for (const int i :
             face % 2 == 0 ? std::array{0, 1, 2, 0, 2, 3} : std::array{3, 2, 0, 2, 1, 0}) {
            indices.push_back(static_cast<std::uint16_t>(base + i));
        }
    }
    resources.writeModel(name, halfVertices(vertices, 5, 12), indices, "kadrel/models");
}

inline void writeChain(const TestResources& resources, const std::string& name, int levels, float r,
                       float g, float b) {
    for (int level = 0; level < levels; ++level) {
        const int width = std::max(1, (1 << (levels - 1)) >> level);
        const int height = std::max(1, 4 >> level);
        resources.write("kadrel/textures/" + name + "_" + std::to_string(level) + ".astc",
                        solidAstc(width, height, r, g, b));
    }
}

// Files for the wallpaper scene under "kadrel": both rooms' main meshes are a box around
// every camera path, their textures mid-grey; the bloom textures are dim blue; the two
// detail meshes of room 2 are single triangles.
inline void writeWallpaperStandIns(const TestResources& resources) {
    writeInsideOfBox(resources, "room1", 4000.0F);
    writeInsideOfBox(resources, "room2-optimized0", 4000.0F);
    for (const char* mesh : {"room2-optimized1", "room2-optimized2"}) {
        resources.writeModel(mesh,
                             halfVertices({0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0}, 5, 12),
                             {0, 1, 2}, "kadrel/models");
    }
    writeChain(resources, "room1", 12, 0.5F, 0.5F, 0.5F);
    writeChain(resources, "room20", 13, 0.5F, 0.5F, 0.5F);
    resources.write("kadrel/textures/room21.astc", solidAstc(8, 8, 0.0F, 0.0F, 0.25F));
    resources.write("kadrel/textures/room22.astc", solidAstc(8, 8, 0.0F, 0.0F, 0.25F));
}

// A flat-coloured rectangle draw with its own state.
inline std::shared_ptr<DrawMeshCommand> colorDraw(const MeshPtr& mesh, const ShaderPtr& shader,
                                                  float r, float g, float b,
                                                  DepthModePtr depth = DEPTH_TEST_ENABLED(),
                                                  CullFace culling = CullFace::BACK) {
    auto state = std::make_shared<DrawMeshState>(shader, BLENDING_NONE(), std::move(depth), culling,
                                                 colorLayout());
    return std::make_shared<DrawMeshCommand>(
        mesh, std::vector<UniformValuePtr>{identityMatrix(), color(r, g, b)}, state);
}

} // namespace rendertest
