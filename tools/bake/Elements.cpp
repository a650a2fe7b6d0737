#include "tools/bake/Elements.h"

namespace bake {

namespace {

float component(V3 v, int axis) {
    return axis == 0 ? v.x : (axis == 1 ? v.y : v.z);
}

V3 withComponent(V3 v, int axis, float value) {
    (axis == 0 ? v.x : (axis == 1 ? v.y : v.z)) = value;
    return v;
}

// The two world axes spanning the plane normal to `axis`, in increasing order.
std::array<int, 2> planeAxes(int axis) {
    if (axis == 0) {
        return {1, 2};
    }
    if (axis == 1) {
        return {0, 2};
    }
    return {0, 1};
}

} // namespace

Facing facingOf(int axis, bool positive) {
    static constexpr std::array<Facing, 6> table{Facing::NegX, Facing::PosX, Facing::NegY,
                                                 Facing::PosY, Facing::NegZ, Facing::PosZ};
    return table[static_cast<std::size_t>(axis * 2 + (positive ? 1 : 0))];
}

Rect boxFaceRect(V3 lo, V3 hi, int axis) {
    const auto [a, b] = planeAxes(axis);
    return {component(lo, a), component(lo, b), component(hi, a), component(hi, b)};
}

void addBox(Room& room, V3 lo, V3 hi, Finish finish, const FaceMask& mask, bool inward, int mesh,
            float detail) {
    for (int axis = 0; axis < 3; ++axis) {
        for (int side = 0; side < 2; ++side) {
            if (!mask[static_cast<std::size_t>(axis * 2 + side)]) {
                continue;
            }
            const bool maxSide = side == 1;
            const float at = component(maxSide ? hi : lo, axis);
            const bool positive = inward ? !maxSide : maxSide;
            room.patches.push_back(axisPatch(facingOf(axis, positive), at,
                                             {boxFaceRect(lo, hi, axis)}, finish, mesh, detail));
        }
    }
}

void addOpening(Room& room, Facing wallFacing, float at, float thickness, const Rect& hole,
                Finish finish, float detail) {
    const int axis = static_cast<int>(wallFacing) / 2;
    const bool positive = static_cast<int>(wallFacing) % 2 == 0;
    // The room lies on the side the wall faces; the outside is `thickness` behind it.
    const float outside = positive ? at - thickness : at + thickness;
    const auto [a, b] = planeAxes(axis);
    V3 lo{};
    V3 hi{};
    lo = withComponent(withComponent(withComponent(lo, a, hole.a0), b, hole.b0), axis,
                       std::min(at, outside));
    hi = withComponent(withComponent(withComponent(hi, a, hole.a1), b, hole.b1), axis,
                       std::max(at, outside));
    FaceMask mask{};
    mask[static_cast<std::size_t>(a * 2)] = mask[static_cast<std::size_t>(a * 2 + 1)] = true;
    mask[static_cast<std::size_t>(b * 2)] = mask[static_cast<std::size_t>(b * 2 + 1)] = true;
    addBox(room, lo, hi, finish, mask, true, 0, detail);

    // The portal spans the hole on the outer plane; its normal points into the room.
    V3 corner =
        withComponent(withComponent(withComponent(V3{}, a, hole.a0), b, hole.b0), axis, outside);
    V3 spanA = withComponent(V3{}, a, hole.a1 - hole.a0);
    V3 spanB = withComponent(V3{}, b, hole.b1 - hole.b0);
    const V3 inward = withComponent(V3{}, axis, positive ? 1.0F : -1.0F);
    if (dot(cross(spanA, spanB), inward) < 0.0F) {
        std::swap(spanA, spanB);
    }
    room.portals.push_back({corner, spanA, spanB});
}

void addOutside(Room& room, float groundZ, float far) {
    DecorQuad ground;
    ground.corners[0] = {-far, -far, groundZ};
    ground.corners[1] = {far, -far, groundZ};
    ground.corners[2] = {far, far, groundZ};
    ground.corners[3] = {-far, far, groundZ};
    ground.part = Outside::Ground;
    for (V2& uv : ground.uvs) {
        uv = {0.5F, 0.5F};
    }
    room.decor.push_back(ground);

    const V3 c[4] = {{-far, -far, 0}, {far, -far, 0}, {far, far, 0}, {-far, far, 0}};
    for (int k = 0; k < 4; ++k) {
        const V3 a = c[k];
        const V3 b = c[(k + 1) % 4];
        DecorQuad side;
        // Seen from inside: counter-clockwise means b at the bottom left.
        side.corners[0] = {b.x, b.y, groundZ};
        side.corners[1] = {a.x, a.y, groundZ};
        side.corners[2] = {a.x, a.y, far};
        side.corners[3] = {b.x, b.y, far};
        side.uvs[0] = {0.5F, 0.0F};
        side.uvs[1] = {0.5F, 0.0F};
        side.uvs[2] = {0.5F, 1.0F};
        side.uvs[3] = {0.5F, 1.0F};
        side.part = Outside::Sky;
        room.decor.push_back(side);
    }
    DecorQuad top;
    top.corners[0] = {-far, -far, far};
    top.corners[1] = {-far, far, far};
    top.corners[2] = {far, far, far};
    top.corners[3] = {far, -far, far};
    for (V2& uv : top.uvs) {
        uv = {0.5F, 1.0F};
    }
    top.part = Outside::Sky;
    room.decor.push_back(top);
}

void PlaneGroups::add(Facing facing, float at, const Rect& rect, Finish finish, float detail) {
    groups_[{static_cast<int>(facing), at, static_cast<int>(finish), detail}].push_back(rect);
}

void PlaneGroups::emit(Room& room, int mesh) {
    for (const auto& [key, rects] : groups_) {
        room.patches.push_back(axisPatch(static_cast<Facing>(std::get<0>(key)), std::get<1>(key),
                                         rects, static_cast<Finish>(std::get<2>(key)), mesh,
                                         std::get<3>(key)));
    }
    groups_.clear();
}

} // namespace bake
