#include "renderer/loaders/FullModel.h"

#include <cstdio>

#include "renderer/Fatal.h"
#include "renderer/loaders/BufferUpload.h"

namespace renderer {

namespace {

// An empty file leaves its buffer absent rather than making a zero-length one.
Result<gl::Buffer> bufferFor(const Bytes& bytes, const std::string& label) {
    if (bytes.empty()) {
        return gl::Buffer();
    }
    return uploadBuffer(bytes, label);
}

} // namespace

FullModel::FullModel(std::string_view name, std::string root) : resourcesRoot(std::move(root)) {
    ModelName split = ModelName::split(name);
    filename = std::move(split.filename);
    path = std::move(split.path);
}

void FullModel::release() noexcept {
    vertexBuffer.reset();
    indexBuffer.reset();
    summary = ModelSummary{};
}

Result<void> FullModel::tryLoad(const ResourceLocator& locator) {
    release();
    Result<ModelData> data = readModelData(locator, ModelName{filename, path}, resourcesRoot);
    if (!data) {
        return data.error();
    }
    Result<gl::Buffer> vertices = bufferFor(data.value().vertices, filename + "-strides");
    if (!vertices) {
        return vertices.error();
    }
    Result<gl::Buffer> indices = bufferFor(data.value().indices, filename + "-indices");
    if (!indices) {
        return indices.error();
    }
    vertexBuffer = std::move(vertices).value();
    indexBuffer = std::move(indices).value();
    summary = summarize(data.value());
    return {};
}

void FullModel::load(const ResourceLocator& locator) {
    if (Result<void> loaded = tryLoad(locator); !loaded) {
        std::fprintf(stderr, "%s\n", loaded.error().message.c_str());
        fatal("Cannot create model buffers: ", filename);
    }
}

} // namespace renderer
