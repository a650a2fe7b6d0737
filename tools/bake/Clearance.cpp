#include "tools/bake/Clearance.h"

#include <algorithm>
#include <limits>

namespace bake {

namespace {

// Closest point on a triangle to a point (Ericson, Real-Time Collision Detection 5.1.5).
V3 closestOnTriangle(V3 p, const Triangle& t) {
    const V3 ab = t.b - t.a;
    const V3 ac = t.c - t.a;
    const V3 ap = p - t.a;
    const float d1 = dot(ab, ap);
    const float d2 = dot(ac, ap);
    if (d1 <= 0.0F && d2 <= 0.0F) {
        return t.a;
    }
    const V3 bp = p - t.b;
    const float d3 = dot(ab, bp);
    const float d4 = dot(ac, bp);
    if (d3 >= 0.0F && d4 <= d3) {
        return t.b;
    }
    const float vc = d1 * d4 - d3 * d2;
    if (vc <= 0.0F && d1 >= 0.0F && d3 <= 0.0F) {
        return t.a + ab * (d1 / (d1 - d3));
    }
    const V3 cp = p - t.c;
    const float d5 = dot(ab, cp);
    const float d6 = dot(ac, cp);
    if (d6 >= 0.0F && d5 <= d6) {
        return t.c;
    }
    const float vb = d5 * d2 - d1 * d6;
    if (vb <= 0.0F && d2 >= 0.0F && d6 <= 0.0F) {
        return t.a + ac * (d2 / (d2 - d6));
    }
    const float va = d3 * d6 - d5 * d4;
    if (va <= 0.0F && (d4 - d3) >= 0.0F && (d5 - d6) >= 0.0F) {
        return t.b + (t.c - t.b) * ((d4 - d3) / ((d4 - d3) + (d5 - d6)));
    }
    const float denom = 1.0F / (va + vb + vc);
    return t.a + ab * (vb * denom) + ac * (vc * denom);
}

// Squared distance between the segments p1q1 and p2q2 (Ericson 5.1.9).
float segmentSegmentDistance2(V3 p1, V3 q1, V3 p2, V3 q2) {
    const V3 d1 = q1 - p1;
    const V3 d2 = q2 - p2;
    const V3 r = p1 - p2;
    const float a = dot(d1, d1);
    const float e = dot(d2, d2);
    const float f = dot(d2, r);
    float s = 0.0F;
    float t = 0.0F;
    constexpr float eps = 1e-9F;
    if (a <= eps && e <= eps) {
        return dot(r, r);
    }
    if (a <= eps) {
        t = std::clamp(f / e, 0.0F, 1.0F);
    } else {
        const float c = dot(d1, r);
        if (e <= eps) {
            s = std::clamp(-c / a, 0.0F, 1.0F);
        } else {
            const float b = dot(d1, d2);
            const float denom = a * e - b * b;
            s = denom > eps ? std::clamp((b * f - c * e) / denom, 0.0F, 1.0F) : 0.0F;
            t = (b * s + f) / e;
            if (t < 0.0F) {
                t = 0.0F;
                s = std::clamp(-c / a, 0.0F, 1.0F);
            } else if (t > 1.0F) {
                t = 1.0F;
                s = std::clamp((b - c) / a, 0.0F, 1.0F);
            }
        }
    }
    const V3 diff = (p1 + d1 * s) - (p2 + d2 * t);
    return dot(diff, diff);
}

bool segmentPiercesTriangle(V3 p, V3 q, const Triangle& t) {
    const V3 n = cross(t.b - t.a, t.c - t.a);
    const float dp = dot(p - t.a, n);
    const float dq = dot(q - t.a, n);
    if ((dp > 0.0F && dq > 0.0F) || (dp < 0.0F && dq < 0.0F) || dp == dq) {
        return false;
    }
    const V3 x = p + (q - p) * (dp / (dp - dq));
    const V3 c0 = cross(t.b - t.a, x - t.a);
    const V3 c1 = cross(t.c - t.b, x - t.b);
    const V3 c2 = cross(t.a - t.c, x - t.c);
    return dot(c0, n) >= 0.0F && dot(c1, n) >= 0.0F && dot(c2, n) >= 0.0F;
}

} // namespace

float segmentTriangleDistance(V3 p, V3 q, const Triangle& t) {
    if (segmentPiercesTriangle(p, q, t)) {
        return 0.0F;
    }
    float best = std::min(length(p - closestOnTriangle(p, t)), length(q - closestOnTriangle(q, t)));
    best = std::min(best, std::sqrt(segmentSegmentDistance2(p, q, t.a, t.b)));
    best = std::min(best, std::sqrt(segmentSegmentDistance2(p, q, t.b, t.c)));
    best = std::min(best, std::sqrt(segmentSegmentDistance2(p, q, t.c, t.a)));
    return best;
}

std::vector<Triangle> patchTriangles(const Patch& patch) {
    std::vector<Triangle> out;
    for (std::size_t k = 0; k < patch.polygons.size(); ++k) {
        const auto& poly = patch.polygons[k];
        for (std::size_t v = 1; v + 1 < poly.size(); ++v) {
            out.push_back({patch.toWorld(poly[0], patch.offsetOf(k)),
                           patch.toWorld(poly[v], patch.offsetOf(k)),
                           patch.toWorld(poly[v + 1], patch.offsetOf(k))});
        }
    }
    return out;
}

float segmentClearance(V3 p, V3 q, std::span<const Triangle> triangles) {
    float best = std::numeric_limits<float>::max();
    for (const Triangle& t : triangles) {
        best = std::min(best, segmentTriangleDistance(p, q, t));
    }
    return best;
}

} // namespace bake
