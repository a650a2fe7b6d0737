// kadrel-bake: builds the two rooms, lights them and writes the shipped models and textures.
//
//   kadrel-bake [--out DIR] [--threads N] [--preview DIR] [--draft]
//
// --out      the resources folder to write into (default: resources beside the sources)
// --threads  worker threads (default 2)
// --preview  also write PNG frames of every camera path into DIR
// --draft    quarter-size textures and fewer rays, for a quick look
// --check    only print how far every camera path stays from the geometry

#include "tools/bake/Baker.h"
#include "tools/bake/Clearance.h"
#include "tools/bake/Rooms.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#ifndef KADREL_SOURCE_DIR
#define KADREL_SOURCE_DIR "."
#endif

namespace {

void printClearance() {
    for (int r = 0; r < 2; ++r) {
        const bake::Room room = r == 0 ? bake::buildRoom1() : bake::buildRoom2();
        std::vector<bake::Triangle> triangles;
        for (const bake::Patch& patch : room.patches) {
            const std::vector<bake::Triangle> some = bake::patchTriangles(patch);
            triangles.insert(triangles.end(), some.begin(), some.end());
        }
        const auto paths = bake::roomPaths(r);
        for (std::size_t p = 0; p < paths.size(); ++p) {
            const float d = bake::segmentClearance(bake::toV3(paths[p].startEye),
                                                   bake::toV3(paths[p].endEye), triangles);
            std::printf("room %d path %zu: clearance %.1f\n", r + 1, p, static_cast<double>(d));
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    bake::BakeOptions options;
    options.outputRoot = std::string(KADREL_SOURCE_DIR) + "/resources";
    options.lighting.threads = 2;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "%s needs a value\n", arg.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--out") {
            options.outputRoot = value();
        } else if (arg == "--threads") {
            const std::string text = value();
            int threads = 0;
            const auto [end, error] =
                std::from_chars(text.data(), text.data() + text.size(), threads);
            if (error != std::errc() || end != text.data() + text.size()) {
                std::fprintf(stderr, "--threads wants a whole number, not '%s'\n", text.c_str());
                return 2;
            }
            options.lighting.threads = std::max(1, threads);
        } else if (arg == "--preview") {
            options.previewDir = value();
        } else if (arg == "--check") {
            printClearance();
            return 0;
        } else if (arg == "--draft") {
            options.room1Size = 1024;
            options.room2Size = 2048;
            options.bloomSize = 512;
            options.lighting.skyRays = 48;
            options.lighting.bounceRays = 64;
            options.astcQuality = 10.0F;
        } else {
            std::fprintf(stderr, "unknown option %s\n", arg.c_str());
            return 2;
        }
    }
    try {
        const bake::BakeSummary summary = bake::bake(options);
        const char* meshes[] = {"room1", "room2-optimized0", "room2-optimized1",
                                "room2-optimized2"};
        for (std::size_t i = 0; i < summary.vertexCounts.size() && i < std::size(meshes); ++i) {
            std::printf("%s: %zu vertices\n", meshes[i], summary.vertexCounts[i]);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kadrel-bake: %s\n", e.what());
        return 1;
    }
    return 0;
}
