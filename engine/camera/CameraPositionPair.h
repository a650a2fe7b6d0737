#pragma once

#include <memory>
#include <vector>

#include "engine/camera/CameraPosition.h"

namespace engine::camera {

// A straight camera path from start to end. Shared by std::shared_ptr and compared by
// identity; scenes derive their own path classes from it (hence the virtual destructor).
// speedMultiplier is carried for scenes; the engine does not read it.
class CameraPositionPair {
  public:
    CameraPosition start;
    CameraPosition end;
    float speedMultiplier = 1.0F;

    CameraPositionPair(const CameraPosition& from, const CameraPosition& to, float multiplier)
        : start(from), end(to), speedMultiplier(multiplier) {}

    CameraPositionPair(const CameraPositionPair&) = default;
    CameraPositionPair& operator=(const CameraPositionPair&) = default;
    virtual ~CameraPositionPair() = default;
};

using CameraPositionPairPtr = std::shared_ptr<CameraPositionPair>;

// A list of paths as the animator takes it: shared, never copied, never modified through it.
using CameraPathList = std::vector<CameraPositionPairPtr>;
using CameraPathListPtr = std::shared_ptr<const CameraPathList>;

} // namespace engine::camera
