#include "renderer/loaders/ModelData.h"

#include <algorithm>

namespace renderer {

namespace {

Result<void> checkIndexLength(const std::string& indexFile, std::size_t indexBytes) {
    if (indexBytes % 2 != 0) {
        return RuntimeError{"Model file " + indexFile + " holds " + std::to_string(indexBytes) +
                            " bytes, not a whole number of 16-bit indices"};
    }
    return {};
}

} // namespace

Result<ModelData> readModelData(const ResourceLocator& locator, const ModelName& name,
                                std::string_view resourcesRoot) {
    const std::string vertexName = name.path + "/" + name.filename + "-strides.bin";
    const std::string indexName = name.path + "/" + name.filename + "-indices.bin";
    Result<Bytes> vertices =
        locator.read(vertexName, resourcesRoot, {}, {kMaxVertexFileBytes, "a model's vertex file"});
    if (!vertices) {
        return vertices.error();
    }
    Result<Bytes> indices =
        locator.read(indexName, resourcesRoot, {}, {kMaxIndexFileBytes, "a model's index file"});
    if (!indices) {
        return indices.error();
    }
    ModelData data{joinResourcePath(resourcesRoot, vertexName),
                   joinResourcePath(resourcesRoot, indexName), std::move(vertices).value(),
                   std::move(indices).value()};
    if (Result<void> length = checkIndexLength(data.indexFile, data.indices.size()); !length) {
        return length.error();
    }
    return data;
}

ModelSummary summarize(const ModelData& data) {
    ModelSummary summary{data.vertexFile, data.indexFile, data.vertices.size(), data.indices.size(),
                         std::nullopt};
    // An odd trailing byte is no index; it is reported by validate, never read here.
    const std::size_t count = data.indices.size() / 2;
    if (count > 0) {
        std::uint16_t largest = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const auto index =
                static_cast<std::uint16_t>(data.indices[2 * i] | (data.indices[2 * i + 1] << 8));
            largest = std::max(largest, index);
        }
        summary.maxIndex = largest;
    }
    return summary;
}

Result<void> validate(const ModelSummary& summary, std::int32_t stride) {
    if (stride <= 0 || stride > kMaxVertexStride) {
        return RuntimeError{"Model file " + summary.vertexFile +
                            " is drawn with a vertex stride of " + std::to_string(stride) +
                            " bytes, not 1 to " + std::to_string(kMaxVertexStride)};
    }
    const auto strideBytes = static_cast<std::size_t>(stride);
    if (summary.vertexBytes % strideBytes != 0) {
        return RuntimeError{"Model file " + summary.vertexFile + " holds " +
                            std::to_string(summary.vertexBytes) + " bytes, not a whole number of " +
                            std::to_string(stride) + "-byte vertices"};
    }
    if (Result<void> length = checkIndexLength(summary.indexFile, summary.indexBytes); !length) {
        return length;
    }
    const std::size_t vertexCount = summary.vertexBytes / strideBytes;
    if (summary.maxIndex && *summary.maxIndex >= vertexCount) {
        return RuntimeError{"Model file " + summary.indexFile + " has index " +
                            std::to_string(*summary.maxIndex) + ", past the " +
                            std::to_string(vertexCount) + " vertices of " + summary.vertexFile};
    }
    return {};
}

Result<void> validate(const ModelData& data, std::int32_t stride) {
    return validate(summarize(data), stride);
}

} // namespace renderer
