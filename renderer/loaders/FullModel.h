#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "renderer/RuntimeError.h"
#include "renderer/gl/GlObject.h"
#include "renderer/loaders/ModelData.h"
#include "renderer/loaders/ResourceLocator.h"

namespace renderer {

// One model on the GPU: the vertex file and the index file of a model name, each in one GL
// buffer. Made per mesh at start-up; the renderer binds vertexBuffer with the draw's layout
// and draws indexBuffer as 16-bit triangle indices.
class FullModel {
  public:
    // Splits the name (see ModelName); loads nothing. resourcesRoot is the folder under the
    // resources that holds `path` ("kadrel" for the wallpaper, "" for the vignette).
    FullModel(std::string_view name, std::string resourcesRoot);

    std::string filename;
    std::string path;
    std::string resourcesRoot;
    gl::Buffer vertexBuffer; // no name (id 0) until loaded, or for an empty vertex file
    gl::Buffer indexBuffer;  // likewise for the index file
    ModelSummary summary;    // sizes and largest index of the loaded files

    // Reads both files and makes both buffers, replacing any made before. A missing or
    // unreadable file, an index file of odd length or a refused buffer stops the program with
    // "Cannot create model buffers: " + filename, the cause on the line before it.
    void load(const ResourceLocator& locator);

    // load(), reporting instead of stopping; on failure the model has no buffers.
    Result<void> tryLoad(const ResourceLocator& locator);

    // Checks the loaded files against the draw's vertex stride (see validate in ModelData.h).
    // The renderer calls it once it knows the layout a model is drawn with.
    Result<void> validate(std::int32_t stride) const { return renderer::validate(summary, stride); }

    // 16-bit indices in the index buffer.
    std::int32_t indexCount() const noexcept {
        return static_cast<std::int32_t>(summary.indexBytes / 2);
    }

    void release() noexcept;
};

} // namespace renderer
