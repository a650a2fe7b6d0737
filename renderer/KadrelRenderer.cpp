#include "renderer/KadrelRenderer.h"

#include <utility>

namespace renderer {

ShadersUniforms commonShadersUniforms() {
    using enum UniformType;
    using enum UniformDataType;
    return ShadersUniforms{
        {"Vignette", {Uniform{VERTEX, FP16, 1}, Uniform{VERTEX, FP16, 2}}},
        {"FullscreenQuad", {Uniform{FRAGMENT, TEXTURE, 0}}},
        {"Diffuse", {Uniform{VERTEX, FP32, 1}, Uniform{FRAGMENT, TEXTURE, 0}}},
    };
}

KadrelRenderer::KadrelRenderer(RenderSurface& surfaceIn, std::shared_ptr<engine::Scene> sceneIn,
                               std::string resourcesRootIn, ResourceLocator locatorIn)
    : SceneRenderer(surfaceIn, std::move(sceneIn), std::move(resourcesRootIn),
                    std::move(locatorIn)) {
    load();
}

const ShadersUniforms& KadrelRenderer::makeShadersUniforms() {
    static const ShadersUniforms table = commonShadersUniforms();
    return table;
}

} // namespace renderer
