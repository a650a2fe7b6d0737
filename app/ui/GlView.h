#pragma once

#include <QObject>
#include <QTimer>
#include <QWindow>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/ui/OverlayLayer.h"
#include "engine/Scene.h"
#include "renderer/RenderSurface.h"
#include "renderer/SceneRenderer.h"

class QOpenGLContext;

namespace app {

// The GL view of the wallpaper window: an OpenGL 3.3 core context on the window, the
// renderer made the first time the window is shown, and frames paced at the preferred rate.
//
// Frames come from one repeating precise timer that runs only while the view is unpaused
// and its window is on screen: a paused or hidden view costs no wake-up at all.
class GlView : public QObject, public renderer::RenderSurface {
    Q_OBJECT

  public:
    // Makes the renderer for `scene` once the context exists (in the context, current).
    using RendererFactory = std::function<std::unique_ptr<renderer::SceneRenderer>(
        renderer::RenderSurface&, std::shared_ptr<engine::Scene>)>;

    GlView(QWindow& window, std::shared_ptr<engine::Scene> scene, RendererFactory factory);
    ~GlView() override;

    // The wallpaper's renderer with the resources found beside the program.
    static RendererFactory kadrelRenderer(std::string resourcesRoot);

    // Run once, after the renderer is made.
    void setOnAppear(std::function<void()> callback) { onAppear_ = std::move(callback); }

    std::int64_t preferredFramesPerSecond() const noexcept { return fps_; }
    void setPreferredFramesPerSecond(std::int64_t fps);

    bool isPaused() const noexcept { return paused_; }
    void setPaused(bool paused);

    // The window became visible or hidden.
    void setExposed(bool exposed);

    // Whether frames are being scheduled now.
    bool isRunning() const { return timer_.isActive(); }
    std::uint64_t framesDrawn() const noexcept { return frames_; }
    // The frame interval the timer runs at, in milliseconds.
    int frameIntervalMs() const noexcept { return timer_.interval(); }

    const renderer::SceneRenderer* sceneRenderer() const noexcept { return renderer_.get(); }
    QOpenGLContext* context() const noexcept { return context_.get(); }

    // One frame now (the timer's work; tests call it directly).
    void renderFrame();
    // One frame at a given scene time in milliseconds, the same picture each time (tests).
    void renderFrameAt(double timeMs);

    // A picture laid over each frame (the clock), or none. It is read at every frame and
    // uploaded when its generation changes; it must outlive the view or be unset.
    void setOverlay(const OverlayImage* overlay) { overlay_ = overlay; }
    const OverlayLayer& overlayLayer() const noexcept { return overlayLayer_; }

    // Drivers may lose the GL context (a GPU reset, a suspend): then a new context and a new
    // renderer take over, with the same scene. Checked after a wake and whenever the context
    // cannot be made current.
    void recoverIfContextLost();
    // How many times the renderer was rebuilt after a loss.
    int recoveries() const noexcept { return recoveries_; }
    // Treats the context as lost from now on, as a driver reset would (for tests).
    void loseContextForTesting() { lostForTesting_ = true; }

    // RenderSurface
    renderer::DrawableSize drawableSize() const override;
    std::optional<unsigned int> currentDrawable() override;
    void present() override;

  Q_SIGNALS:
    void frameDrawn();
    // Frames started or stopped being scheduled.
    void runningChanged(bool running);

  private:
    void appear();
    void updateTimer();
    std::unique_ptr<QOpenGLContext> makeContext();
    bool contextLost() const;
    bool beginFrame();

    QWindow& window_;
    std::shared_ptr<engine::Scene> scene_;
    RendererFactory factory_;
    std::function<void()> onAppear_;
    std::unique_ptr<QOpenGLContext> context_;
    std::unique_ptr<renderer::SceneRenderer> renderer_;
    const OverlayImage* overlay_ = nullptr;
    OverlayLayer overlayLayer_;
    QTimer timer_;
    std::int64_t fps_ = 30;
    bool paused_ = false;
    bool exposed_ = false;
    std::uint64_t frames_ = 0;
    int recoveries_ = 0;
    bool lostForTesting_ = false;
};

// The timer interval for a frame rate: the nearest whole millisecond, at least 1.
int frameIntervalFor(std::int64_t fps);

} // namespace app
