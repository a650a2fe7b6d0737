#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/Scene.h"
#include "engine/camera/CameraPathAnimator.h"
#include "engine/commands/ClearColorCommand.h"
#include "engine/commands/DrawBlurredCommand.h"
#include "engine/commands/DrawMeshCommand.h"
#include "engine/commands/GroupCommand.h"
#include "engine/commands/RenderPassCommand.h"
#include "engine/commands/VignetteCommand.h"
#include "engine/math/Vec.h"
#include "engine/timers/TimersMap.h"
#include "scene/kadrel/DrawClockCommand.h"
#include "scene/kadrel/KadrelSettings.h"
#include "scene/kadrel/Timers.h"

namespace kadrel {

// The wallpaper: two concrete rooms, one at a time, seen through slowly moving cameras, with
// bloom, an optional full-frame blur, a vignette and a clock hook.
//
// The constructor builds everything the renderer will ever need: the resource lists, the
// camera animator and the whole command tree. The frame step (updateTimers) only flips
// enabled flags, swaps a few values, moves the camera and rewrites matrices in place; it
// allocates nothing.
//
// The command tree shares nodes: the clear group hangs under five parents, the two room
// groups and the vignette under two each. Switching a shared node switches it everywhere.
class KadrelScene : public engine::Scene {
  public:
    // So large that a path's length over it is negligible: every path lasts the minimum.
    static constexpr float CAMERA_SPEED = 1'000'000.0F;
    static constexpr float CAMERA_MIN_DURATION = 22'000.0F;
    static constexpr float CAMERA_TRANSITION_DURATION = 3'500.0F;
    // Near the end of a path (progress above this) the scene may cut elsewhere.
    static constexpr double AUTO_SWITCH_PROGRESS = 0.98;

    KadrelScene();

    // Nothing to do once the host has loaded the resources.
    void initialize() override {}
    // The frame step: timers, camera animator, animate(), then lastFrameTime.
    void updateTimers(double time) override;

    // Applies the settings, rebuilds the projection and the look-at view, and writes the MVP
    // matrix of every draw reachable through enabled commands.
    void animate();
    // Copies the settings into the command tree and the camera; may cut to another camera or
    // room near the end of a path.
    void applySettings();

    // Glides to the next path of the current room.
    void nextCamera();
    // Hard cut to the other room, onto a random path of it.
    void nextRoom();
    // While not gliding: the other room (likelier when leaving the small room), else a
    // glide to the next path.
    void nextCameraOrRoom();
    // While not gliding: the other room (likelier when leaving the small room), else a cut
    // to a random path of this room in a random direction.
    void randomCameraOrNextRoom();

    // 0 while room 1 is shown, 1 while room 2 is, -1 if neither room group is enabled.
    int currentRoom() const noexcept;

    engine::timers::TimersMap<Timers>& timers() noexcept { return timers_; }
    engine::camera::CameraPathAnimator& cameraAnimator() noexcept { return cameraAnimator_; }
    const engine::camera::CameraPathAnimator& cameraAnimator() const noexcept {
        return cameraAnimator_;
    }
    // The host writes fields here at any time; they take effect on the next frame.
    KadrelSettings& settings() noexcept { return settings_; }
    const KadrelSettings& settings() const noexcept { return settings_; }

  private:
    using GroupPtr = std::shared_ptr<engine::commands::GroupCommand>;
    using BlurredPassPtr = std::shared_ptr<engine::commands::BlurredPassCommand>;

    void buildCommandTree();

    engine::timers::TimersMap<Timers> timers_;
    KadrelSettings settings_;
    engine::camera::CameraPathAnimator cameraAnimator_;

    std::shared_ptr<engine::math::Vec4> clearColorNormal_;
    std::shared_ptr<engine::math::Vec4> clearColorSepia_;
    std::shared_ptr<engine::commands::ClearColorCommand> clearColorCommand_;

    GroupPtr room1Group_;
    GroupPtr room1BlurredGroup_;
    GroupPtr room2Group_;
    GroupPtr room2BlurredGroup_;
    GroupPtr clearGroup_;
    GroupPtr normalGroup_;
    GroupPtr blurredGroup_;
    BlurredPassPtr bloom1Pass_;
    BlurredPassPtr bloom2Pass_;
    BlurredPassPtr blurredMainPass_;
    std::shared_ptr<engine::commands::DrawBlurredCommand> drawBloomCommand_;
    std::shared_ptr<engine::commands::DrawBlurredCommand> drawBlurredCommand_;
    std::shared_ptr<engine::commands::VignetteCommand> vignetteCommand_;
    std::shared_ptr<DrawClockCommand> clockCommand_;

    // The hint list shared by the main draws of both rooms ("room1" and "room2-optimized0"):
    // the quality setting replaces its element 0, which switches both draws at once.
    engine::commands::HintListPtr roomHints_;
};

} // namespace kadrel
