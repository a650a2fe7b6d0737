#include "tools/kadrel-render/RenderSession.h"

#include "engine/common/ColorMode.h"
#include "renderer/loaders/ResourceLocator.h"

namespace kadrel_render {

namespace {
// The wallpaper's folder under the resources: its models and textures live there.
constexpr const char* SCENE_RESOURCES = "kadrel";
} // namespace

std::filesystem::path resourcesFolder(const RenderOptions& options) {
    if (!options.resources.empty()) {
        return options.resources;
    }
    return renderer::ResourceLocator::defaultRoot();
}

void applySceneSettings(kadrel::KadrelSettings& settings, const RenderOptions& options) {
    settings.vignette = options.vignette;
    settings.cameraPeriod = options.cameraPeriod;
    settings.lowQuality = options.lowQuality;
    settings.blurred = options.blurred;
    settings.colorMode =
        options.sepia ? engine::common::ColorMode::Sepia : engine::common::ColorMode::Normal;
}

RenderSession::RenderSession(const RenderOptions& options)
    : surface_(options.width, options.height), scene_(std::make_shared<kadrel::KadrelScene>()) {
    applySceneSettings(scene_->settings(), options);
    renderer_ = std::make_unique<renderer::KadrelRenderer>(
        surface_, scene_, SCENE_RESOURCES, renderer::ResourceLocator(resourcesFolder(options)));
}

RenderSession::~RenderSession() {
    surface_.makeCurrent();
    renderer_.reset();
}

} // namespace kadrel_render
