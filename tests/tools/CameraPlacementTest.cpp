// Putting the wallpaper's camera on a chosen path: the eye lands where the path says, the
// scene shows that room, and the camera stays on the path afterwards.

#include <gtest/gtest.h>

#include "engine/math/Random.h"
#include "scene/kadrel/CameraTable.h"
#include "scene/kadrel/Cameras.h"
#include "scene/kadrel/KadrelScene.h"
#include "tools/kadrel-render/CameraPlacement.h"

namespace kadrel_render {
namespace {

// The eye must sit on the recorded path at the progress, eased the way the scene's animator
// eases; the interpolation runs in float over coordinates up to about 2000: a few ulps.
void expectEyeAt(const kadrel::KadrelScene& scene, const CameraPlacement& p) {
    const kadrel::RecordedPath& path = kadrel::CAMERA_TABLE[static_cast<std::size_t>(p.room - 1)]
                                                           [static_cast<std::size_t>(p.path)];
    const kadrel::RecordedPoint& from = p.reverse ? path.endEye : path.startEye;
    const kadrel::RecordedPoint& to = p.reverse ? path.startEye : path.endEye;
    const auto c = static_cast<float>(p.progress);
    const float t = c * c * (3.0F - 2.0F * c);
    const auto& eye = scene.cameraAnimator().positionInterpolator().cameraPosition();
    EXPECT_NEAR(eye._x, from.x + t * (to.x - from.x), 0.01F);
    EXPECT_NEAR(eye._y, from.y + t * (to.y - from.y), 0.01F);
    EXPECT_NEAR(eye._z, from.z + t * (to.z - from.z), 0.01F);
}

TEST(CameraPlacementTest, TheEyeLandsOnTheRequestedPathAtTheRequestedProgress) {
    engine::math::Random::seed(7);
    // One scene for all of them, so that every placement starts from wherever the previous
    // one left the camera, as in a contact sheet: rooms change both ways.
    kadrel::KadrelScene scene;
    double time = 1000.0;
    const std::vector<CameraPlacement> placements{
        {1, 0, 0.0, false}, {1, 2, 0.25, false}, {1, 3, 1.0, false}, {2, 0, 0.5, false},
        {2, 5, 0.7, true},  {2, 8, 0.0, true},   {1, 1, 0.9, true},  {2, 4, 1.0, true},
    };
    for (const CameraPlacement& p : placements) {
        SCOPED_TRACE(testing::Message() << "room " << p.room << " path " << p.path);
        placeCamera(scene, p, time);
        scene.updateTimers(time);
        EXPECT_EQ(scene.currentRoom(), p.room - 1);
        EXPECT_EQ(scene.cameraAnimator().currentCameraIndex(), p.path);
        EXPECT_EQ(scene.cameraAnimator().cameras(),
                  kadrel::Cameras::CAMERAS()[static_cast<std::size_t>(p.room - 1)]);
        expectEyeAt(scene, p);
        time += 33.0;
    }
}

TEST(CameraPlacementTest, TheCameraStaysOnThePathAndMovesAlongItFromTheNextFrame) {
    engine::math::Random::seed(7);
    kadrel::KadrelScene scene;
    // A period other than the default: the scene's first frame would otherwise push it into
    // the animator and restart the path from its beginning, undoing the placement.
    scene.settings().cameraPeriod = 0.5F;
    const CameraPlacement placement{1, 2, 0.4, false};
    placeCamera(scene, placement, 5000.0);
    scene.updateTimers(5000.0);
    expectEyeAt(scene, placement);
    EXPECT_FALSE(scene.settings().autoSwitchCameras);

    // The path lasts 22 s x 0.5; 100 ms later the progress has moved on by 100 / 11000.
    scene.updateTimers(5100.0);
    EXPECT_NEAR(scene.cameraAnimator().timer(), 0.4 + 100.0 / 11000.0, 1e-5);

    // Several passes back and forth: no cut to another path or room ever happens.
    for (double t = 5200.0; t < 65'000.0; t += 1000.0 / 30.0) {
        scene.updateTimers(t);
        ASSERT_EQ(scene.currentRoom(), 0);
        ASSERT_EQ(scene.cameraAnimator().currentCameraIndex(), 2);
    }
}

} // namespace
} // namespace kadrel_render
