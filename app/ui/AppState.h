#pragma once

#include <QMenu>
#include <QObject>
#include <QScreen>
#include <QSystemTrayIcon>

#include <cstdint>
#include <memory>
#include <vector>

#include "app/core/Defaults.h"
#include "app/core/EnableState.h"
#include "app/core/PowerSource.h"
#include "app/ui/ClockOverlay.h"
#include "scene/kadrel/KadrelScene.h"

namespace app {

class CoverageWatcher;
class DesktopWindow;
class DesktopWindowSystem;
class GlView;
class PowerProfilesWatcher;
class PowerSourceWatcher;
class ScreenLockWatcher;
class SleepWatcher;

// What the running program is: the wallpaper scene, its window and GL view, the tray icon
// and its menu, and every observer of the settings. Windows, the tray and (later) system
// services report here; this object decides, with the rules of app/core.
class AppState : public QObject {
    Q_OBJECT

  public:
    explicit AppState(Defaults& defaults, QObject* parent = nullptr);
    ~AppState() override;

    // Start-up's second half, on a later turn of the event loop: the tray icon, the desktop
    // window (hidden), then every observer.
    void start();

    // A second launch: the icon shows, and hides again after 5 s if the user hid it.
    void reopen();

    // Menu actions.
    void toggleManualDisable();
    void quit();
    // Glides to the next camera path (from the control interface).
    void nextCamera();

    // Why no frames are drawn now: "disabled", "screen locked", "covered", or empty while
    // the wallpaper runs.
    QString pauseReason() const;
    std::int64_t preferredFps() const noexcept { return preferredFps_; }

    // Whether the wallpaper's screen is hidden behind full-screen or maximised windows.
    void setCovered(bool covered);

    // The frame-rate rule with the stored "fps" (useSetting) or with `fps`.
    void updateFps(std::int64_t fps, bool useSetting);
    // Applies the enable state to the icon, the GL view and the window.
    void updateRenderingState();
    void applySceneSettings();
    void updateClockStyle();

    const EnableState& enableState() const noexcept { return enable_; }
    const ClockOverlay& clock() const noexcept { return clock_; }
    QSystemTrayIcon* trayIcon() const noexcept { return tray_.get(); }
    DesktopWindow* desktopWindow() const noexcept { return window_.get(); }
    GlView* glView() const noexcept { return view_.get(); }
    QMenu& menu() noexcept { return menu_; }

  Q_SIGNALS:
    void settingsRequested();
    void aboutRequested();
    // The system woke from sleep (monitors may have changed while it slept).
    void deviceWoke();

  private:
    void setUpEvents();
    void rebuildMenu();
    void applyPause();
    void woke();
    void hideMenuBarIconStep();
    QIcon trayIconImage(bool enabled) const;

    Defaults& defaults_;
    std::shared_ptr<kadrel::KadrelScene> scene_;
    std::unique_ptr<DesktopWindowSystem> windowSystem_;
    std::unique_ptr<DesktopWindow> window_;
    std::unique_ptr<GlView> view_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    QMenu menu_;
    std::vector<Subscription> subscriptions_;
    EnableState enable_;
    ClockOverlay clock_;
    std::int64_t preferredFps_ = 30;
    bool covered_ = false;

    // The system's services, each optional: without UPower there is no power watcher, without
    // the power profiles daemon no low-power mode, without logind and screen savers no lock.
    std::unique_ptr<PowerSourceWatcher> power_;
    std::unique_ptr<PowerProfilesWatcher> profiles_;
    std::unique_ptr<ScreenLockWatcher> lock_;
    std::unique_ptr<SleepWatcher> sleep_;
    // Full-screen and maximised windows over the wallpaper (X11 only; elsewhere never).
    std::unique_ptr<CoverageWatcher> coverage_;
};

} // namespace app
