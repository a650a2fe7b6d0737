#pragma once

#include <memory>
#include <string>

#include "renderer/SceneRenderer.h"

namespace renderer {

// The wallpaper's renderer: the room draws use shader "Diffuse" with the model-view-
// projection matrix at vertex buffer slot 1 and the room texture at fragment slot 0.
class KadrelRenderer final : public SceneRenderer {
  public:
    // Loads the scene's shaders, models and textures from `resourcesRoot` (the wallpaper's
    // "kadrel") under the locator's resources directory.
    KadrelRenderer(RenderSurface& surface, std::shared_ptr<engine::Scene> scene,
                   std::string resourcesRoot,
                   ResourceLocator locator = ResourceLocator(ResourceLocator::defaultRoot()));

    // "Vignette", "FullscreenQuad" and "Diffuse"; made once and shared by every call.
    const ShadersUniforms& makeShadersUniforms() override;
};

// The inputs of the renderer's own shaders and of "Diffuse", which every renderer's table
// starts from.
ShadersUniforms commonShadersUniforms();

} // namespace renderer
