#include "tools/bake/Atlas.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace bake {

namespace {

struct Extent {
    V2 min;
    V2 max;
};

Extent extentOf(const Patch& patch) {
    Extent e{{1e30F, 1e30F}, {-1e30F, -1e30F}};
    for (const auto& polygon : patch.polygons) {
        for (V2 p : polygon) {
            e.min = {std::min(e.min.x, p.x), std::min(e.min.y, p.y)};
            e.max = {std::max(e.max.x, p.x), std::max(e.max.y, p.y)};
        }
    }
    return e;
}

// Whole texels across the extent, at least one, as near to `wanted` units each as possible.
int texelsAcross(float extent, float wanted) {
    return std::max(1, static_cast<int>(std::lround(extent / wanted)));
}

int roundUp(int v, int multiple) {
    return (v + multiple - 1) / multiple * multiple;
}

struct Sized {
    Chart chart;
    int order;
};

// Shelf packing, tallest first. Returns false when the charts do not fit.
bool shelfPack(std::vector<Sized>& items, int width, int height) {
    std::vector<Sized*> order;
    for (auto& item : items) {
        order.push_back(&item);
    }
    std::stable_sort(order.begin(), order.end(), [](const Sized* a, const Sized* b) {
        if (a->chart.height != b->chart.height) {
            return a->chart.height > b->chart.height;
        }
        return a->chart.width > b->chart.width;
    });
    int x = 0;
    int y = 0;
    int shelf = 0;
    for (Sized* item : order) {
        Chart& c = item->chart;
        if (c.width > width) {
            return false;
        }
        if (x + c.width > width) {
            x = 0;
            y += shelf;
            shelf = 0;
        }
        if (y + c.height > height) {
            return false;
        }
        c.x = x;
        c.y = y;
        x += c.width;
        shelf = std::max(shelf, c.height);
    }
    return true;
}

std::vector<Sized> sizeCharts(const Room& room, const AtlasRequest& request, float base) {
    std::vector<Sized> items;
    const int pad = request.padding;
    for (std::size_t i = 0; i < room.patches.size(); ++i) {
        const Extent e = extentOf(room.patches[i]);
        const float wanted = base / request.weights[i];
        Chart c;
        c.patch = static_cast<int>(i);
        c.planeMin = e.min;
        const int innerU = texelsAcross(e.max.x - e.min.x, wanted);
        const int innerV = texelsAcross(e.max.y - e.min.y, wanted);
        c.unitsPerTexelU = (e.max.x - e.min.x) / static_cast<float>(innerU);
        c.unitsPerTexelV = (e.max.y - e.min.y) / static_cast<float>(innerV);
        c.width = roundUp(innerU + 2 * pad, request.alignment);
        c.height = roundUp(innerV + 2 * pad, request.alignment);
        items.push_back({c, static_cast<int>(i)});
    }
    if (request.reservedSize > 0) {
        Chart c;
        c.width = c.height = roundUp(request.reservedSize, request.alignment);
        items.push_back({c, -1});
    }
    return items;
}

} // namespace

AtlasLayout packAtlas(const Room& room, const AtlasRequest& request) {
    if (request.weights.size() != room.patches.size() || request.alignment < 1) {
        throw std::invalid_argument("packAtlas: one weight per patch and a positive alignment");
    }
    // Search the base texel size: the smallest (densest) that still fits.
    float lo = 0.05F;
    float hi = 4096.0F;
    std::vector<Sized> best;
    for (int iteration = 0; iteration < 40; ++iteration) {
        const float mid = std::sqrt(lo * hi);
        std::vector<Sized> items = sizeCharts(room, request, mid);
        if (shelfPack(items, request.width, request.height)) {
            hi = mid;
            best = std::move(items);
        } else {
            lo = mid;
        }
    }
    if (best.empty()) {
        throw std::runtime_error("packAtlas: the charts of " + room.name + " do not fit");
    }
    AtlasLayout layout;
    layout.width = request.width;
    layout.height = request.height;
    layout.padding = request.padding;
    layout.baseUnitsPerTexel = hi;
    layout.charts.resize(room.patches.size());
    for (const Sized& item : best) {
        if (item.order < 0) {
            layout.reserved = item.chart;
        } else {
            layout.charts[static_cast<std::size_t>(item.order)] = item.chart;
        }
    }
    return layout;
}

} // namespace bake
