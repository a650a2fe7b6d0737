#pragma once

#include <QAbstractNativeEventFilter>
#include <QRect>
#include <QTimer>

#include <xcb/xcb.h>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "app/core/Coverage.h"
#include "app/platform/CoverageWatcher.h"

namespace app {

// What covers the wallpaper on X11, from what the window manager publishes (EWMH): its list
// of managed windows, each window's state (full screen, maximised, hidden), workspace, frame
// extents and geometry, the current workspace and the work area left free by panels.
//
// Everything is driven by X events on Qt's own connection: property changes on the root and
// on each managed window, and their configure, map and unmap notifications. A burst of events
// (a window going full screen changes its state, then its size, then its frame) leads to one
// recompute on the next turn of the event loop. Only windows whose events said something
// changed are read again, with the requests of one pass sent before any reply is awaited.
//
// Windows that are not X11 windows (native Wayland windows beside XWayland) are not in the
// window manager's list: they never count as covering.
class X11CoverageWatcher final : public CoverageWatcher, public QAbstractNativeEventFilter {
  public:
    explicit X11CoverageWatcher(xcb_connection_t* connection, QObject* parent = nullptr);
    ~X11CoverageWatcher() override;
    X11CoverageWatcher(const X11CoverageWatcher&) = delete;
    X11CoverageWatcher& operator=(const X11CoverageWatcher&) = delete;

    void watch(QWindow* wallpaper) override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    struct Atoms {
        xcb_atom_t clientList = XCB_NONE;
        xcb_atom_t currentDesktop = XCB_NONE;
        xcb_atom_t workArea = XCB_NONE;
        xcb_atom_t wmState = XCB_NONE;
        xcb_atom_t wmDesktop = XCB_NONE;
        xcb_atom_t frameExtents = XCB_NONE;
        xcb_atom_t fullscreen = XCB_NONE;
        xcb_atom_t maximizedVert = XCB_NONE;
        xcb_atom_t maximizedHorz = XCB_NONE;
        xcb_atom_t hidden = XCB_NONE;
        xcb_atom_t shaded = XCB_NONE;
    };

    struct Client {
        ClientWindow window;
        bool dirty = true;     // its properties or geometry are to be read again
        bool selected = false; // this connection hears its events
        // The event mask this connection had on the window before it was watched, restored
        // when watching ends; unset where nothing had to be added (Qt's own windows).
        std::optional<std::uint32_t> maskBefore;
    };

    void scheduleRecompute();
    void recompute();
    void readRoot();
    void readClientList();
    void selectOnNewClients();
    void readDirtyClients();
    void forget(xcb_window_t window, const Client& client);
    void stopWatching();

    xcb_connection_t* connection_;
    Atoms atoms_;
    xcb_window_t root_ = XCB_NONE;
    xcb_window_t wallpaper_ = XCB_NONE;
    std::optional<std::uint32_t> rootMaskBefore_;

    std::map<xcb_window_t, Client> clients_;
    bool listDirty_ = true;
    bool rootDirty_ = true;
    bool wallpaperDirty_ = true;
    bool haveClientList_ = false;
    std::uint32_t currentDesktop_ = 0;
    std::vector<QRect> workAreas_; // one per workspace, device pixels
    QRect wallpaperFrame_;         // device pixels of the root

    QTimer recompute_;
};

} // namespace app
