#include <gtest/gtest.h>

#include <limits>

#include "engine/Errors.h"
#include "engine/animation/TextureAnimationChunked.h"
#include "scene/SimulatedClock.h"
#include "scene/example/ExampleScene.h"
#include "tests/scene/SceneTree.h"
#include "tests/support/AllocationCounter.h"

using namespace engine::commands;
using engine::InvalidArgumentError;
using engine::animation::TextureAnimationChunked;
using example::ExampleScene;
using scenetest::floatsOf;

TEST(TextureAnimationChunked, MapsTimeOntoFrameRows) {
    const TextureAnimationChunked animal(362, 362, 18);
    EXPECT_EQ(animal.textureHeight, 19);
    // Timer 0 samples the centre of the first row, timer 1 the centre of the last; the
    // ping-pong form reaches the last at half time and comes back.
    EXPECT_FLOAT_EQ(animal.animateStartToEnd(0.0F), 0.5F / 19.0F);
    EXPECT_FLOAT_EQ(animal.animateStartToEnd(1.0F), 18.5F / 19.0F);
    EXPECT_FLOAT_EQ(animal.animateStartEndStart(0.5F), animal.animateStartToEnd(1.0F));
    EXPECT_FLOAT_EQ(animal.animateStartEndStart(0.75F), animal.animateStartToEnd(0.5F));

    const TextureAnimationChunked wrapped(100, 201, 4); // a vertex past two rows: three chunks
    EXPECT_EQ(wrapped.textureHeight, 15);
    EXPECT_FLOAT_EQ(wrapped.chunkSize, 1.0F / 3.0F);
    // Layouts that describe no texture are refused instead of dividing by zero or overflowing.
    EXPECT_THROW(TextureAnimationChunked(0, 10, 4), InvalidArgumentError);
    EXPECT_THROW(TextureAnimationChunked(10, 0, 4), InvalidArgumentError);
    EXPECT_THROW(TextureAnimationChunked(10, 10, -1), InvalidArgumentError);
    EXPECT_THROW(TextureAnimationChunked(1, std::numeric_limits<std::int32_t>::max(), 2),
                 InvalidArgumentError);
}

// Half a second of frames moves the animal, the water and the sky by their periods' share,
// without allocating.
TEST(ExampleScene, TimersDriveTheLandscapeWithoutAllocating) {
    ExampleScene scene;
    scene.updateViewportSize(1920, 1080);
    kadrel::SimulatedClock clock(scene, 60.0, 1'000'000.0);
    clock.step();
    clock.step();
    auto& sunSmall = dynamic_cast<DrawTransformedMeshCommand&>(
        *scenetest::findNamed<GroupCommand>(scene.commands, "sky objects")->commands[1]);
    const float row0 = floatsOf(scene.uniformsAnimated[3])[0];
    const float wave0 = floatsOf(scene.uniformsWaterHighlights[2])[0];
    const float sky0 = sunSmall.tranform.rotation._z;
    const auto eye0 = scene.cameraAnimator().positionInterpolator().cameraPosition();
    std::size_t allocations = 0;
    {
        testsupport::AllocationCounter counter;
        for (int i = 0; i < 30; ++i) {
            clock.step();
        }
        allocations = counter.count();
    }
    EXPECT_EQ(allocations, 0U);

    // The animal's cycle is 6 s, the water's wave 2.5 s and the sky's turn 250 s; each may
    // have wrapped once.
    const auto& animal = scene.animationAnimal();
    const float rows = animal.texelHeight * float(animal.frames);
    const float rowStep = floatsOf(scene.uniformsAnimated[3])[0] - row0;
    EXPECT_NEAR(rowStep < 0 ? rowStep + rows : rowStep, rows / 12.0F, 1e-4);
    const float waveStep = floatsOf(scene.uniformsWaterHighlights[2])[0] - wave0;
    EXPECT_NEAR(waveStep < 0 ? waveStep + 1.0F : waveStep, 0.2F, 1e-4);
    const float skyStep = sunSmall.tranform.rotation._z - sky0;
    EXPECT_NEAR(skyStep < 0 ? skyStep + 360.0F : skyStep, 360.0F * 0.5F / 250.0F, 1e-3);
    EXPECT_NE(scene.cameraAnimator().positionInterpolator().cameraPosition(), eye0);
    for (const auto* draw : scenetest::transformedDraws(scene.commands)) {
        const auto& m = floatsOf(draw->uniforms[0]);
        EXPECT_TRUE(scenetest::allFinite(m));
        EXPECT_TRUE(!draw->enabled || m[15] != 0.0F) << "every enabled draw gets its matrix";
    }
}
