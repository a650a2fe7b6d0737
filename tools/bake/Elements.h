#pragma once

#include "tools/bake/Geometry.h"

#include <array>
#include <map>
#include <tuple>

namespace bake {

// Which faces of an axis-aligned box to build, in the order -x, +x, -y, +y, -z, +z.
using FaceMask = std::array<bool, 6>;
inline constexpr FaceMask ALL_FACES{true, true, true, true, true, true};
inline constexpr FaceMask NO_BOTTOM{true, true, true, true, false, true};
inline constexpr FaceMask SIDES_ONLY{true, true, true, true, false, false};

// The faces of the box [lo, hi]. Outward faces make a solid (a column, a beam); inward
// faces make a hollow seen from inside (a coffer, a light shaft, the reveal of an opening).
void addBox(Room& room, V3 lo, V3 hi, Finish finish, const FaceMask& mask = ALL_FACES,
            bool inward = false, int mesh = 0, float detail = 1.0F);

// The world rectangle that a box face covers, in the two world axes of its plane.
Rect boxFaceRect(V3 lo, V3 hi, int axis);

// An opening through a wall: the four reveals of the hole, cut `thickness` deep behind the
// wall face at `at`, and the daylight portal on the far side. `hole` is in the wall plane's
// world axes. Used for windows, doors to the outside and skylights alike.
void addOpening(Room& room, Facing wallFacing, float at, float thickness, const Rect& hole,
                Finish finish, float detail = 1.0F);

// Collects rectangles per plane so that many small coplanar faces (the sides of a row of
// coffers) share one chart instead of each taking its own padded chart.
class PlaneGroups {
  public:
    void add(Facing facing, float at, const Rect& rect, Finish finish, float detail = 1.0F);
    void emit(Room& room, int mesh = 0);

  private:
    using Key = std::tuple<int, float, int, float>;
    std::map<Key, std::vector<Rect>> groups_;
};

Facing facingOf(int axis, bool positive);

// The world beyond the openings, in mesh 0 of the room: a ground plane at `groundZ` out to
// `far` around the origin and an inward sky box over it, `far` high. Seen through any
// opening it gives a horizon between the sunlit ground and a graded sky.
void addOutside(Room& room, float groundZ, float far);

} // namespace bake
