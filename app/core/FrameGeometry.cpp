#include "app/core/FrameGeometry.h"

#include <algorithm>

namespace app {

int topPanelInset(const ScreenGeometry& screen) {
    const QRect& g = screen.geometry;
    const QRect& a = screen.available;
    // An available area outside the screen (or none) says nothing about a top panel.
    if (!a.isValid() || !g.isValid() || a.top() < g.top() || a.top() > g.bottom())
        return 0;
    return a.top() - g.top();
}

bool isMenuBarAutoHidden(const ScreenGeometry& screen) {
    return topPanelInset(screen) < kMenuBarHeightEstimate + 1;
}

QRect frameWithoutMenuBar(const ScreenGeometry& screen) {
    QRect frame = screen.geometry;
    if (isMenuBarAutoHidden(screen))
        return frame;
    // Shorter by (inset - 1) with the bottom edge kept: the top moves down, leaving one pixel
    // of the panel's strip covered.
    frame.setTop(frame.top() + std::max(topPanelInset(screen) - 1, 0));
    return frame;
}

QRect windowFrame(const ScreenGeometry& screen, bool extendBelowMenuBar) {
    if (extendBelowMenuBar)
        return screen.geometry;
    QRect frame = frameWithoutMenuBar(screen);
    frame.setTop(frame.top() - 1); // one pixel taller, upwards
    // Without a top panel the extra pixel would poke above the screen, and with a monitor
    // stacked above, a strip of wallpaper would show at the bottom of that monitor.
    return frame.intersected(screen.geometry);
}

std::optional<std::size_t> chooseScreen(const std::vector<QUuid>& screenDisplays,
                                        const std::optional<Display>& target,
                                        std::optional<std::size_t> primary) {
    if (screenDisplays.empty())
        return std::nullopt;
    if (target && !target->id.isNull()) {
        const auto it = std::find(screenDisplays.begin(), screenDisplays.end(), target->id);
        if (it != screenDisplays.end())
            return static_cast<std::size_t>(it - screenDisplays.begin());
    }
    if (primary && *primary < screenDisplays.size())
        return primary;
    return std::size_t{0};
}

} // namespace app
