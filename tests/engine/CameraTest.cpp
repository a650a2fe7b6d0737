#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "engine/Errors.h"
#include "engine/camera/CameraPathAnimator.h"
#include "tests/support/AllocationCounter.h"

namespace {

using namespace engine::camera;
using engine::math::Vec3;

CameraPositionPairPtr path(Vec3 from, Vec3 to, Vec3 fromRotation = {}, Vec3 toRotation = {}) {
    return std::make_shared<CameraPositionPair>(CameraPosition(from, fromRotation),
                                                CameraPosition(to, toRotation), 1.0F);
}

// Path i runs along y from (1000 i, 0, 0) to (1000 i, 100, 0); its rotation z goes 0 -> i.
CameraPathListPtr paths(int count) {
    auto list = std::make_shared<CameraPathList>();
    for (int i = 0; i < count; ++i) {
        const auto x = 1000.0F * static_cast<float>(i);
        list->push_back(path({x, 0.0F, 0.0F}, {x, 100.0F, 0.0F}, {0.0F, 0.0F, 0.0F},
                             {0.0F, 0.0F, static_cast<float>(i)}));
    }
    return list;
}

template <typename Error, typename F> void expectFailure(F&& f, const char* message) {
    try {
        f();
        ADD_FAILURE() << "expected a failure: " << message;
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), message);
    }
}

// The glide checks below compare positions, so equality must see both halves.
TEST(CameraPosition, ComparesPositionAndRotation) {
    const CameraPosition a({1.0F, 2.0F, 3.0F}, {0.5F, 0.0F, -1.0F});
    CameraPosition b = a;
    EXPECT_EQ(a, b);
    b.rotation.z() = 4.0F;
    EXPECT_NE(a, b);
}

TEST(CameraPositionInterpolator, DurationEasingAndMissingPath) {
    CameraPositionInterpolator interpolator(false);
    expectFailure<engine::GeneralError>([&] { interpolator.iterate(16.0); }, "position is not set");
    interpolator.setMinDuration(3000.0F);
    const auto thirtyLong = path({0.0F, 0.0F, 0.0F}, {18.0F, 24.0F, 0.0F});
    interpolator.speed = 0.01F;
    interpolator.setPosition(thirtyLong);
    EXPECT_EQ(interpolator.duration(), 3000.0F);
    interpolator.speed = 0.001F;
    interpolator.setPosition(thirtyLong);
    EXPECT_FLOAT_EQ(interpolator.duration(), 30000.0F);
    // Zero speed: no failure, but NaN for a zero-length path.
    interpolator.speed = 0.0F;
    interpolator.setPosition(path({1.0F, 1.0F, 1.0F}, {1.0F, 1.0F, 1.0F}));
    EXPECT_TRUE(std::isnan(interpolator.duration()));

    // Easing maps 0.25 to 0.15625; reversed travel runs from end to start.
    interpolator.isSmooth = true;
    interpolator.reverse = true;
    interpolator.setPosition(path({0.0F, 0.0F, 0.0F}, {100.0F, 0.0F, -100.0F}));
    interpolator.setTimer(0.25);
    EXPECT_EQ(interpolator.cameraPosition(), Vec3(84.375F, 0.0F, -84.375F));

    EXPECT_THROW(interpolator.setPosition(nullptr), engine::GeneralError);
    EXPECT_EQ(interpolator.pair(), nullptr);
}

