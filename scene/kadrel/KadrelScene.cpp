#include "scene/kadrel/KadrelScene.h"

#include <string>
#include <utility>

#include "engine/Blending.h"
#include "engine/DepthMode.h"
#include "engine/commands/AffineTranformation.h"
#include "engine/commands/ClearCommand.h"
#include "engine/commands/DrawMeshState.h"
#include "engine/commands/Hint.h"
#include "engine/math/Random.h"
#include "scene/kadrel/Cameras.h"

namespace kadrel {

using namespace engine;
using namespace engine::commands;
using engine::camera::CameraState;
using engine::math::Random;
using engine::math::Vec3;
using engine::math::Vec4;

namespace {

constexpr std::size_t ROOM1 = 0;
constexpr std::size_t ROOM2 = 1;

// Room 1 has 4 paths and room 2 has 9, so leaving the small room is made likelier.
float leaveRoomChance(bool inRoom1) {
    return inRoom1 ? 0.75F : 0.25F;
}

MeshPtr makeMesh(const char* fileName) {
    auto mesh = std::make_shared<Mesh>();
    mesh->fileName = fileName;
    return mesh;
}

TexturePtr makeTexture(const char* fileName, std::int32_t mipmaps, TextureFiltering filter,
                       TextureWrapping wrapping, std::int32_t anisotropy) {
    auto texture = std::make_shared<Texture>();
    texture->name = fileName;
    texture->fileName = fileName;
    texture->format = TextureFormat::ASTC;
    texture->mipmaps = mipmaps;
    texture->minFilter = filter;
    texture->magFilter = filter;
    texture->wrapping = wrapping;
    texture->anisotropy = anisotropy;
    return texture;
}

std::shared_ptr<GroupCommand> makeGroup(const char* name, bool enabled,
                                        std::vector<CommandPtr> children) {
    auto group = std::make_shared<GroupCommand>(enabled, std::move(children));
    group->name = name;
    return group;
}

std::shared_ptr<BlurredPassCommand> makeBlurredPass(const char* name, bool enabled,
                                                    BlurSize blurSize, std::int32_t minSize,
                                                    float brightness, std::int32_t id,
                                                    std::vector<CommandPtr> children) {
    auto pass = std::make_shared<BlurredPassCommand>();
    pass->name = name;
    pass->enabled = enabled;
    pass->blurSize = blurSize;
    pass->minSize = minSize;
    pass->brightness = brightness;
    pass->id = id;
    pass->commands = std::move(children);
    return pass;
}

std::shared_ptr<DrawBlurredCommand> makeDrawBlurred(const char* name, BlendingPtr blending) {
    auto draw = std::make_shared<DrawBlurredCommand>();
    draw->name = name;
    draw->blending = std::move(blending);
    return draw;
}

// Builds the draws of one room: every draw has its own uniforms (the MVP matrix it is given
// each frame, then its texture) and its own copy of the room's identity transform.
class DrawFactory {
  public:
    explicit DrawFactory(DrawMeshStatePtr state) : state_(std::move(state)) {}

    std::shared_ptr<DrawTransformedMeshCommand> make(const MeshPtr& mesh, const TexturePtr& texture,
                                                     HintListPtr hints) const {
        std::vector<UniformValuePtr> uniforms{
            std::make_shared<UniformFloatValue>(std::vector<float>(16, 0.0F)),
            std::make_shared<UniformTextureValue>(texture)};
        auto draw = std::make_shared<DrawTransformedMeshCommand>(mesh, std::move(uniforms), state_,
                                                                 IDENTITY, 0, -1, -1, -1);
        draw->hints = std::move(hints);
        return draw;
    }

