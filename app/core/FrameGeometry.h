#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include <QRect>
#include <QUuid>

#include "app/core/Display.h"

namespace app {

// A screen in Qt's coordinates (y grows downwards): its whole area and the part that panels
// leave free. A panel along the screen's top edge plays the role of a menu bar.
struct ScreenGeometry {
    QRect geometry;
    QRect available;
};

// Height of a menu bar that is there to stay; a thinner top strip counts as an auto-hiding
// panel (only its sliver is reserved).
inline constexpr int kMenuBarHeightEstimate = 24;

// Height the screen's top panel reserves (0 without one, or when the available area makes no
// sense for the screen).
int topPanelInset(const ScreenGeometry& screen);

// True when the screen's top panel is thinner than a menu bar (or absent): the wallpaper
// then covers the whole screen.
bool isMenuBarAutoHidden(const ScreenGeometry& screen);

// The screen without its top panel's strip, minus one pixel: the bottom edge stays where it
// is and the top moves down by (inset - 1). The whole screen when the panel auto-hides.
QRect frameWithoutMenuBar(const ScreenGeometry& screen);

// Where the wallpaper window goes on this screen: the whole screen when extending below the
// menu bar, otherwise frameWithoutMenuBar grown by one pixel upwards; always clamped to the
// screen.
QRect windowFrame(const ScreenGeometry& screen, bool extendBelowMenuBar);

// Index of the first screen whose display UUID is the target's; else the primary screen;
// nullopt when there are no screens. A null QUuid marks a screen without identity and
// matches nothing. A primary index out of range counts as absent (then the first screen).
std::optional<std::size_t> chooseScreen(const std::vector<QUuid>& screenDisplays,
                                        const std::optional<Display>& target,
                                        std::optional<std::size_t> primary);

} // namespace app
