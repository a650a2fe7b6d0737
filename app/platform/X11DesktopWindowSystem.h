#pragma once

#include <xcb/xcb_ewmh.h>

#include "app/platform/DesktopWindowSystem.h"

namespace app {

// The desktop window on X11 through the window manager hints every current X11 window
// manager reads (EWMH): window type DESKTOP, state BELOW, SKIP_TASKBAR and SKIP_PAGER, and
// the desktop number "all" (0xFFFFFFFF) together with state STICKY for every workspace.
class X11DesktopWindowSystem final : public DesktopWindowSystem {
  public:
    explicit X11DesktopWindowSystem(xcb_connection_t* connection);
    ~X11DesktopWindowSystem() override;
    X11DesktopWindowSystem(const X11DesktopWindowSystem&) = delete;
    X11DesktopWindowSystem& operator=(const X11DesktopWindowSystem&) = delete;

    void prepareDesktopWindow(QWindow& window, bool allWorkspaces) override;
    void setOnAllWorkspaces(QWindow& window, bool allWorkspaces) override;

  private:
    std::uint32_t currentDesktop();

    xcb_connection_t* connection_;
    xcb_ewmh_connection_t ewmh_{};
    bool ready_ = false;
};

} // namespace app
