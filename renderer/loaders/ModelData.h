#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "renderer/RuntimeError.h"
#include "renderer/loaders/ModelName.h"
#include "renderer/loaders/ResourceLocator.h"

namespace renderer {

// The two headerless files of one model as read from the resources: vertices laid out as the
// draw's vertex layout says, and 16-bit little-endian triangle indices.
struct ModelData {
    std::string vertexFile; // resource path, for messages: "kadrel/models/room1-strides.bin"
    std::string indexFile;
    Bytes vertices;
    Bytes indices;
};

// What the layout check needs once the bytes have gone to the GPU.
struct ModelSummary {
    std::string vertexFile;
    std::string indexFile;
    std::size_t vertexBytes = 0;
    std::size_t indexBytes = 0;
    std::optional<std::uint16_t> maxIndex; // none without indices
};

// The largest vertex a layout may describe: the least GL_MAX_VERTEX_ATTRIB_STRIDE that GL
// promises where it has the query.
inline constexpr std::int32_t kMaxVertexStride = 2048;
// 16-bit indices reach 65536 vertices, so no vertex file can use more bytes than this.
inline constexpr std::uintmax_t kMaxVertexFileBytes = 65536U * kMaxVertexStride;
// A draw's index count is a GLsizei.
inline constexpr std::uintmax_t kMaxIndexFileBytes = 2U * 0x7FFF'FFFFU;

// Reads path/filename-strides.bin and path/filename-indices.bin from `resourcesRoot`. Fails
// with the lookup's message for a missing or unreadable file or one larger than the limits
// above (refused before it is read), and with a message naming the file for an index file
// of odd length.
Result<ModelData> readModelData(const ResourceLocator& locator, const ModelName& name,
                                std::string_view resourcesRoot);

ModelSummary summarize(const ModelData& data);

// Checks the files against a vertex layout of `stride` bytes (1 to kMaxVertexStride): whole
// vertices, whole indices, and no index past the last vertex. The message names the
// offending file.
Result<void> validate(const ModelSummary& summary, std::int32_t stride);
Result<void> validate(const ModelData& data, std::int32_t stride);

} // namespace renderer
