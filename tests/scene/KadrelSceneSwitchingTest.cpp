#include <gtest/gtest.h>

#include <cmath>

#include "engine/camera/CameraState.h"
#include "engine/math/Random.h"
#include "scene/SimulatedClock.h"
#include "scene/kadrel/Cameras.h"
#include "scene/kadrel/KadrelScene.h"
#include "tests/scene/SceneTree.h"

using engine::camera::CameraState;
using engine::math::Random;
using kadrel::Cameras;
using kadrel::KadrelScene;
using scenetest::findNamed;

namespace {

// Whether the shared generator was drawn from since seed(value).
bool untouchedSince(std::uint64_t value) {
    const float next = Random::nextFloat();
    Random::seed(value);
    return next == Random::nextFloat();
}

} // namespace

TEST(KadrelSceneSwitching, AutoSwitchDrawsOnlyPastTheThreshold) {
    KadrelScene scene;
    auto& interpolator = scene.cameraAnimator().positionInterpolator();

    // The float just below 0.98 never qualifies, however often the check runs; switched
    // off, even a path at its very end stays.
    for (const bool autoSwitch : {true, false}) {
        scene.settings().autoSwitchCameras = autoSwitch;
        interpolator.setTimer(autoSwitch ? std::nextafter(0.98F, 0.0F) : 0.999F);
        Random::seed(11);
        for (int i = 0; i < 100; ++i) {
            scene.applySettings();
        }
        EXPECT_TRUE(untouchedSince(11)) << "autoSwitch " << autoSwitch;
    }

    // The float nearest 0.98 lies above the double 0.98; a draw below one half then cuts,
    // which restarts the progress.
    scene.settings().autoSwitchCameras = true;
    interpolator.setTimer(0.98F);
    int checks = 0;
    while (scene.cameraAnimator().timer() == 0.98F && checks++ < 64) {
        scene.applySettings();
    }
    EXPECT_EQ(scene.cameraAnimator().timer(), 0.0F);

    // Without switching, the first path plays back and forth: three turns in 70 s.
    KadrelScene still;
    still.settings().autoSwitchCameras = false;
    kadrel::SimulatedClock clock(still, 30.0, 1'000'000.0);
    const auto& path0 = *Cameras::CAMERAS()[1]->at(0);
    const auto& camera = still.cameraAnimator().positionInterpolator();
    int turns = 0;
    double worst = 0.0;
    for (bool reverse = false; clock.framesRun() < 70 * 30; reverse = camera.reverse) {
        clock.step();
        turns += camera.reverse != reverse ? 1 : 0;
        worst = std::fmax(worst,
                          scenetest::distanceToSegment(camera.cameraPosition(),
                                                       path0.start.position, path0.end.position));
    }
    EXPECT_EQ(turns, 3);
    EXPECT_EQ(still.cameraAnimator().currentCameraIndex(), 0);
    EXPECT_LT(worst, 0.01);
}

TEST(KadrelSceneSwitching, CutsLeaveTheSmallRoomMoreOften) {
    Random::seed(31);
    KadrelScene scene;
    auto& animator = scene.cameraAnimator();
    const auto* bloom1 = findNamed(scene.commands, "bloom1");
    const auto* bloom2 = findNamed(scene.commands, "bloom2");
    int left[2] = {0, 0};
    int stayed[2] = {0, 0};
    int reversed = 0;
    for (int i = 0; i < 4000; ++i) {
        const int room = scene.currentRoom();
        const auto* pair = animator.currentCameraPair().get();
        const bool reverse = animator.positionInterpolator().reverse;
        scene.randomCameraOrNextRoom();
        const int now = scene.currentRoom();
        ASSERT_TRUE(bloom1->enabled == (now == 0) && bloom2->enabled == (now == 1))
            << "room and bloom pass change together";
        ASSERT_EQ(animator.cameras(), Cameras::CAMERAS()[std::size_t(now)]);
        ASSERT_NE(animator.currentCameraPair().get(), pair) << "a cut always changes the path";
        if (now != room) {
            ++left[room];
            // A room change cuts onto a random path other than the list's first and keeps
            // the direction of travel.
            EXPECT_NE(animator.currentCameraIndex(), 0);
            EXPECT_EQ(animator.positionInterpolator().reverse, reverse);
        } else {
            ++stayed[room];
            reversed += animator.positionInterpolator().reverse ? 1 : 0;
        }
    }
    EXPECT_NEAR(double(left[0]) / (left[0] + stayed[0]), 0.75, 0.05);
    EXPECT_NEAR(double(left[1]) / (left[1] + stayed[1]), 0.25, 0.05);
    EXPECT_NEAR(double(reversed) / (stayed[0] + stayed[1]), 0.5, 0.05);

    // With neither room shown there is nothing to swap.
    findNamed(scene.commands, scene.currentRoom() == 0 ? "room1" : "room2")->enabled = false;
    const auto list = animator.cameras();
    scene.nextRoom();
    EXPECT_EQ(scene.currentRoom(), -1);
    EXPECT_EQ(animator.cameras(), list);
}

TEST(KadrelSceneSwitching, GlidesBlockTheRandomChoicesUntilTheyEnd) {
    Random::seed(41);
    KadrelScene scene;
    kadrel::SimulatedClock clock(scene, 30.0, 2'000'000.0);
    auto& animator = scene.cameraAnimator();
    clock.step();
    scene.nextCamera();
    ASSERT_EQ(animator.state(), CameraState::TRANSITIONING);
    scene.randomCameraOrNextRoom();
    scene.nextCameraOrRoom();
    EXPECT_TRUE(untouchedSince(41));
    EXPECT_EQ(animator.currentCameraIndex(), 1);
    EXPECT_EQ(scene.currentRoom(), 1);
    while (clock.framesRun() < 4 * 30) { // the glide lasts 3.5 s
        clock.step();
    }
    EXPECT_EQ(animator.state(), CameraState::ANIMATING);

    // nextCameraOrRoom either leaves the room or glides on.
    int roomChanges = 0;
    for (int i = 0; i < 200; ++i) {
        const int room = scene.currentRoom();
        scene.nextCameraOrRoom();
        roomChanges += scene.currentRoom() != room ? 1 : 0;
        if (scene.currentRoom() == room) {
            EXPECT_EQ(animator.state(), CameraState::TRANSITIONING);
            animator.setCameraState(CameraState::ANIMATING); // end the glide at once
        }
    }
    EXPECT_GT(roomChanges, 0);
    EXPECT_LT(roomChanges, 200);
}
