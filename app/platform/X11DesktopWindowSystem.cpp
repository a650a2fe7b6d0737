#include "app/platform/X11DesktopWindowSystem.h"

#include <QGuiApplication>

#include <cstdlib>
#include <vector>

namespace app {

namespace {

constexpr std::uint32_t ALL_DESKTOPS = 0xFFFFFFFF;

xcb_window_t xcbWindow(QWindow& window) {
    return static_cast<xcb_window_t>(window.winId());
}

} // namespace

std::unique_ptr<DesktopWindowSystem> DesktopWindowSystem::forCurrentPlatform() {
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
            if (xcb_connection_t* connection = x11->connection()) {
                return std::make_unique<X11DesktopWindowSystem>(connection);
            }
        }
    }
    return std::make_unique<DesktopWindowSystem>();
}

X11DesktopWindowSystem::X11DesktopWindowSystem(xcb_connection_t* connection)
    : connection_(connection) {
    xcb_intern_atom_cookie_t* cookies = xcb_ewmh_init_atoms(connection_, &ewmh_);
    ready_ = xcb_ewmh_init_atoms_replies(&ewmh_, cookies, nullptr) != 0;
}

X11DesktopWindowSystem::~X11DesktopWindowSystem() {
    if (ready_) {
        xcb_ewmh_connection_wipe(&ewmh_);
    }
}

void X11DesktopWindowSystem::prepareDesktopWindow(QWindow& window, bool allWorkspaces) {
    if (!ready_) {
        return;
    }
    const xcb_window_t id = xcbWindow(window);
    xcb_atom_t type = ewmh_._NET_WM_WINDOW_TYPE_DESKTOP;
    xcb_ewmh_set_wm_window_type(&ewmh_, id, 1, &type);

    // Qt merges its own states into this list when it maps the window, so these survive.
    std::vector<xcb_atom_t> states{ewmh_._NET_WM_STATE_BELOW, ewmh_._NET_WM_STATE_SKIP_TASKBAR,
                                   ewmh_._NET_WM_STATE_SKIP_PAGER};
    if (allWorkspaces) {
        states.push_back(ewmh_._NET_WM_STATE_STICKY);
    }
    xcb_ewmh_set_wm_state(&ewmh_, id, static_cast<std::uint32_t>(states.size()), states.data());
    xcb_ewmh_set_wm_desktop(&ewmh_, id, allWorkspaces ? ALL_DESKTOPS : currentDesktop());
    xcb_flush(connection_);
}

void X11DesktopWindowSystem::setOnAllWorkspaces(QWindow& window, bool allWorkspaces) {
    if (!ready_) {
        return;
    }
    const xcb_window_t id = xcbWindow(window);
    if (!window.isVisible()) {
        // Not mapped: the window manager reads the properties when the window is shown.
        xcb_ewmh_set_wm_desktop(&ewmh_, id, allWorkspaces ? ALL_DESKTOPS : currentDesktop());
        xcb_flush(connection_);
        return;
    }
    // A mapped window's state belongs to the window manager: ask it.
    xcb_ewmh_request_change_wm_desktop(&ewmh_, 0, id,
                                       allWorkspaces ? ALL_DESKTOPS : currentDesktop(),
                                       XCB_EWMH_CLIENT_SOURCE_TYPE_NORMAL);
    xcb_ewmh_request_change_wm_state(
        &ewmh_, 0, id, allWorkspaces ? XCB_EWMH_WM_STATE_ADD : XCB_EWMH_WM_STATE_REMOVE,
        ewmh_._NET_WM_STATE_STICKY, XCB_ATOM_NONE, XCB_EWMH_CLIENT_SOURCE_TYPE_NORMAL);
    xcb_flush(connection_);
}

std::uint32_t X11DesktopWindowSystem::currentDesktop() {
    std::uint32_t desktop = 0;
    xcb_get_property_cookie_t cookie = xcb_ewmh_get_current_desktop(&ewmh_, 0);
    if (xcb_ewmh_get_current_desktop_reply(&ewmh_, cookie, &desktop, nullptr) == 0) {
        return 0; // no workspaces announced: the first is the only one
    }
    return desktop;
}

} // namespace app
