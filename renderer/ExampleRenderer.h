#pragma once

#include <memory>
#include <string>

#include "renderer/SceneRenderer.h"

namespace renderer {

// The renderer of the engine's example scene: the wallpaper's table plus the flat-colour,
// vertex-animated and water shaders of the landscape.
class ExampleRenderer final : public SceneRenderer {
  public:
    ExampleRenderer(RenderSurface& surface, std::shared_ptr<engine::Scene> scene,
                    std::string resourcesRoot,
                    ResourceLocator locator = ResourceLocator(ResourceLocator::defaultRoot()));

    // The three common entries and "Color", "ColorAnimatedTextureChunked", "Water"; made
    // once and shared by every call.
    const ShadersUniforms& makeShadersUniforms() override;
};

} // namespace renderer