TEST(CameraPositionInterpolator, ViewMatrixRotatesThenTranslatesByTheNegatedEye) {
    CameraPositionInterpolator interpolator(true);
    const auto& m = interpolator.matrix();
    const Vec3 level{CameraPositionInterpolator::ROTATION_OFFSET, 0.0F, 0.0F};
    interpolator.setPosition(path({}, {}, level, level));
    interpolator.setTimer(0.5);
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_EQ(m[i], i % 5 == 0 ? 1.0F : 0.0F) << "element " << i;
    }
    interpolator.setPosition(path({1.0F, 2.0F, 3.0F}, {1.0F, 2.0F, 3.0F}, level, level));
    interpolator.updateMatrix();
    EXPECT_EQ(Vec3(m[12], m[13], m[14]), Vec3(-1.0F, -2.0F, -3.0F));

    // The y angle turns about the z axis (world x onto y).
    const Vec3 turned{level.x(), 1.5707964F, 0.0F};
    interpolator.setPosition(path({}, {}, turned, turned));
    interpolator.updateMatrix();
    EXPECT_NEAR(m[1], 1.0F, 1e-5F);
    EXPECT_NEAR(m[10], 1.0F, 1e-5F);
}

TEST(CameraPathAnimator, PathDurationsFollowMinimumAndCoefficient) {
    CameraPathAnimator animator(1000000.0F, 22000.0F, 1000.0F, true);
    auto room = std::make_shared<CameraPathList>(
        CameraPathList{path({-829.0F, -1516.0F, 40.0F}, {1957.0F, 1357.0F, 137.0F}),
                       path({0.0F, 0.0F, 10.0F}, {0.0F, 0.0F, 1267.0F})});
    animator.setCameras(room, false);
    auto& interpolator = animator.positionInterpolator();
    EXPECT_EQ(animator.cameras().get(), room.get()); // held, not copied
    EXPECT_EQ(interpolator.duration(), 22000.0F);

    // The coefficient restarts the path from the end the camera starts from.
    interpolator.reverse = true;
    interpolator.setTimer(0.6);
    animator.setMinDurationCoefficient(2.0F);
    EXPECT_EQ(interpolator.duration(), 44000.0F);
    EXPECT_EQ(animator.timer(), 0.0F);
    EXPECT_EQ(interpolator.cameraPosition(), room->front()->end.position);

    // The animator's speed reaches the interpolator only in the constructor.
    animator.speed = 0.001F;
    animator.randomCamera();
    EXPECT_EQ(animator.currentCameraIndex(), 1);
    EXPECT_EQ(interpolator.duration(), 44000.0F);
}

TEST(CameraPathAnimator, StartsMovingOnTheThirdFrameAndPlaysThePathBack) {
    CameraPathAnimator animator(1.0F, 1000.0F, 500.0F, false);
    animator.setCameras(paths(1), false);
    const auto& interpolator = animator.positionInterpolator();
    animator.animate(16.0); // only stores the time
    animator.animate(32.0); // the interpolator records its first time
    EXPECT_EQ(interpolator.lastTime(), 32.0);
    EXPECT_EQ(animator.timer(), 0.0F);
    animator.animate(48.0);
    EXPECT_EQ(animator.timer(), static_cast<float>(16.0 / 1000.0));

    // Reaching the end flips the direction and starts over from the end just reached.
    animator.animate(1200.0);
    EXPECT_TRUE(interpolator.reverse);
    EXPECT_EQ(animator.timer(), 0.0F);
    EXPECT_EQ(interpolator.cameraPosition(), Vec3(0.0F, 100.0F, 0.0F));
    animator.animate(1216.0);
    animator.animate(1466.0);
    EXPECT_FLOAT_EQ(animator.timer(), 0.25F);
    EXPECT_FLOAT_EQ(interpolator.cameraPosition().y(), 75.0F);
}

// Drives frames 16 ms apart until the glide ends; returns the time of the last frame.
double finishTransition(CameraPathAnimator& animator, double time) {
    for (int i = 0; i < 1000 && animator.state() == CameraState::TRANSITIONING; ++i) {
        animator.animate(time += 16.0);
    }
    return time;
}

