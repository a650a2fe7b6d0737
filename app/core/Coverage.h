#pragma once

#include <QRect>

#include <cstdint>
#include <vector>

namespace app {

// Another application's top-level window as the window manager describes it: its frame
// (decorations included) in device pixels of the root window, and the states that decide
// whether it hides what lies behind it.
struct ClientWindow {
    QRect frame;
    bool fullscreen = false;
    bool maximizedVert = false;
    bool maximizedHorz = false;
    // Minimised, shaded or not mapped: it shows nothing.
    bool hidden = false;
    bool onAllDesktops = false;
    std::uint32_t desktop = 0;
};

// Whether the windows on the current workspace hide all of `visibleArea`. Only full-screen
// windows and windows maximised both ways count: an ordinary window the user put over the
// whole screen by hand is left out, since the user may move it any moment and the next frame
// must then be there. An empty area is never covered.
bool isCovered(const QRect& visibleArea, const std::vector<ClientWindow>& windows,
               std::uint32_t currentDesktop);

} // namespace app
