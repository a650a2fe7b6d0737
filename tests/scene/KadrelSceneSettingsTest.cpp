#include <gtest/gtest.h>

#include <limits>

#include "scene/SimulatedClock.h"
#include "scene/kadrel/KadrelScene.h"
#include "tests/scene/SceneTree.h"

using namespace engine::commands;
using engine::common::ColorMode;
using engine::math::Vec4;
using kadrel::KadrelScene;
using scenetest::findNamed;
using scenetest::rateOf;

TEST(KadrelSceneSettings, EveryFieldReachesTheTreeOnTheNextFrame) {
    KadrelScene scene;
    kadrel::SimulatedClock clock(scene, 30.0, 5'000'000.0);
    const auto& list = scene.commands;
    auto* bloom1 = findNamed<BlurredPassCommand>(list, "bloom1");
    auto* clear = findNamed<ClearColorCommand>(list, "clear color");
    auto* room1 = findNamed<GroupCommand>(list, "room1");
    auto* room2 = findNamed<GroupCommand>(list, "room2");
    auto* main = list[0]->asGroup()->commands[2]->asGroup();
    Command& vignette = *main->commands[4];
    Command& clockHook = *main->commands[5];
    clock.step();

    auto& settings = scene.settings();
    settings.blurred = true;
    settings.lowQuality = true;
    settings.vignette = false;
    settings.clock = true;
    settings.colorMode = ColorMode::Sepia;
    EXPECT_TRUE(list[0]->enabled && vignette.enabled) << "nothing changes before the frame";
    clock.step();
    EXPECT_FALSE(list[0]->enabled);
    EXPECT_TRUE(list[1]->enabled);
    EXPECT_EQ(bloom1->blurSize, BlurSize::KERNEL_3);
    EXPECT_EQ(rateOf(*room1->commands[0]), ShadingRate::SHADING_RATE_2X2);
    EXPECT_EQ(rateOf(*room2->commands[0]), ShadingRate::SHADING_RATE_2X2);
    EXPECT_EQ(rateOf(*room2->commands[1]), ShadingRate::SHADING_RATE_4X4);
    EXPECT_FALSE(vignette.enabled);
    EXPECT_TRUE(clockHook.enabled);
    EXPECT_EQ(*clear->color, Vec4(0.74F, 0.55F, 0.3F, 1.0F));
    // The blurred path draws the room inside "blurred-main", so its matrices are still fed
    // as the camera moves.
    const auto& mvp = scenetest::floatsOf(room2->commands[0]->asTransformedDraw()->uniforms[0]);
    const auto before = mvp;
    clock.step();
    EXPECT_NE(mvp, before);

    // Any mode but sepia is white; the colour objects are swapped, never edited.
    const auto sepia = clear->color;
    settings = kadrel::KadrelSettings();
    settings.colorMode = ColorMode::Grayscale;
    clock.step();
    EXPECT_EQ(*clear->color, Vec4(1.0F, 1.0F, 1.0F, 1.0F));
    EXPECT_EQ(*sepia, Vec4(0.74F, 0.55F, 0.3F, 1.0F));
    EXPECT_EQ(bloom1->blurSize, BlurSize::KERNEL_5);
    EXPECT_EQ(findNamed<BlurredPassCommand>(list, "blurred-main")->blurSize, BlurSize::KERNEL_3);
    EXPECT_EQ(rateOf(*room2->commands[0]), ShadingRate::SHADING_RATE_1X1);
    EXPECT_TRUE(list[0]->enabled && vignette.enabled);
    EXPECT_FALSE(list[1]->enabled || clockHook.enabled);
}

TEST(KadrelSceneSettings, CameraPeriodRestartsThePathOnlyWhenItChanges) {
    KadrelScene scene;
    scene.settings().autoSwitchCameras = false;
    kadrel::SimulatedClock clock(scene, 30.0, 5'000'000.0);
    const auto& animator = scene.cameraAnimator();
    for (int i = 0; i < 200; ++i) {
        clock.step();
    }
    const float before = animator.timer();
    scene.settings().cameraPeriod = 1.0F; // written again, unchanged
    clock.step();
    EXPECT_GT(animator.timer(), before);

    // Every value the settings window offers is used as it is, from the path's start.
    for (float period : {0.5F, 1.7F, 2.0F, 3.0F}) {
        scene.settings().cameraPeriod = period;
        clock.step();
        EXPECT_EQ(animator.timer(), 0.0F);
        EXPECT_EQ(animator.positionInterpolator().duration(), 22000.0F * period);
        clock.step();
        clock.step();
        EXPECT_GT(animator.timer(), 0.0F);
    }
}

// The period comes from a store the user can edit by hand. Values that carry no usable
// speed fall back to the default; finite values beyond the accepted band are clamped to it.
TEST(KadrelSceneSettings, UnusableCameraPeriodsKeepTheCameraMoving) {
    using limits = std::numeric_limits<float>;
    const float cases[][2] = {
        {0.0F, 1.0F},
        {-0.0F, 1.0F},
        {-1.0F, 1.0F},
        {-limits::infinity(), 1.0F},
        {limits::infinity(), 1.0F},
        {limits::quiet_NaN(), 1.0F},
        {limits::denorm_min(), 0.1F},
        {0.05F, 0.1F},
        {50.0F, 10.0F},
        {limits::max(), 10.0F},
    };
    for (const auto& [stored, used] : cases) {
        SCOPED_TRACE(testing::Message() << "cameraPeriod " << stored);
        KadrelScene scene;
        scene.settings().autoSwitchCameras = false;
        scene.settings().cameraPeriod = stored;
        kadrel::SimulatedClock clock(scene, 30.0, 5'000'000.0);
        const auto& animator = scene.cameraAnimator();
        const auto& eye = animator.positionInterpolator().cameraPosition();
        const auto draws = scenetest::transformedDraws(scene.commands);
        int restarts = 0;
        int still = 0;
        bool finite = true;
        for (int i = 0; i < 60 * 30; ++i) { // a minute
            const float lastTimer = animator.timer();
            const auto lastEye = eye;
            clock.step();
            restarts += animator.timer() < lastTimer ? 1 : 0;
            still += eye == lastEye ? 1 : 0;
            for (const auto* draw : draws) {
                finite = finite && scenetest::allFinite(scenetest::floatsOf(draw->uniforms[0]));
            }
        }
        EXPECT_EQ(animator.positionInterpolator().duration(), 22000.0F * used);
        EXPECT_TRUE(finite);
        EXPECT_LE(restarts, 28) << "at most a minute over 2.2 s passes";
        EXPECT_LE(still, restarts + 2) << "only the frame after a restart stands still";
    }
}
