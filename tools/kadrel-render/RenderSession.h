#pragma once

#include <filesystem>
#include <memory>

#include "renderer/KadrelRenderer.h"
#include "renderer/headless/HeadlessSurface.h"
#include "scene/kadrel/KadrelScene.h"
#include "tools/kadrel-render/RenderOptions.h"

namespace kadrel_render {

// The resources folder a run reads: --resources, else the installation's default.
std::filesystem::path resourcesFolder(const RenderOptions& options);

// Copies the scene switches of the options into the scene's settings.
void applySceneSettings(kadrel::KadrelSettings& settings, const RenderOptions& options);

// Everything one run renders with: an offscreen surface of the frame size with its own GL
// context, the wallpaper scene with the options' settings, and its renderer, fully loaded.
// A missing or broken resource stops the program with the renderer's message.
class RenderSession {
  public:
    explicit RenderSession(const RenderOptions& options);
    ~RenderSession();
    RenderSession(const RenderSession&) = delete;
    RenderSession& operator=(const RenderSession&) = delete;

    renderer::HeadlessSurface& surface() noexcept { return surface_; }
    kadrel::KadrelScene& scene() noexcept { return *scene_; }
    renderer::KadrelRenderer& renderer() noexcept { return *renderer_; }

  private:
    // Declared first: the renderer's GL objects belong to the surface's context and must go
    // before it.
    renderer::HeadlessSurface surface_;
    std::shared_ptr<kadrel::KadrelScene> scene_;
    std::unique_ptr<renderer::KadrelRenderer> renderer_;
};

} // namespace kadrel_render
