#pragma once

#include "tools/bake/Image.h"
#include "tools/bake/Mesh.h"

#include <string>
#include <vector>

namespace bake {

// One mesh as the scene draws it: its triangles, the texture of the main pass and the
// texture of the bloom pass (display values, level 0).
struct PreviewMesh {
    const TriangleSoup* soup = nullptr;
    const Image* mainTexture = nullptr;
    const Image* bloomTexture = nullptr;
};

// Ray-casts a frame the way the wallpaper composes it: the room with back faces culled over
// a white clear colour, the blurred bloom pass added on top, then the vignette. Vertical
// field of view 85 degrees, z up.
Image renderPreview(const std::vector<PreviewMesh>& meshes, V3 eye, V3 target, int width,
                    int height, int threads);

void writePng(const std::string& path, const Image& image);

} // namespace bake
