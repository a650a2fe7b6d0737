#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/DepthMode.h"
#include "engine/Scene.h"
#include "engine/camera/CameraPathAnimator.h"
#include "engine/commands/Commands.h"
#include "engine/math/Matrix.h"
#include "engine/math/Random.h"
#include "tests/support/AllocationCounter.h"

namespace {

using namespace engine;
using namespace engine::commands;
using camera::CameraPosition;
using camera::CameraPositionPair;
using math::Vec3;

// A scene shaped like the wallpaper: two rooms of transformed draws under groups and passes,
// shared subtrees, some draws switched off, a camera gliding along paths; its frame step is
// the engine's per-frame work.
class FrameScene : public Scene {
  public:
    FrameScene() : animator(1000.0F, 400.0F, 250.0F, true) {
        FOV_LANDSCAPE = 85.0F;
        FOV_PORTRAIT = 100.0F;
        Z_NEAR = 20.0F;
        Z_FAR = 10000.0F;
        updateViewportSize(1920, 1080);

        auto paths = std::make_shared<camera::CameraPathList>();
        for (int i = 0; i < 4; ++i) {
            const auto f = static_cast<float>(i);
            paths->push_back(std::make_shared<CameraPositionPair>(
                CameraPosition(Vec3(-800 + 100 * f, -500, 60), Vec3(0, 0, 80)),
                CameraPosition(Vec3(900, 400 - 50 * f, 130), Vec3(10 * f, 0, 90)), 1.0F));
        }
        animator.setCameras(paths, false);

        const auto state =
            std::make_shared<DrawMeshState>(std::make_shared<Shader>(), BLENDING_NONE(),
                                            DEPTH_TEST_ENABLED(), CullFace::BACK, std::nullopt);
        // Draw i sits at x = 10 i, turned by angles[i]; draws 2 and 7 are switched off.
        const float angles[] = {0, 45, 90, 0, 30, 60, 0, 10};
        for (int i = 0; i < 8; ++i) {
            auto d = std::make_shared<DrawTransformedMeshCommand>(
                std::make_shared<Mesh>(),
                std::vector<UniformValuePtr>{
                    std::make_shared<UniformFloatValue>(std::vector<float>(16)),
                    std::make_shared<UniformFloatValue>(std::vector<float>(16))},
                state,
                AffineTranformation(Vec3(10.0F * float(i), 0, 0), Vec3(0, 0, angles[i]),
                                    Vec3(1, 1, 1)),
                0, 1, -1, -1);
            d->enabled = i != 2 && i != 7;
            d->hints->push_back(HINT_VRS_NONE());
            draws.push_back(d);
        }
        room1 = std::make_shared<GroupCommand>(true, draws[0], draws[1], draws[2]);
        room2 = std::make_shared<GroupCommand>(false, draws[3], draws[4], draws[5]);
        const auto extras = std::make_shared<GroupCommand>(true, draws[6], draws[7]);
        const auto bloom = std::make_shared<BlurredPassCommand>();
        bloom->commands = {std::make_shared<ClearCommand>(), room1, room2};
        commands = {
            std::make_shared<GroupCommand>(true, bloom,
                                           std::make_shared<MainPassCommand>(
                                               true, std::make_shared<ClearColorCommand>(), room1,
                                               room2, extras, std::make_shared<VignetteCommand>())),
            std::make_shared<NoopCommand>()};
    }

    void initialize() override {}

    void updateTimers(double time) override {
        animator.animate(time);
        calculateProjection(1.0F, viewportWidth, viewportHeight);
        const auto& interpolator = animator.positionInterpolator();
        const Vec3& eye = interpolator.cameraPosition();
        const Vec3& target = interpolator.cameraRotation();
        math::Matrix::setLookAtM(matView, 0, eye._x, eye._y, eye._z, target._x, target._y,
                                 target._z, 0, 0, 1);
        updateMeshTransformations(commands);
        lastFrameTime = time;
    }

    std::vector<float>& mvpOf(std::size_t draw) {
        return static_cast<UniformFloatValue&>(*draws[draw]->uniforms[0]).value;
    }

    camera::CameraPathAnimator animator;
    std::vector<std::shared_ptr<DrawTransformedMeshCommand>> draws;
    std::shared_ptr<GroupCommand> room1;
    std::shared_ptr<GroupCommand> room2;
};

// What a scene does between frames: switch rooms, swap a hint, change path.
void frameStep(FrameScene& scene, int frame, double time) {
    if (frame % 500 == 250) {
        scene.room1->enabled = !scene.room1->enabled;
        scene.room2->enabled = !scene.room2->enabled;
        (*scene.draws[0]->hints)[0] = frame % 1000 == 250 ? HINT_VRS_2X2() : HINT_VRS_NONE();
    }
    if (frame % 700 == 100) {
        scene.animator.nextCamera();
    }
    if (frame % 900 == 450) {
        scene.animator.randomCamera();
    }
    scene.updateTimers(time);
}

TEST(FrameAllocationTest, WarmFramesAllocateNothing) {
    constexpr int FRAMES = 3000;
    math::Random::seed(7);
    FrameScene scene;
    ASSERT_GE(scene.draws.size(), 8U);
    // Warm up on the same schedule, so that everything created on first use (the shared
    // hints among them) exists before counting starts.
    double time = 1000.0;
    for (int frame = 0; frame < FRAMES; ++frame) {
        frameStep(scene, frame, time += 16.0);
    }
    const std::vector<float> firstMvp = scene.mvpOf(0);
    const std::vector<float> switchedOff = scene.mvpOf(2);

    std::size_t allocations = 0;
    {
        const testsupport::AllocationCounter counter;
        for (int frame = 0; frame < FRAMES; ++frame) {
            frameStep(scene, frame, time += 16.0);
        }
        allocations = counter.count();
    }
    EXPECT_EQ(allocations, 0U);

    // The frames did real work: the camera moved the first draw's matrix; the draw that is
    // never enabled kept what it had.
    EXPECT_NE(scene.mvpOf(0), firstMvp);
    EXPECT_EQ(scene.mvpOf(2), switchedOff);
}

} // namespace
