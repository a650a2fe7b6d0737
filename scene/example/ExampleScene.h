#pragma once

#include <array>
#include <memory>
#include <vector>

#include "engine/Scene.h"
#include "engine/Texture.h"
#include "engine/Uniforms.h"
#include "engine/animation/TextureAnimationChunked.h"
#include "engine/camera/CameraPathAnimator.h"
#include "engine/commands/DrawMeshCommand.h"
#include "engine/math/Vec.h"
#include "engine/timers/TimersMap.h"
#include "scene/example/Timers.h"

namespace example {

// A second, smaller scene that exercises what the wallpaper does not: flat-colour shading, a
// textured static mesh, vertex animation read from a half-float texture, and the engine's
// timers. A stylised landscape (mountains, rocks, grounds, water, sky objects and an animal)
// seen from a camera that walks seven paths.
//
// Its command list has no main pass, so a renderer that draws only inside passes draws
// nothing of it; it serves as a test scene for the engine.
class ExampleScene : public engine::Scene {
  public:
    static constexpr float CAMERA_SPEED = 1'000'000.0F;
    static constexpr float CAMERA_MIN_DURATION = 11'000.0F;
    static constexpr float CAMERA_TRANSITION_DURATION = 1'100.0F;
    static constexpr float CAMERA_PERIOD = 2.0F;
    // The animal's animation texture: one texel per vertex, 18 frames.
    static constexpr int ANIMAL_TEXTURE_WIDTH = 362;
    static constexpr int ANIMAL_FRAMES = 18;

    ExampleScene();

    void initialize() override {}
    // Timers, camera animator, animate(), then lastFrameTime, as the wallpaper does.
    void updateTimers(double time) override;
    // Rebuilds the projection and the view and feeds every draw its values for this frame.
    void animate();

    engine::timers::TimersMap<Timers>& timers() noexcept { return timers_; }
    const engine::timers::TimersMap<Timers>& timers() const noexcept { return timers_; }
    engine::camera::CameraPathAnimator& cameraAnimator() noexcept { return cameraAnimator_; }
    const engine::animation::TextureAnimationChunked& animationAnimal() const noexcept {
        return animationAnimal_;
    }

    engine::TexturePtr texStatic;
    engine::TexturePtr texFp16;

    // One uniform list per draw. Flat-colour lists are [MVP (16 floats), colour (4)].
    std::vector<engine::UniformValuePtr> uniformsMountainsBright;
    std::vector<engine::UniformValuePtr> uniformsMountainsDark;
    std::vector<engine::UniformValuePtr> uniformsCenterRockBright;
    std::vector<engine::UniformValuePtr> uniformsCenterRockDark;
    std::vector<engine::UniformValuePtr> uniformsGround1;
    std::vector<engine::UniformValuePtr> uniformsGround2;
    std::vector<engine::UniformValuePtr> uniformsHills;
    std::vector<engine::UniformValuePtr> uniformsWater;
    // [MVP, colour, wave (phase in [0, 1), amplitude, 0, 0)].
    std::vector<engine::UniformValuePtr> uniformsWaterHighlights;
    // Shared by the three sky objects, which turn together: [MVP, colour].
    std::vector<engine::UniformValuePtr> uniformsSkyObjects;
    // [MVP, texture].
    std::vector<engine::UniformValuePtr> uniformsDiffuseTest;
    // [MVP, colour, animation texture, animation (frame row v, texelHalfWidth, chunkSize,
    // texelHeight)].
    std::vector<engine::UniformValuePtr> uniformsAnimated;

  private:
    using DrawPtr = std::shared_ptr<engine::commands::DrawTransformedMeshCommand>;

    void buildResources();
    void buildCommands();

    engine::timers::TimersMap<Timers> timers_;
    engine::camera::CameraPathAnimator cameraAnimator_;
    engine::animation::TextureAnimationChunked animationAnimal_;

    std::array<DrawPtr, 3> skyObjects_;
    DrawPtr waterHighlights_;
};

} // namespace example
