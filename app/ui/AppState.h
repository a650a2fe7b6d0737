#pragma once

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

#include <cstdint>
#include <memory>
#include <vector>

#include "app/core/Defaults.h"
#include "app/core/EnableState.h"
#include "app/core/PowerSource.h"
#include "scene/kadrel/KadrelScene.h"

namespace app {

class DesktopWindow;
class DesktopWindowSystem;
class GlView;

// What the running program is: the wallpaper scene, its window and GL view, the tray icon
// and its menu, and every observer of the settings. Windows, the tray and (later) system
// services report here; this object decides, with the rules of app/core.
class AppState : public QObject {
    Q_OBJECT

  public:
    // The clock's look as the settings give it; the overlay reads it.
    struct ClockStyle {
        bool enabled = false;
        QString font;
        QString format;
        double opacity = 0.7;
        float size = 220.0F;
    };

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

    // The frame-rate rule with the stored "fps" (useSetting) or with `fps`.
    void updateFps(std::int64_t fps, bool useSetting);
    // Applies the enable state to the icon, the GL view and the window.
    void updateRenderingState();
    void applySceneSettings();
    void updateClockStyle();

    const EnableState& enableState() const noexcept { return enable_; }
    const ClockStyle& clockStyle() const noexcept { return clockStyle_; }
    QSystemTrayIcon* trayIcon() const noexcept { return tray_.get(); }
    DesktopWindow* desktopWindow() const noexcept { return window_.get(); }
    GlView* glView() const noexcept { return view_.get(); }
    QMenu& menu() noexcept { return menu_; }

  Q_SIGNALS:
    void settingsRequested();
    void aboutRequested();

  private:
    void setUpEvents();
    void rebuildMenu();
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
    ClockStyle clockStyle_;
    std::int64_t preferredFps_ = 30;

    // The power situation. Until the system's power services are followed, there is no
    // watcher: mains power and no low-power mode, as on a machine that reports neither.
    bool powerWatcherPresent_ = false;
    PowerSource powerSource_ = PowerSource::externalUnlimited;
    bool lowPowerModeOn_ = false;
};

} // namespace app
