#include "tools/bake/Geometry.h"

#include <algorithm>

namespace bake {

namespace {

struct Frame {
    V3 origin;
    V3 u;
    V3 v;
    float uSign; // plane u = uSign * first world axis
    float vSign; // plane v = vSign * second world axis
};

Frame frameFor(Facing facing, float at) {
    switch (facing) {
    case Facing::PosX:
        return {{at, 0, 0}, {0, 1, 0}, {0, 0, 1}, 1, 1};
    case Facing::NegX:
        return {{at, 0, 0}, {0, -1, 0}, {0, 0, 1}, -1, 1};
    case Facing::PosY:
        return {{0, at, 0}, {-1, 0, 0}, {0, 0, 1}, -1, 1};
    case Facing::NegY:
        return {{0, at, 0}, {1, 0, 0}, {0, 0, 1}, 1, 1};
    case Facing::PosZ:
        return {{0, 0, at}, {1, 0, 0}, {0, 1, 0}, 1, 1};
    case Facing::NegZ:
        break;
    }
    return {{0, 0, at}, {1, 0, 0}, {0, -1, 0}, 1, -1};
}

} // namespace

Patch axisPatch(Facing facing, float at, const std::vector<Rect>& rects, Finish finish, int mesh,
                float detail) {
    const Frame f = frameFor(facing, at);
    Patch patch;
    patch.origin = f.origin;
    patch.uAxis = f.u;
    patch.vAxis = f.v;
    patch.finish = finish;
    patch.mesh = mesh;
    patch.detail = detail;
    for (const Rect& r : rects) {
        const float u0 = std::min(r.a0 * f.uSign, r.a1 * f.uSign);
        const float u1 = std::max(r.a0 * f.uSign, r.a1 * f.uSign);
        const float v0 = std::min(r.b0 * f.vSign, r.b1 * f.vSign);
        const float v1 = std::max(r.b0 * f.vSign, r.b1 * f.vSign);
        if (u1 <= u0 || v1 <= v0) {
            continue;
        }
        patch.polygons.push_back({{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}});
    }
    return patch;
}

std::vector<Rect> rectsAroundHoles(const Rect& outer, const std::vector<Rect>& holes) {
    std::vector<float> as{outer.a0, outer.a1};
    std::vector<float> bs{outer.b0, outer.b1};
    for (const Rect& h : holes) {
        for (float a : {h.a0, h.a1}) {
            if (a > outer.a0 && a < outer.a1) {
                as.push_back(a);
            }
        }
        for (float b : {h.b0, h.b1}) {
            if (b > outer.b0 && b < outer.b1) {
                bs.push_back(b);
            }
        }
    }
    std::sort(as.begin(), as.end());
    as.erase(std::unique(as.begin(), as.end()), as.end());
    std::sort(bs.begin(), bs.end());
    bs.erase(std::unique(bs.begin(), bs.end()), bs.end());

    std::vector<Rect> cells;
    for (std::size_t j = 0; j + 1 < bs.size(); ++j) {
        for (std::size_t i = 0; i + 1 < as.size(); ++i) {
            const float ca = 0.5F * (as[i] + as[i + 1]);
            const float cb = 0.5F * (bs[j] + bs[j + 1]);
            const bool inHole = std::any_of(holes.begin(), holes.end(), [&](const Rect& h) {
                return ca > h.a0 && ca < h.a1 && cb > h.b0 && cb < h.b1;
            });
            if (!inHole) {
                cells.push_back({as[i], bs[j], as[i + 1], bs[j + 1]});
            }
        }
    }
    return cells;
}

} // namespace bake
