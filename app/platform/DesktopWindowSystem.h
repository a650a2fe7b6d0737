#pragma once

#include <QWindow>

#include <memory>

namespace app {

// What the wallpaper window needs from the window system beyond Qt's own API: to be the
// desktop (behind every window, left out of task bars and pagers, never focused) and to be
// on every workspace or on the current one only.
//
// The base class is the window system that offers neither (Wayland without XWayland, Qt's
// offscreen platform): the window is then an ordinary frameless window.
class DesktopWindowSystem {
  public:
    virtual ~DesktopWindowSystem() = default;

    // Marks `window` as the desktop before it is mapped. The window manager forgets a
    // window's state when it is unmapped, so this runs before every show.
    virtual void prepareDesktopWindow(QWindow& window, bool allWorkspaces) {
        (void)window, (void)allWorkspaces;
    }
    // Puts a mapped window on every workspace, or on the current one only.
    virtual void setOnAllWorkspaces(QWindow& window, bool allWorkspaces) {
        (void)window, (void)allWorkspaces;
    }

    // The implementation for the platform the application runs on.
    static std::unique_ptr<DesktopWindowSystem> forCurrentPlatform();
};

} // namespace app
