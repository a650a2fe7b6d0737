#include "scene/example/ExampleScene.h"

#include <cmath>
#include <numbers>
#include <utility>

#include "engine/Blending.h"
#include "engine/DepthMode.h"
#include "engine/commands/Commands.h"
#include "scene/example/Cameras.h"

namespace example {

using namespace engine;
using namespace engine::commands;
using engine::math::Vec3;
using engine::math::Vec4;

namespace {

// Colours of the landscape, as stored in the uniforms (r, g, b, a).
constexpr Vec4 MOUNTAINS_BRIGHT{0.550781F, 0.703125F, 0.777344F, 1.0F};
constexpr Vec4 MOUNTAINS_DARK{0.386719F, 0.535156F, 0.636719F, 1.0F};
constexpr Vec4 CENTER_ROCK_BRIGHT{0.894531F, 0.738281F, 0.574219F, 1.0F};
constexpr Vec4 CENTER_ROCK_DARK{0.660156F, 0.488281F, 0.40625F, 1.0F};
constexpr Vec4 GROUND_1{0.515625F, 0.671875F, 0.351562F, 1.0F};
constexpr Vec4 GROUND_2{0.410156F, 0.574219F, 0.300781F, 1.0F};
constexpr Vec4 HILLS{0.609375F, 0.753906F, 0.410156F, 1.0F};
constexpr Vec4 WATER{0.347656F, 0.589844F, 0.734375F, 1.0F};
constexpr Vec4 WATER_HIGHLIGHTS{0.835938F, 0.929688F, 0.976562F, 1.0F};
constexpr Vec4 SKY_OBJECTS{1.0F, 0.964844F, 0.859375F, 1.0F};
constexpr Vec4 ANIMAL{0.960938F, 0.917969F, 0.839844F, 1.0F};
constexpr Vec4 CLEAR_COLOR{0.558594F, 0.757812F, 0.878906F, 1.0F};

// Height in world units by which the water highlights rise and fall over one wave.
constexpr float WAVE_AMPLITUDE = 0.6F;

const AffineTranformation IDENTITY{Vec3(0.0F, 0.0F, 0.0F), Vec3(0.0F, 0.0F, 0.0F),
                                   Vec3(1.0F, 1.0F, 1.0F)};

UniformValuePtr matrixUniform() {
    return std::make_shared<UniformFloatValue>(std::vector<float>(16, 0.0F));
}

UniformValuePtr floats(const Vec4& v) {
    return std::make_shared<UniformFloatValue>(std::vector<float>{v._x, v._y, v._z, v._w});
}

std::vector<UniformValuePtr> flatColour(const Vec4& colour) {
    return {matrixUniform(), floats(colour)};
}

MeshPtr makeMesh(const char* fileName) {
    auto mesh = std::make_shared<Mesh>();
    mesh->fileName = fileName;
    return mesh;
}

ShaderPtr makeShader(const char* name) {
    auto shader = std::make_shared<Shader>();
    shader->name = name;
    return shader;
}

std::shared_ptr<GroupCommand> makeGroup(const char* name, std::vector<CommandPtr> children) {
    auto group = std::make_shared<GroupCommand>(true, std::move(children));
    group->name = name;
    return group;
}

} // namespace

ExampleScene::ExampleScene()
    : cameraAnimator_(CAMERA_SPEED, CAMERA_MIN_DURATION, CAMERA_TRANSITION_DURATION, true),
      animationAnimal_(ANIMAL_TEXTURE_WIDTH, ANIMAL_TEXTURE_WIDTH, ANIMAL_FRAMES) {
    FOV_LANDSCAPE = 35.0F;
    FOV_PORTRAIT = 60.0F;
    Z_NEAR = 50.0F;
    Z_FAR = 10'000.0F;

    timers_.add(Timers::Clouds1, 250'000.0F);
    timers_.add(Timers::Clouds2, 300'000.0F);
    timers_.add(Timers::Water, 2'500.0F);
    timers_.add(Timers::BirdWings1, 1'000.0F);
    timers_.add(Timers::BirdWings2, 900.0F);
    timers_.add(Timers::AnimalAnimation, 6'000.0F);
    timers_.add(Timers::ShootingStar, 1'000.0F);
    timers_.add(Timers::BirdsFly, 25'000.0F);
    timers_.add(Timers::Camera, 34'000.0F);

    cameraAnimator_.setCameras(Cameras::CAMERAS(), false);
    cameraAnimator_.setMinDurationCoefficient(CAMERA_PERIOD);

    buildResources();
    buildCommands();
}

void ExampleScene::buildResources() {
    meshes = {makeMesh("mountains_bright"),
              makeMesh("mountains_dark"),
              makeMesh("center_rock_bright"),
              makeMesh("center_rock_dark"),
              makeMesh("ground_1"),
              makeMesh("ground_2"),
              makeMesh("hills"),
              makeMesh("water"),
              makeMesh("water_highlights"),
              makeMesh("static"),
              makeMesh("Alpaca-Idle"),
              makeMesh("sun"),
              makeMesh("sun_small"),
              makeMesh("stars")};

    texStatic = std::make_shared<Texture>();
    texStatic->name = "static";
    texStatic->fileName = "static";
    texStatic->format = TextureFormat::ASTC;
    texStatic->mipmaps = 9;

    texFp16 = std::make_shared<Texture>();
    texFp16->name = "testfp16";
    texFp16->fileName = "Alpaca/Eating/animal.rgba.fp16";
    texFp16->format = TextureFormat::RGBA16F;
    texFp16->width = animationAnimal_.textureWidth;
    texFp16->height = animationAnimal_.textureHeight;
    texFp16->minFilter = TextureFiltering::NEAREST;
    texFp16->magFilter = TextureFiltering::NEAREST;
    textures = {texStatic, texFp16};

    shaders = {makeShader("Color"), makeShader("Diffuse"),
               makeShader("ColorAnimatedTextureChunked"), makeShader("Water")};

    uniformsMountainsBright = flatColour(MOUNTAINS_BRIGHT);
    uniformsMountainsDark = flatColour(MOUNTAINS_DARK);
    uniformsCenterRockBright = flatColour(CENTER_ROCK_BRIGHT);
    uniformsCenterRockDark = flatColour(CENTER_ROCK_DARK);
    uniformsGround1 = flatColour(GROUND_1);
    uniformsGround2 = flatColour(GROUND_2);
    uniformsHills = flatColour(HILLS);
    uniformsWater = flatColour(WATER);
    uniformsWaterHighlights = flatColour(WATER_HIGHLIGHTS);
    uniformsWaterHighlights.push_back(floats(Vec4(0.0F, WAVE_AMPLITUDE, 0.0F, 0.0F)));
    uniformsSkyObjects = flatColour(SKY_OBJECTS);
    uniformsDiffuseTest = {matrixUniform(), std::make_shared<UniformTextureValue>(texStatic)};
    // The animal: MVP, colour, the layout of its animation texture (texels per row, chunks,
    // frames, vertices), the current frame row, the texture itself and its model scale.
    uniformsAnimated = {
        matrixUniform(),
        floats(ANIMAL),
        std::make_shared<UniformIntValue>(std::vector<std::int32_t>{
            animationAnimal_.textureWidth, animationAnimal_.chunks, animationAnimal_.frames,
            ANIMAL_TEXTURE_WIDTH}), // one chunk: as many vertices as texels in a row
        floats(Vec4(animationAnimal_.animateStartToEnd(0.0F), animationAnimal_.texelHalfWidth,
                    animationAnimal_.chunkSize, animationAnimal_.texelHeight)),
        std::make_shared<UniformTextureValue>(texFp16),
        floats(Vec4(1.0F, 1.0F, 1.0F, 0.0F))};
}

void ExampleScene::buildCommands() {
    // Flat-colour meshes carry their positions as three half floats, padded to 8 bytes.
    const VertexAttributesDescriptor halfPositions({VertexAttribute(0, VertexFormat::HALF3, 0)}, 8);
    const auto& color = shaders[0];
    const auto& diffuse = shaders[1];
    const auto& animated = shaders[2];
    const auto& water = shaders[3];
    auto flat = std::make_shared<DrawMeshState>(color, BLENDING_NONE(), DEPTH_TEST_ENABLED(),
                                                CullFace::BACK, halfPositions);
    // The water is see-through for depth so that the highlights on it are never cut.
    auto waterSurface = std::make_shared<DrawMeshState>(color, BLENDING_NONE(), DEPTH_NO_WRITE(),
                                                        CullFace::BACK, halfPositions);
    auto waterHighlights = std::make_shared<DrawMeshState>(water, BLENDING_NONE(), DEPTH_NO_WRITE(),
                                                           CullFace::BACK, halfPositions);
    auto textured = std::make_shared<DrawMeshState>(
        diffuse, BLENDING_NONE(), DEPTH_TEST_ENABLED(), CullFace::BACK,
        VertexAttributesDescriptor({VertexAttribute(0, VertexFormat::FLOAT3, 0),
                                    VertexAttribute(1, VertexFormat::FLOAT2, 12)},
                                   20));
    // The animal's vertices come from its animation texture, so it has no vertex layout.
    auto animal = std::make_shared<DrawMeshState>(animated, BLENDING_NONE(), DEPTH_TEST_ENABLED(),
                                                  CullFace::BACK, std::nullopt);

    auto draw = [this](std::size_t mesh, const std::vector<UniformValuePtr>& uniforms,
                       const DrawMeshStatePtr& state) {
        return std::make_shared<DrawTransformedMeshCommand>(meshes[mesh], uniforms, state, IDENTITY,
                                                            0, -1, -1, -1);
    };

    auto clearColor = std::make_shared<ClearColorCommand>();
    clearColor->name = "clear color";
    *clearColor->color = CLEAR_COLOR;
    auto clear = std::make_shared<ClearCommand>();
    clear->clearType = ClearCommandClearType::COLOR_AND_DEPTH;

    waterHighlights_ = draw(8, uniformsWaterHighlights, waterHighlights);
    skyObjects_ = {draw(11, uniformsSkyObjects, flat), draw(12, uniformsSkyObjects, flat),
                   draw(13, uniformsSkyObjects, flat)};
    skyObjects_[0]->enabled = false; // the large sun
    skyObjects_[2]->enabled = false; // the stars

    auto vignette = std::make_shared<VignetteCommand>();
    *vignette->color0 = Vec4(0.5F, 0.5F, 0.5F, 1.0F);
    *vignette->color1 = Vec4(1.0F, 1.0F, 1.0F, 1.0F);

    commands = {
        std::make_shared<NoopCommand>(),
        std::make_shared<GroupCommand>(true, std::vector<CommandPtr>{clearColor, clear}),
        draw(10, uniformsAnimated, animal),
        makeGroup("hill",
                  {draw(2, uniformsCenterRockBright, flat), draw(3, uniformsCenterRockDark, flat)}),
        makeGroup("grounds", {draw(4, uniformsGround1, flat), draw(6, uniformsHills, flat),
                              draw(5, uniformsGround2, flat)}),
        makeGroup("mountains",
                  {draw(0, uniformsMountainsBright, flat), draw(1, uniformsMountainsDark, flat)}),
        makeGroup("water", {draw(7, uniformsWater, waterSurface), waterHighlights_}),
        makeGroup("birds", {}),
        makeGroup("clouds", {}),
        makeGroup("sky objects", {skyObjects_[0], skyObjects_[1], skyObjects_[2]}),
        makeGroup("shooting stars", {}),
        draw(9, uniformsDiffuseTest, textured),
        vignette,
    };
}

void ExampleScene::updateTimers(double time) {
    timers_.iterate(time);
    cameraAnimator_.animate(time);
    animate();
    lastFrameTime = time;
}

void ExampleScene::animate() {
    calculateProjection(1.0F, viewportWidth, viewportHeight);
    const auto& interpolator = cameraAnimator_.positionInterpolator();
    // The path's rotation holds a look-at point in this scene.
    setViewLookingAt(interpolator.cameraPosition(), interpolator.cameraRotation());

    // The sky turns once per Clouds1 period, carrying the sun and the stars across it.
    const float skyTurn = timers_.get(Timers::Clouds1) * 360.0F;
    for (const DrawPtr& sky : skyObjects_) {
        sky->tranform.rotation._z = skyTurn;
    }

    // The highlights ride a wave: the shader reads its phase, the mesh rises and falls with it.
    const float wave = timers_.get(Timers::Water);
    setUniform(uniformsWaterHighlights[2], wave);
    waterHighlights_->tranform.translation._z =
        WAVE_AMPLITUDE * std::sin(2.0F * std::numbers::pi_v<float> * wave);

    // The animal steps through the rows of its animation texture.
    setUniform(uniformsAnimated[3],
               animationAnimal_.animateStartToEnd(timers_.get(Timers::AnimalAnimation)));

    updateMeshTransformations(commands);
}

} // namespace example
