#pragma once

#include <QWidget>

#include <vector>

#include "app/core/Autostart.h"
#include "app/core/Defaults.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QMessageBox;
class QSlider;
class QTabWidget;

namespace app {

// The settings window: three tabs (General, Scene, Clock), each control bound to its key both
// ways. A change is stored at once and reaches the wallpaper through the store's observers;
// a write from outside (a text editor, the command line) moves the control. There is no apply
// and no cancel. Closing the window keeps it for the next opening.
class SettingsWindow : public QWidget {
    Q_OBJECT

  public:
    SettingsWindow(Defaults& defaults, Autostart autostart, QWidget* parent = nullptr);
    ~SettingsWindow() override;

    // Shows the window on the General tab the first time, raises it afterwards.
    void present();

    // Re-reads the connected screens (they changed, or the system woke).
    void refreshDisplays();

    // The controls, for tests and screenshots.
    QTabWidget* tabs() const noexcept { return tabs_; }
    QCheckBox* launchAtLogin() const noexcept { return launchAtLogin_; }
    QComboBox* fps() const noexcept { return fps_; }
    QCheckBox* batteryMode() const noexcept { return batteryMode_; }
    QCheckBox* lowPowerMode() const noexcept { return lowPowerMode_; }
    QComboBox* display() const noexcept { return display_; }
    QCheckBox* showOnAllSpaces() const noexcept { return showOnAllSpaces_; }
    QCheckBox* pauseWhenCovered() const noexcept { return pauseWhenCovered_; }
    QCheckBox* hideMenuBarIcon() const noexcept { return hideMenuBarIcon_; }
    QCheckBox* vignette() const noexcept { return vignette_; }
    QSlider* speed() const noexcept { return speed_; }
    QCheckBox* clockEnabled() const noexcept { return clockEnabled_; }
    QComboBox* clockFont() const noexcept { return clockFont_; }
    QComboBox* clockFormat() const noexcept { return clockFormat_; }
    QSlider* clockOpacity() const noexcept { return clockOpacity_; }
    QSlider* clockSize() const noexcept { return clockSize_; }

  Q_SIGNALS:
    // The hide-icon alert was shown (once each time the switch goes on).
    void hideIconAlertShown();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QWidget* makeGeneralTab();
    QWidget* makeSceneTab();
    QWidget* makeClockTab();
    void fitToCurrentTab();
    void bind(QCheckBox* box, const Key<bool>& key);
    void bindChoice(QComboBox* box, const Key<QString>& key);
    void selectDisplay();
    void showHideIconAlert();

    Defaults& defaults_;
    Autostart autostart_;
    std::vector<Subscription> subscriptions_;
    QTabWidget* tabs_ = nullptr;
    QCheckBox* launchAtLogin_ = nullptr;
    QComboBox* fps_ = nullptr;
    QCheckBox* batteryMode_ = nullptr;
    QCheckBox* lowPowerMode_ = nullptr;
    QComboBox* display_ = nullptr;
    QCheckBox* showOnAllSpaces_ = nullptr;
    QCheckBox* pauseWhenCovered_ = nullptr;
    QCheckBox* hideMenuBarIcon_ = nullptr;
    QCheckBox* vignette_ = nullptr;
    QSlider* speed_ = nullptr;
    QLabel* speedValue_ = nullptr;
    QCheckBox* clockEnabled_ = nullptr;
    QComboBox* clockFont_ = nullptr;
    QComboBox* clockFormat_ = nullptr;
    QSlider* clockOpacity_ = nullptr;
    QLabel* opacityValue_ = nullptr;
    QSlider* clockSize_ = nullptr;
    QLabel* sizeValue_ = nullptr;
    QMessageBox* hideIconAlert_ = nullptr;
    bool shownOnce_ = false;
};

// The speed slider's steps: 0.5 to 3.0 by 0.25.
inline constexpr float SPEED_MIN = 0.5F;
inline constexpr float SPEED_STEP = 0.25F;
inline constexpr int SPEED_STEPS = 10;

} // namespace app