  private:
    inline static const AffineTranformation IDENTITY{Vec3(0.0F, 0.0F, 0.0F), Vec3(0.0F, 0.0F, 0.0F),
                                                     Vec3(1.0F, 1.0F, 1.0F)};
    DrawMeshStatePtr state_;
};

} // namespace

KadrelScene::KadrelScene()
    : cameraAnimator_(CAMERA_SPEED, CAMERA_MIN_DURATION, CAMERA_TRANSITION_DURATION, true) {
    FOV_LANDSCAPE = 85.0F;
    FOV_PORTRAIT = 100.0F;
    Z_NEAR = 20.0F;
    Z_FAR = 10'000.0F;

    // The scene starts in room 2 on its first path.
    cameraAnimator_.setCameras(Cameras::CAMERAS()[ROOM2], false);
    cameraAnimator_.setMinDurationCoefficient(effectiveCameraPeriod(settings_.cameraPeriod));

    clearColorNormal_ = std::make_shared<Vec4>(1.0F, 1.0F, 1.0F, 1.0F);
    clearColorSepia_ = std::make_shared<Vec4>(0.74F, 0.55F, 0.3F, 1.0F);
    clearColorCommand_ = std::make_shared<ClearColorCommand>();
    clearColorCommand_->name = "clear color";
    clearColorCommand_->color = clearColorNormal_;

    meshes = {makeMesh("room1"), makeMesh("room2-optimized0"), makeMesh("room2-optimized1"),
              makeMesh("room2-optimized2")};
    textures = {
        makeTexture("room1", 11, TextureFiltering::LINEAR_MIPMAP_LINEAR, TextureWrapping::REPEAT,
                    3),
        makeTexture("room20", 12, TextureFiltering::LINEAR_MIPMAP_LINEAR,
                    TextureWrapping::CLAMP_TO_EDGE, 3),
        makeTexture("room21", 0, TextureFiltering::LINEAR, TextureWrapping::REPEAT, 0),
        makeTexture("room22", 0, TextureFiltering::LINEAR, TextureWrapping::REPEAT, 0),
    };
    auto diffuse = std::make_shared<Shader>();
    diffuse->name = "Diffuse";
    diffuse->id = -1;
    shaders = {diffuse};

    buildCommandTree();
}

void KadrelScene::buildCommandTree() {
    // Position as three half floats, texture coordinates as two, padded to 12 bytes.
    VertexAttributesDescriptor layout(
        {VertexAttribute(0, VertexFormat::HALF3, 0), VertexAttribute(1, VertexFormat::HALF2, 6)},
        12);
    // One state object for every draw, so the renderer builds one pipeline for all of them.
    const DrawFactory draws(std::make_shared<DrawMeshState>(
        shaders[0], BLENDING_NONE(), DEPTH_TEST_ENABLED(), CullFace::BACK, std::move(layout)));

    const MeshPtr& room1 = meshes[0];
    const MeshPtr& room2a = meshes[1];
    const MeshPtr& room2b = meshes[2];
    const MeshPtr& room2c = meshes[3];
    const TexturePtr& texRoom1 = textures[0];
    const TexturePtr& texRoom20 = textures[1];
    const TexturePtr& texRoom21 = textures[2];
    const TexturePtr& texRoom22 = textures[3];
    // The main draws of both rooms share one hint list, switched in one place; every bloom
    // draw has a coarse-shading list of its own.
    roomHints_ = std::make_shared<HintList>(HintList{HINT_VRS_NONE()});
    const auto coarse = [] { return std::make_shared<HintList>(HintList{HINT_VRS_4X4()}); };

    room1Group_ = makeGroup("room1", false, {draws.make(room1, texRoom1, roomHints_)});
    room1BlurredGroup_ = makeGroup("room1-blurred", true, {draws.make(room1, texRoom21, coarse())});
    room2Group_ = makeGroup("room2", true,
                            {draws.make(room2a, texRoom20, roomHints_),
                             draws.make(room2b, texRoom21, coarse()),
                             draws.make(room2c, texRoom22, coarse())});
    room2BlurredGroup_ =
        makeGroup("room2-blurred", true,
                  {draws.make(room2a, texRoom21, coarse()), draws.make(room2b, texRoom21, coarse()),
                   draws.make(room2c, texRoom22, coarse())});

    auto clear = std::make_shared<ClearCommand>();
    clear->clearType = ClearCommandClearType::COLOR_AND_DEPTH;
    clearGroup_ = makeGroup("", true, {clearColorCommand_, clear});

    bloom1Pass_ = makeBlurredPass("bloom1", false, BlurSize::KERNEL_5, 170, 1.0F, 0,
                                  {clearGroup_, room1BlurredGroup_});
    bloom2Pass_ = makeBlurredPass("bloom2", true, BlurSize::KERNEL_5, 170, 1.0F, 1,
                                  {clearGroup_, room2BlurredGroup_});

    // Bloom is added on top of the frame one to one.
    auto additive = std::make_shared<Blending>();
    additive->enabled = true;
    additive->equationColor = BlendingEquation::ADD;
    additive->sourceFactorColor = BlendingFactor::ONE;
    additive->destinationFactorColor = BlendingFactor::ONE;
    drawBloomCommand_ = makeDrawBlurred("draw bloom", additive);
    drawBlurredCommand_ = makeDrawBlurred("draw blurred", BLENDING_NONE());

    vignetteCommand_ = std::make_shared<VignetteCommand>();
    *vignetteCommand_->color0 = Vec4(0.4F, 0.4F, 0.4F, 1.0F);
    *vignetteCommand_->color1 = Vec4(1.0F, 1.0F, 1.0F, 1.0F);
    clockCommand_ = std::make_shared<DrawClockCommand>();

    blurredMainPass_ = makeBlurredPass("blurred-main", true, BlurSize::KERNEL_3, 200, 0.93F, 2,
                                       {clearGroup_, room1Group_, room2Group_, vignetteCommand_});

    normalGroup_ = makeGroup(
        "", true,
        {bloom1Pass_, bloom2Pass_,
         std::make_shared<MainPassCommand>(
             true, std::vector<CommandPtr>{clearGroup_, room1Group_, room2Group_, drawBloomCommand_,
                                           vignetteCommand_, clockCommand_})});
    blurredGroup_ = makeGroup(
        "", true,
        {blurredMainPass_, std::make_shared<MainPassCommand>(
                               true, std::vector<CommandPtr>{clearGroup_, drawBlurredCommand_})});

    commands = {normalGroup_, blurredGroup_};
}

void KadrelScene::updateTimers(double time) {
    timers_.iterate(time);
    cameraAnimator_.animate(time);
    animate();
    lastFrameTime = time;
}

void KadrelScene::animate() {
    applySettings();
    calculateProjection(1.0F, viewportWidth, viewportHeight);
    const auto& interpolator = cameraAnimator_.positionInterpolator();
    // The path's rotation holds a look-at point in this scene.
    setViewLookingAt(interpolator.cameraPosition(), interpolator.cameraRotation());
    updateMeshTransformations(commands);
}

void KadrelScene::applySettings() {
    normalGroup_->enabled = !settings_.blurred;
    blurredGroup_->enabled = settings_.blurred;

    const BlurSize bloomSize = settings_.lowQuality ? BlurSize::KERNEL_3 : BlurSize::KERNEL_5;
    bloom1Pass_->blurSize = bloomSize;
    bloom2Pass_->blurSize = bloomSize;

    const auto& hint = settings_.lowQuality ? HINT_VRS_2X2() : HINT_VRS_NONE();
    (*roomHints_)[0] = hint;

    vignetteCommand_->enabled = settings_.vignette;

    // Restarting the path is what a new period costs, so only a real change may do it; the
    // stored value is sanitised first, or a NaN (never equal to anything) would restart the
    // camera on every frame.
    const float period = effectiveCameraPeriod(settings_.cameraPeriod);
    if (cameraAnimator_.minDurationCoefficient() != period) {
        cameraAnimator_.setMinDurationCoefficient(period);
    }

    clockCommand_->enabled = settings_.clock;

    if (static_cast<double>(cameraAnimator_.timer()) > AUTO_SWITCH_PROGRESS &&
        settings_.autoSwitchCameras) {
        // Drawn on every frame near the end of a path, so the cut lands a frame or two
        // after the threshold rather than exactly on it.
        if (Random::nextFloat() < 0.5F) {
            randomCameraOrNextRoom();
        }
    }

    clearColorCommand_->color = settings_.colorMode == engine::common::ColorMode::Sepia
                                    ? clearColorSepia_
                                    : clearColorNormal_;
}

int KadrelScene::currentRoom() const noexcept {
    if (room1Group_->enabled) {
        return static_cast<int>(ROOM1);
    }
    if (room2Group_->enabled) {
        return static_cast<int>(ROOM2);
    }
    return -1;
}

void KadrelScene::nextCamera() {
    cameraAnimator_.nextCamera();
}

void KadrelScene::nextRoom() {
    const int room = currentRoom();
    if (room < 0) {
        return;
    }
    // A room's draws and its bloom pass always switch together.
    const bool toRoom1 = room != static_cast<int>(ROOM1);
    room1Group_->enabled = toRoom1;
    bloom1Pass_->enabled = toRoom1;
    room2Group_->enabled = !toRoom1;
    bloom2Pass_->enabled = !toRoom1;
    cameraAnimator_.setCameras(Cameras::CAMERAS()[toRoom1 ? ROOM1 : ROOM2], true);
}

void KadrelScene::randomCameraOrNextRoom() {
    if (cameraAnimator_.state() == CameraState::TRANSITIONING) {
        return;
    }
    if (Random::nextFloat() < leaveRoomChance(room1Group_->enabled)) {
        nextRoom();
        return;
    }
    cameraAnimator_.positionInterpolator().reverse = Random::nextFloat() < 0.5F;
    cameraAnimator_.randomCamera();
}

void KadrelScene::nextCameraOrRoom() {
    if (cameraAnimator_.state() == CameraState::TRANSITIONING) {
        return;
    }
    if (Random::nextFloat() < leaveRoomChance(room1Group_->enabled)) {
        nextRoom();
        return;
    }
    cameraAnimator_.nextCamera();
}

} // namespace kadrel
