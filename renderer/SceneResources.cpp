#include "renderer/SceneResources.h"

#include "renderer/Fatal.h"

namespace renderer {

void SceneResources::checkModelLayout(std::size_t model, std::int32_t stride,
                                      std::string_view failure) {
    if (modelCheckedStride[model] == stride) {
        return;
    }
    if (Result<void> layout = models[model].validate(stride); !layout) {
        fatal(failure, layout.error().message);
    }
    modelCheckedStride[model] = stride;
}

} // namespace renderer
