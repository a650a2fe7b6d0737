#include "renderer/ExampleRenderer.h"

#include <utility>

#include "renderer/KadrelRenderer.h"

namespace renderer {

ExampleRenderer::ExampleRenderer(RenderSurface& surfaceIn, std::shared_ptr<engine::Scene> sceneIn,
                                 std::string resourcesRootIn, ResourceLocator locatorIn)
    : SceneRenderer(surfaceIn, std::move(sceneIn), std::move(resourcesRootIn),
                    std::move(locatorIn)) {
    load();
}

const ShadersUniforms& ExampleRenderer::makeShadersUniforms() {
    static const ShadersUniforms table = [] {
        using enum UniformType;
        using enum UniformDataType;
        ShadersUniforms t = commonShadersUniforms();
        t.emplace("Color", std::vector<Uniform>{{VERTEX, FP32, 1}, {FRAGMENT, FP16, 1}});
        t.emplace("ColorAnimatedTextureChunked", std::vector<Uniform>{{VERTEX, FP32, 1},
                                                                      {FRAGMENT, FP16, 1},
                                                                      {VERTEX, INT32, 2},
                                                                      {VERTEX, FP32, 3},
                                                                      {VERTEX, TEXTURE, 0},
                                                                      {VERTEX, FP32, 4}});
        t.emplace("Water",
                  std::vector<Uniform>{{VERTEX, FP32, 1}, {FRAGMENT, FP16, 1}, {VERTEX, FP32, 2}});
        return t;
    }();
    return table;
}

} // namespace renderer