TEST(CameraPathAnimator, NextCameraGlidesToTheMiddleOfTheNextPathAndResumesThere) {
    CameraPathAnimator animator(1000000.0F, 1000.0F, 500.0F, false);
    animator.setCameras(paths(4), false);
    auto& interpolator = animator.positionInterpolator();
    double time = 16.0;
    animator.animate(time);
    for (int i = 0; i < 3; ++i) {
        animator.nextCamera();
        time = finishTransition(animator, time);
    }
    ASSERT_EQ(animator.currentCameraIndex(), 3);
    EXPECT_EQ(interpolator.cameraPosition(), Vec3(3000.0F, 50.0F, 0.0F));

    interpolator.reverse = true; // the direction to come back to after the glide
    const CameraPosition before(interpolator.cameraPosition(), interpolator.cameraRotation());
    animator.nextCamera();
    EXPECT_EQ(animator.state(), CameraState::TRANSITIONING);
    EXPECT_EQ(animator.currentCameraIndex(), 0);
    EXPECT_FALSE(interpolator.reverse);
    EXPECT_EQ(interpolator.duration(), 500.0F);
    EXPECT_EQ(interpolator.pair()->start, before); // no jump
    EXPECT_EQ(interpolator.pair()->end.position, Vec3(0.0F, 50.0F, 0.0F));

    // Neither another nextCamera nor changeDirection disturbs a glide.
    animator.animate(time += 16.0);
    animator.animate(time += 250.0);
    animator.nextCamera();
    animator.changeDirection(1.0F);
    EXPECT_EQ(animator.currentCameraIndex(), 0);
    EXPECT_FLOAT_EQ(animator.timer(), 0.5F);
    EXPECT_FALSE(interpolator.reverse);

    animator.animate(time += 250.0);
    EXPECT_EQ(animator.state(), CameraState::ANIMATING);
    EXPECT_EQ(interpolator.pair(), (*animator.cameras())[0]);
    EXPECT_EQ(animator.timer(), 0.5F);
    EXPECT_TRUE(interpolator.reverse);
    EXPECT_EQ(interpolator.cameraPosition(), Vec3(0.0F, 50.0F, 0.0F));
    animator.animate(time += 16.0);
    animator.animate(time += 100.0);
    EXPECT_FLOAT_EQ(interpolator.cameraPosition().y(), 40.0F); // heading back to the start

    // A long glide lasts its distance over the interpolator's speed.
    interpolator.speed = 1.0F;
    animator.nextCamera();
    EXPECT_FLOAT_EQ(interpolator.duration(), std::hypot(1000.0F, 10.0F));
}

TEST(CameraPathAnimator, DisableBlocksOnlyNextCamera) {
    CameraPathAnimator animator(1.0F, 1000.0F, 500.0F, false);
    animator.setCameras(paths(3), false);
    animator.disable();
    animator.nextCamera();
    EXPECT_EQ(animator.state(), CameraState::ANIMATING);
    EXPECT_EQ(animator.currentCameraIndex(), 0);
    animator.randomCamera(); // with 3 paths always the next one
    EXPECT_EQ(animator.currentCameraIndex(), 1);
    animator.enable();
    animator.nextCamera();
    EXPECT_EQ(animator.state(), CameraState::TRANSITIONING);
    EXPECT_EQ(animator.currentCameraIndex(), 2);
}

TEST(CameraPathAnimator, SelectCameraCutsToAChosenPathAndEndsAGlide) {
    CameraPathAnimator animator(1000000.0F, 1000.0F, 500.0F, false);
    animator.setCameras(paths(4), false);
    auto& interpolator = animator.positionInterpolator();
    interpolator.reverse = true;
    animator.nextCamera(); // gliding, with the backwards direction put aside
    animator.selectCamera(2);
    EXPECT_EQ(animator.state(), CameraState::ANIMATING);
    EXPECT_EQ(animator.currentCameraIndex(), 2);
    EXPECT_EQ(interpolator.pair(), (*animator.cameras())[2]);
    EXPECT_TRUE(interpolator.reverse);
    EXPECT_EQ(interpolator.timer(), 0.0F);
    EXPECT_EQ(interpolator.cameraPosition(), Vec3(2000.0F, 100.0F, 0.0F)); // its end, reversed

    expectFailure<engine::OutOfRangeError>([&] { animator.selectCamera(4); },
                                           "index 4 out of bounds for length 4");
    EXPECT_THROW(animator.selectCamera(-1), engine::OutOfRangeError);
    EXPECT_EQ(animator.currentCameraIndex(), 2);
}

