#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>

#include "engine/camera/CameraState.h"
#include "engine/math/Random.h"
#include "scene/SimulatedClock.h"
#include "scene/kadrel/Cameras.h"
#include "scene/kadrel/KadrelScene.h"
#include "tests/scene/SceneTree.h"
#include "tests/support/AllocationCounter.h"

// A day of scene time takes a few seconds in an optimised build and about a minute under the
// sanitizers, so those builds play a shorter stretch and widen the statistical tolerance.
#if defined(__SANITIZE_ADDRESS__)
#define KADREL_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KADREL_SANITIZED 1
#endif
#endif

#ifdef KADREL_SANITIZED
constexpr double SIMULATED_HOURS = 2.0;
#else
constexpr double SIMULATED_HOURS = 24.0;
#endif

namespace {

// Distance from the eye to the nearest recorded path of a room.
double distanceToRoom(const engine::math::Vec3& eye, int room) {
    double best = INFINITY;
    for (const auto& pair : *kadrel::Cameras::CAMERAS()[static_cast<std::size_t>(room)]) {
        best = std::fmin(
            best, scenetest::distanceToSegment(eye, pair->start.position, pair->end.position));
    }
    return best;
}

} // namespace

// The wallpaper runs unattended for days: play a day of it at 30 frames per second with the
// host's settings and check that nothing drifts, degenerates or allocates.
TEST(KadrelSceneLongRun, ADayOfFramesStaysSound) {
    engine::math::Random::seed(20240607);
    kadrel::KadrelScene scene;
    scene.updateViewportSize(2560, 1440);
    kadrel::SimulatedClock clock(scene, 30.0, 3.5 * 86'400'000.0);
    const auto draws = scenetest::transformedDraws(scene.commands);
    const auto& animator = scene.cameraAnimator();
    const auto& eye = animator.positionInterpolator().cameraPosition();
    for (int i = 0; i < 10; ++i) {
        clock.step();
    }

    const std::int64_t frames = clock.framesFor(SIMULATED_HOURS * 3'600'000.0);
    std::int64_t badMatrices = 0, offPath = 0, wrongList = 0, notOnePath = 0, gliding = 0;
    std::int64_t still = 0, longestStill = 0, roomChanges = 0, cameraCuts = 0;
    std::array<std::int64_t, 2> roomFrames{};
    double worstDistance = 0.0;
    int room = scene.currentRoom();
    const void* pair = animator.currentCameraPair().get();
    auto lastEye = eye;
    std::size_t allocations = 0;
    {
        testsupport::AllocationCounter counter;
        for (std::int64_t f = 0; f < frames; ++f) {
            clock.step();
            for (const auto* draw : draws) {
                badMatrices += scenetest::allFinite(scenetest::floatsOf(draw->uniforms[0])) ? 0 : 1;
            }
            notOnePath += scene.commands[0]->enabled == scene.commands[1]->enabled ? 1 : 0;
            gliding += animator.state() == engine::camera::CameraState::ANIMATING ? 0 : 1;
            const int now = scene.currentRoom();
            if (now < 0) {
                ++offPath;
                continue;
            }
            wrongList += animator.cameras() == kadrel::Cameras::CAMERAS()[std::size_t(now)] ? 0 : 1;
            const double d = distanceToRoom(eye, now);
            worstDistance = std::fmax(worstDistance, d);
            offPath += d < 0.01 ? 0 : 1;
            ++roomFrames[std::size_t(now)];
            roomChanges += now != room ? 1 : 0;
            cameraCuts += now == room && animator.currentCameraPair().get() != pair ? 1 : 0;
            room = now;
            pair = animator.currentCameraPair().get();
            still = eye == lastEye ? still + 1 : 0;
            longestStill = std::max(still, longestStill);
            lastEye = eye;
        }
        allocations = counter.count();
    }

    EXPECT_EQ(allocations, 0U) << "the frame step must not allocate";
    EXPECT_EQ(badMatrices, 0) << "NaN or infinity in a draw's matrix";
    EXPECT_EQ(offPath, 0) << "eye off the shown room's paths by up to " << worstDistance;
    EXPECT_EQ(wrongList, 0) << "the camera plays another room's paths";
    EXPECT_EQ(notOnePath, 0) << "exactly one render path must be enabled";
    EXPECT_EQ(gliding, 0) << "automatic switching only cuts";
    EXPECT_LE(longestStill, 2) << "the camera stood still";
    EXPECT_GT(roomFrames[0], 0);
    EXPECT_GT(roomFrames[1], 0);

    // A pass lasts about 649 frames: 0.98 of 22 s, one frame in which a restarted path only
    // records the time, and on average two frames of drawing past the threshold; nearly
    // every pass ends in a cut, to the other room or to another path.
    const double tolerance = 0.03 * std::sqrt(24.0 / SIMULATED_HOURS);
    EXPECT_NEAR(double(roomChanges + cameraCuts) / (double(frames) / 649.0), 1.0, tolerance);
    // A pass leaves room 1 with chance 3/4 and room 2 with chance 1/4, so a visit lasts 4/3
    // passes in room 1 and 4 in room 2: room 1 gets a quarter of the time.
    const double share1 = double(roomFrames[0]) / double(roomFrames[0] + roomFrames[1]);
    EXPECT_NEAR(share1, 0.25, tolerance);
    RecordProperty("room1Share", std::to_string(share1));
    RecordProperty("roomChanges", std::to_string(roomChanges));
    RecordProperty("cameraCuts", std::to_string(cameraCuts));
}
