#pragma once

#include <QTimer>
#include <QWindow>

#include <optional>
#include <vector>

#include "app/core/Defaults.h"
#include "app/core/Display.h"

namespace app {

class DesktopWindowSystem;

// The borderless window the wallpaper is drawn into. It sits behind every application
// window on its target display, is skipped by task bars and pagers, never takes the focus
// and lets every click through to whatever the desktop has there.
//
// It covers its target display minus the display's top panel, and moves when screens are
// added, removed or resized: to the target display when it is connected, otherwise to the
// primary screen until the target comes back.
class DesktopWindow : public QWindow {
    Q_OBJECT

  public:
    DesktopWindow(Defaults& defaults, DesktopWindowSystem& windowSystem);
    ~DesktopWindow() override;

    const std::optional<Display>& targetDisplay() const noexcept { return targetDisplay_; }
    void setTargetDisplay(std::optional<Display> display);

    // Places the window on the screen it should cover now.
    void setFrameForTargetDisplay();

    // On every workspace, or on the current one only.
    void setShowOnAllSpaces(bool all);

    // Shows the window at the desktop level, or takes it off the screen (it is kept).
    void orderFront();
    void orderOut();

    // The screen the window covers, or null when there is none.
    QScreen* targetScreen() const;

  Q_SIGNALS:
    // The window became visible on screen or stopped being visible (hidden, unmapped).
    void exposedChanged(bool exposed);

  protected:
    void exposeEvent(QExposeEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void watchScreen(QScreen* screen);

    Defaults& defaults_;
    DesktopWindowSystem& windowSystem_;
    std::optional<Display> targetDisplay_;
    bool showOnAllSpaces_ = true;
    bool exposed_ = false;
    // Screen changes come in bursts (a monitor switched on adds a screen, resizes the
    // virtual desktop and moves the work area): place the window once after the burst.
    QTimer placeTimer_;
    std::vector<Subscription> subscriptions_;
};

// The display identity of a connected screen, from what its EDID says (or its connector).
QUuid displayIdOf(const QScreen& screen);

} // namespace app