TEST(CameraPathAnimator, ChangeDirectionKeepsTheCameraInPlace) {
    for (const bool smooth : {false, true}) {
        CameraPathAnimator animator(1.0F, 1000.0F, 500.0F, smooth);
        animator.setCameras(paths(1), false);
        auto& interpolator = animator.positionInterpolator();
        animator.animate(16.0);
        animator.animate(32.0);
        animator.animate(332.0);
        const float y = interpolator.cameraPosition().y();

        animator.changeDirection(-1.0F); // already travelling forwards
        EXPECT_FALSE(interpolator.reverse);
        animator.changeDirection(1.0F);
        EXPECT_TRUE(interpolator.reverse);
        EXPECT_FLOAT_EQ(animator.timer(), 0.7F);
        EXPECT_NEAR(interpolator.cameraPosition().y(), y, 1e-4F);
        EXPECT_EQ(interpolator.lastTime(), 332.0);

        animator.animate(432.0); // now moving back towards the start
        EXPECT_LT(interpolator.cameraPosition().y(), y);
    }
}

TEST(CameraPathAnimator, SetCamerasWithRandomizeEndsOnTheSecondPath) {
    for (int count : {2, 3}) {
        for (int round = 0; round < 20; ++round) {
            CameraPathAnimator animator(1.0F, 1000.0F, 500.0F, true);
            auto list = paths(count);
            animator.setCameras(list, true);
            EXPECT_EQ(animator.positionInterpolator().pair(), (*list)[1]) << count << " paths";
        }
    }
}

TEST(CameraPathAnimator, EmptyListAndMissingPathFailures) {
    CameraPathAnimator animator(1.0F, 1000.0F, 500.0F, true);
    animator.animate(16.0); // the first frame only records the time
    EXPECT_THROW(animator.animate(32.0), engine::GeneralError);
    EXPECT_THROW(animator.setCameras(std::make_shared<CameraPathList>(), false),
                 engine::OutOfRangeError);
    EXPECT_THROW(animator.setCameras(nullptr, false), engine::OutOfRangeError);
    EXPECT_THROW(animator.setMinDurationCoefficient(2.0F), engine::OutOfRangeError);
    EXPECT_THROW(animator.randomCamera(), engine::DivisionByZeroError);
    EXPECT_THROW(animator.nextCamera(), engine::DivisionByZeroError);
    EXPECT_EQ(animator.state(), CameraState::ANIMATING);

    // A hole in the list fails cleanly, before anything changes, instead of being followed.
    animator.setCameras(
        std::make_shared<CameraPathList>(CameraPathList{path({}, {1.0F, 0.0F, 0.0F}), nullptr}),
        false);
    EXPECT_THROW(animator.nextCamera(), engine::GeneralError);
    EXPECT_EQ(animator.currentCameraIndex(), 0);
    EXPECT_EQ(animator.state(), CameraState::ANIMATING);
}

TEST(CameraPathAnimator, WarmFramesWithTransitionsAllocateNothing) {
    CameraPathAnimator animator(0.5F, 300.0F, 200.0F, true);
    animator.setCameras(paths(4), false);
    double time = 16.0;
    animator.animate(time);
    int transitions = 0;
    testsupport::AllocationCounter counter;
    for (int frame = 0; frame < 5000; ++frame) {
        animator.animate(time += 16.0);
        if (frame % 97 == 0 && animator.state() == CameraState::ANIMATING) {
            animator.nextCamera();
            ++transitions;
        }
        if (frame % 131 == 0) {
            animator.changeDirection(frame % 2 == 0 ? 1.0F : -1.0F);
        }
    }
    EXPECT_EQ(counter.count(), 0U);
    EXPECT_GT(transitions, 10);
}

} // namespace
