// libFuzzer target: model names and model files as they come from disk.
//
// Input: byte 0 picks the vertex stride, bytes 1-2 where the vertex file ends; the rest is
// the vertex file followed by the index file. The whole input is also tried as a model name.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "renderer/loaders/ModelData.h"
#include "renderer/loaders/ModelName.h"

namespace {

void require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace renderer;

    const ModelName name =
        ModelName::split(std::string_view(reinterpret_cast<const char*>(data), size));
    // Every name, valid or not, yields a directory to look in.
    require(!name.path.empty());

    if (size < 3) {
        return 0;
    }
    const std::int32_t stride = static_cast<std::int8_t>(data[0]);
    const std::size_t body = size - 3;
    const std::size_t split = (static_cast<std::size_t>(data[1]) | (data[2] << 8)) % (body + 1);
    ModelData model{"f-strides.bin", "f-indices.bin", Bytes(data + 3, data + 3 + split),
                    Bytes(data + 3 + split, data + size)};

    const ModelSummary summary = summarize(model);
    require(summary.vertexBytes == split && summary.indexBytes == body - split);
    const Result<void> valid = validate(summary, stride);
    if (valid) {
        // Whatever passes can be drawn without the GPU reading past the vertex buffer.
        require(stride > 0 && split % static_cast<std::size_t>(stride) == 0);
        require(model.indices.size() % 2 == 0);
        const std::size_t vertexCount = split / static_cast<std::size_t>(stride);
        for (std::size_t i = 0; i + 1 < model.indices.size(); i += 2) {
            const auto index =
                static_cast<std::size_t>(model.indices[i] | (model.indices[i + 1] << 8));
            require(index < vertexCount);
        }
    } else {
        require(!valid.error().message.empty());
    }
    return 0;
}
