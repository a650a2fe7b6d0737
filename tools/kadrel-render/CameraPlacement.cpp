#include "tools/kadrel-render/CameraPlacement.h"

#include "scene/kadrel/CameraTable.h"
#include "scene/kadrel/Cameras.h"
#include "scene/kadrel/KadrelSettings.h"

namespace kadrel_render {

std::size_t pathCount(int room) {
    if (room < 1 || room > static_cast<int>(kadrel::ROOM_COUNT)) {
        return 0;
    }
    return kadrel::CAMERA_TABLE[static_cast<std::size_t>(room - 1)].size();
}

void placeCamera(kadrel::KadrelScene& scene, const CameraPlacement& placement, double timeMs) {
    const auto roomIndex = placement.room - 1;
    if (pathCount(placement.room) == 0 || placement.path < 0 ||
        static_cast<std::size_t>(placement.path) >= pathCount(placement.room)) {
        return;
    }
    scene.settings().autoSwitchCameras = false;
    engine::camera::CameraPathAnimator& animator = scene.cameraAnimator();

    // The scene pushes a changed period into the animator on its next frame, and that
    // restarts the path: do it now, so that it cannot undo the placement.
    const float period = kadrel::effectiveCameraPeriod(scene.settings().cameraPeriod);
    if (animator.minDurationCoefficient() != period) {
        animator.setMinDurationCoefficient(period);
    }

    // Only the scene switches rooms (draw groups and bloom passes together); it lands on a
    // random path, which the list reset below replaces.
    if (scene.currentRoom() != roomIndex) {
        scene.nextRoom();
    }
    animator.setCameras(kadrel::Cameras::CAMERAS()[static_cast<std::size_t>(roomIndex)], false);
    animator.selectCamera(placement.path);

    engine::camera::CameraPositionInterpolator& interpolator = animator.positionInterpolator();
    interpolator.reverse = placement.reverse;
    interpolator.setTimer(placement.progress);
    // Count the path's time from the next frame: otherwise the interpolator would spend that
    // frame only recording the time, and a sequence would show its first picture twice.
    interpolator.iterate(timeMs);
}

} // namespace kadrel_render
