#pragma once

#include "tools/bake/AstcFile.h"
#include "tools/bake/Lightmapper.h"

#include <string>
#include <vector>

namespace bake {

struct BakeOptions {
    // The resources folder: files go to kadrel/models, kadrel/textures and models under it.
    std::string outputRoot;
    int room1Size = 2048; // "room1", a full mip chain
    int room2Size = 4096; // "room20", a full mip chain
    int bloomSize = 1024; // "room21", one level
    int skySize = 64;     // "room22", one level
    // The bloom texture serves both rooms at their own texture coordinates, so the rooms
    // split the width of every texture between them: room 1's charts take this many eighths
    // from the left of its texture, room 2's the rest of its own. Room 1 is seen from near
    // its floor and needs fine texels there; room 2's larger texture keeps a finer base
    // density with less than half its width.
    int room1Eighths = 5;
    int padding = 4; // texels around every chart
    AstcBlock room1Block{6, 6};
    AstcBlock room2Block{6, 6};
    AstcBlock bloomBlock{8, 8};
    AstcBlock skyBlock{8, 8};
    float astcQuality = 60.0F; // libastcenc's "medium"
    LightingQuality lighting;
    // When not empty: PNG previews of every camera path are written here.
    std::string previewDir;
    int previewWidth = 960;
    int previewHeight = 540;
};

struct BakeSummary {
    std::vector<std::string> files;        // paths written, relative to the output root
    std::vector<float> unitsPerTexel;      // per room, the base density the atlas reached
    std::vector<std::size_t> vertexCounts; // per mesh file, in the order written
};

// Builds both rooms, lights them and writes every model and texture the scene and the
// renderer read, plus the vignette model. Deterministic: the same options give the same
// bytes.
BakeSummary bake(const BakeOptions& options);

} // namespace bake
