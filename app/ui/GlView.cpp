// The renderer's GL loader must come before any GL header of Qt's.
#include <epoxy/gl.h>

#include "app/ui/GlView.h"

#include "app/ui/ClockOverlay.h"

#include <QOpenGLContext>
#include <QSurfaceFormat>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "renderer/KadrelRenderer.h"
#include "renderer/loaders/ResourceLocator.h"

namespace app {

namespace {

[[noreturn]] void cannotStart(const char* why) {
    std::fprintf(stderr, "kadrel: %s\n", why);
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(EXIT_FAILURE);
}

} // namespace

int frameIntervalFor(std::int64_t fps) {
    if (fps <= 0) {
        fps = 1; // a stored rate of 0 or less still shows the wallpaper, at one frame a second
    }
    const double ms = std::round(1000.0 / static_cast<double>(fps));
    return std::max(1, static_cast<int>(ms));
}

GlView::GlView(QWindow& window, std::shared_ptr<engine::Scene> scene, RendererFactory factory)
    : window_(window), scene_(std::move(scene)), factory_(std::move(factory)) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(frameIntervalFor(fps_));
    connect(&timer_, &QTimer::timeout, this, &GlView::renderFrame);
}

GlView::~GlView() {
    if (context_ && renderer_ && context_->makeCurrent(&window_)) {
        renderer_.reset();
        overlayLayer_.deleteObjects();
        context_->doneCurrent();
    } else {
        overlayLayer_.forgetContext();
    }
}

GlView::RendererFactory GlView::kadrelRenderer(std::string resourcesRoot) {
    return [root = std::move(resourcesRoot)](renderer::RenderSurface& surface,
                                             std::shared_ptr<engine::Scene> scene) {
        return std::unique_ptr<renderer::SceneRenderer>(
            new renderer::KadrelRenderer(surface, std::move(scene), root));
    };
}

void GlView::setPreferredFramesPerSecond(std::int64_t fps) {
    fps_ = fps;
    timer_.setInterval(frameIntervalFor(fps));
}

void GlView::setPaused(bool paused) {
    paused_ = paused;
    updateTimer();
}

void GlView::setExposed(bool exposed) {
    exposed_ = exposed;
    if (exposed_ && !renderer_) {
        appear();
    }
    updateTimer();
}

void GlView::updateTimer() {
    const bool run = renderer_ && exposed_ && !paused_;
    if (run && !timer_.isActive()) {
        timer_.start();
        Q_EMIT runningChanged(true);
        renderFrame(); // the first frame at once: a newly shown window is never left blank
    } else if (!run && timer_.isActive()) {
        timer_.stop();
        Q_EMIT runningChanged(false);
    }
}

std::unique_ptr<QOpenGLContext> GlView::makeContext() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setVersion(3, 3);
    format.setProfile(QSurfaceFormat::CoreProfile);
    // The renderer draws into its own multisampled target and resolves into the window.
    format.setDepthBufferSize(0);
    format.setStencilBufferSize(0);
    format.setSamples(0);
    // Where the driver offers it, a reset is reported instead of undefined behaviour.
    format.setOption(QSurfaceFormat::ResetNotification);
    auto context = std::make_unique<QOpenGLContext>();
    context->setFormat(format);
    if (!context->create()) {
        cannotStart("cannot create an OpenGL 3.3 core context on this display");
    }
    const QSurfaceFormat made = context->format();
    if (std::make_pair(made.majorVersion(), made.minorVersion()) < std::make_pair(3, 3)) {
        cannotStart("this display offers no OpenGL 3.3");
    }
    if (!context->makeCurrent(&window_)) {
        cannotStart("cannot use the OpenGL context on the wallpaper window");
    }
    return context;
}

bool GlView::contextLost() const {
    return lostForTesting_ || (context_ && !context_->isValid());
}

void GlView::recoverIfContextLost() {
    if (!renderer_ || !contextLost()) {
        return;
    }
    // The new context first: the old renderer's objects are then deleted by name in a context
    // that has none yet, which GL ignores, instead of in the lost one, which may not be
    // current-able at all.
    std::unique_ptr<QOpenGLContext> fresh = makeContext();
    renderer_.reset();
    overlayLayer_.forgetContext();
    // Deleting a program or shader by a name the context doesn't have records an error; the
    // new renderer checks for errors as it loads and must not find that one.
    while (glGetError() != GL_NO_ERROR) {
    }
    context_ = std::move(fresh);
    lostForTesting_ = false;
    renderer_ = factory_(*this, scene_);
    ++recoveries_;
    std::fputs("kadrel: the OpenGL context was lost; the renderer was made again\n", stderr);
}

void GlView::appear() {
    context_ = makeContext();
    // Loading is synchronous and before the first frame; broken resources stop the program
    // here with the renderer's own message.
    renderer_ = factory_(*this, scene_);
    if (onAppear_) {
        onAppear_();
    }
}

bool GlView::beginFrame() {
    if (!renderer_) {
        return false;
    }
    if (contextLost() || !context_->makeCurrent(&window_)) {
        recoverIfContextLost();
        if (contextLost() || !context_->makeCurrent(&window_)) {
            return false;
        }
    }
    return true;
}

void GlView::renderFrame() {
    if (beginFrame()) {
        renderer_->drawFrame();
        ++frames_;
        Q_EMIT frameDrawn();
    }
}

void GlView::renderFrameAt(double timeMs) {
    if (beginFrame()) {
        renderer_->drawFrame(timeMs);
        ++frames_;
        Q_EMIT frameDrawn();
    }
}

renderer::DrawableSize GlView::drawableSize() const {
    const double ratio = window_.devicePixelRatio();
    return {window_.width() * ratio, window_.height() * ratio};
}

std::optional<unsigned int> GlView::currentDrawable() {
    if (!window_.isExposed()) {
        return std::nullopt;
    }
    return context_->defaultFramebufferObject();
}

void GlView::present() {
    // The overlay goes over the finished frame: the renderer hands the context over in GL's
    // defaults, and takes it back knowing nothing of what it held before.
    if (overlay_ != nullptr && overlay_->visible) {
        const renderer::DrawableSize size = drawableSize();
        renderer_->releaseGlState();
        overlayLayer_.draw(*overlay_, context_->defaultFramebufferObject(),
                           static_cast<int>(size.width), static_cast<int>(size.height));
        renderer_->resetGlState();
    }
    context_->swapBuffers(&window_);
}

} // namespace app
