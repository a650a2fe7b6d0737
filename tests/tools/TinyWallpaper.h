#pragma once

// A resources folder with everything the wallpaper loads, made small: the project's shaders
// and a vignette (from the renderer's test support), each room mesh a box around every
// camera path, and ASTC textures of the sizes and mip chains the scene asks for, filled with
// one colour ramp per texture so that the rooms tell apart.

#include <cstdint>
#include <string>
#include <vector>

#include "tests/renderer/LoaderTestFiles.h"
#include "tests/renderer/RenderTestSupport.h"

namespace tooltest {

class TinyWallpaper {
  public:
    TinyWallpaper() {
        for (const char* mesh :
             {"room1", "room2-optimized0", "room2-optimized1", "room2-optimized2"}) {
            writeBox(mesh);
        }
        // room1 and room20 are full chains: 12 and 13 levels need a base 2048 and 4096 wide.
        writeChain("room1", 2048, 11, {200, 60, 40});
        writeChain("room20", 4096, 12, {40, 80, 200});
        writeSingle("room21", {60, 60, 60});
        writeSingle("room22", {90, 90, 90});
    }

    const std::filesystem::path& root() const { return resources_.root(); }
    void remove(const std::string& relative) const {
        std::filesystem::remove(resources_.root() / relative);
    }

  private:
    // A box from below the lowest to above the highest camera, wider than every path, with
    // both windings so that it shows from inside whatever the culling. Half floats hold
    // these integers exactly.
    void writeBox(const std::string& name) const {
        const float x0 = -2000, x1 = 2000, y0 = -2000, y1 = 2000, z0 = -400, z1 = 1600;
        const float corners[8][3] = {{x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0},
                                     {x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}};
        const int faces[6][4] = {{0, 1, 2, 3}, {4, 5, 6, 7}, {0, 1, 5, 4},
                                 {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
        const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        std::vector<float> values;
        std::vector<std::uint16_t> indices;
        for (const auto& face : faces) {
            const auto base = static_cast<std::uint16_t>(values.size() / 5);
            for (int k = 0; k < 4; ++k) {
                const float* c = corners[face[k]];
                values.insert(values.end(), {c[0], c[1], c[2], uv[k][0], uv[k][1]});
            }
            for (const int i : {0, 1, 2, 0, 2, 3, 0, 2, 1, 0, 3, 2}) {
                indices.push_back(static_cast<std::uint16_t>(base + i));
            }
        }
        resources_.writeModel(name, rendertest::halfVertices(values, 5, 12), indices,
                              "kadrel/models");
    }

    // A horizontal ramp from black to `rgb`, 4 texels high (or less, down the chain).
    static std::vector<std::uint8_t> ramp(int width, int height, std::array<int, 3> rgb) {
        std::vector<std::uint8_t> texels;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const int level = 80 + 175 * x / std::max(1, width - 1);
                for (const int channel : rgb) {
                    texels.push_back(static_cast<std::uint8_t>(channel * level / 255));
                }
                texels.push_back(255);
            }
        }
        return texels;
    }

    void writeChain(const std::string& name, int width, int mipmaps, std::array<int, 3> rgb) const {
        int height = 4;
        for (int level = 0; level <= mipmaps; ++level) {
            resources_.write("kadrel/textures/" + name + "_" + std::to_string(level) + ".astc",
                             loadertest::encodeAstc(ramp(width, height, rgb), width, height, 4, 4));
            width = std::max(1, width / 2);
            height = std::max(1, height / 2);
        }
    }

    void writeSingle(const std::string& name, std::array<int, 3> rgb) const {
        resources_.write("kadrel/textures/" + name + ".astc",
                         loadertest::encodeAstc(ramp(8, 8, rgb), 8, 8, 4, 4));
    }

    rendertest::TestResources resources_;
};

} // namespace tooltest
