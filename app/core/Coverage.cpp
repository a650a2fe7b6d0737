#include "app/core/Coverage.h"

#include <algorithm>

namespace app {

namespace {

// A rectangle by its edges, right and bottom exclusive: cutting is plain arithmetic then.
struct Box {
    long long left, top, right, bottom;
    bool empty() const { return left >= right || top >= bottom; }
};

Box boxOf(const QRect& r) {
    return {r.x(), r.y(), static_cast<long long>(r.x()) + r.width(),
            static_cast<long long>(r.y()) + r.height()};
}

// Replaces `pieces` by what of them lies outside `cut`: each piece that meets it leaves up to
// four, above, below, left and right of it, and the pieces stay disjoint.
void subtract(std::vector<Box>& pieces, const Box& cut) {
    std::vector<Box> rest;
    rest.reserve(pieces.size());
    for (const Box& p : pieces) {
        const Box overlap{std::max(p.left, cut.left), std::max(p.top, cut.top),
                          std::min(p.right, cut.right), std::min(p.bottom, cut.bottom)};
        if (overlap.empty()) {
            rest.push_back(p);
            continue;
        }
        for (const Box& b : {Box{p.left, p.top, p.right, overlap.top},
                             Box{p.left, overlap.bottom, p.right, p.bottom},
                             Box{p.left, overlap.top, overlap.left, overlap.bottom},
                             Box{overlap.right, overlap.top, p.right, overlap.bottom}}) {
            if (!b.empty()) {
                rest.push_back(b);
            }
        }
    }
    pieces.swap(rest);
}

} // namespace

bool isCovered(const QRect& visibleArea, const std::vector<ClientWindow>& windows,
               std::uint32_t currentDesktop) {
    if (visibleArea.isEmpty()) {
        return false;
    }
    std::vector<Box> uncovered{boxOf(visibleArea)};
    for (const ClientWindow& window : windows) {
        const bool fills = window.fullscreen || (window.maximizedVert && window.maximizedHorz);
        const bool here = window.onAllDesktops || window.desktop == currentDesktop;
        if (!fills || window.hidden || !here || window.frame.isEmpty()) {
            continue;
        }
        subtract(uncovered, boxOf(window.frame));
        if (uncovered.empty()) {
            return true;
        }
    }
    return false;
}

} // namespace app
