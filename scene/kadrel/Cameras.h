#pragma once

#include <array>

#include "engine/camera/CameraPositionPair.h"
#include "scene/kadrel/CameraTable.h"

namespace kadrel {

// The recorded camera paths of the two rooms as the camera animator takes them, built once
// from CAMERA_TABLE on first use and never modified. Index 0 is room 1, index 1 room 2. A
// CameraPosition's rotation holds the look-at point here; the scene builds its own view
// matrix towards it.
class Cameras {
  public:
    Cameras() = delete;

    static const std::array<engine::camera::CameraPathListPtr, ROOM_COUNT>& CAMERAS();
};

} // namespace kadrel
