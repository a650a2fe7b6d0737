#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "engine/Errors.h"
#include "engine/Scene.h"
#include "engine/commands/Commands.h"

namespace {

using namespace engine;
using namespace engine::commands;
using math::Vec3;

class TestScene : public Scene {
  public:
    void initialize() override {}
};

using Matrix16 = std::array<float, 16>;

Matrix16 identity() {
    Matrix16 m{};
    m[0] = m[5] = m[10] = m[15] = 1.0F;
    return m;
}

// Column-major M·(x, y, z, 1), computed here rather than with the library under test.
std::array<float, 4> apply(const Matrix16& m, float x, float y, float z) {
    std::array<float, 4> out{};
    for (int r = 0; r < 4; ++r) {
        out[r] = m[r] * x + m[4 + r] * y + m[8 + r] * z + m[12 + r];
    }
    return out;
}

void expectPoint(const std::array<float, 4>& p, float x, float y, float z) {
    EXPECT_NEAR(p[0], x, 1e-5F);
    EXPECT_NEAR(p[1], y, 1e-5F);
    EXPECT_NEAR(p[2], z, 1e-5F);
    EXPECT_EQ(p[3], 1.0F);
}

std::vector<float> floats(const UniformValuePtr& u) {
    return static_cast<UniformFloatValue&>(*u).value;
}

UniformValuePtr matrixUniform(float fill = -7.0F) {
    return std::make_shared<UniformFloatValue>(std::vector<float>(16, fill));
}

std::shared_ptr<DrawTransformedMeshCommand> draw(std::vector<UniformValuePtr> uniforms,
                                                 const Vec3& translation, int mvp = 0,
                                                 int model = -1, int view = -1,
                                                 int projection = -1) {
    return std::make_shared<DrawTransformedMeshCommand>(
        std::make_shared<Mesh>(), std::move(uniforms), nullptr,
        AffineTranformation(translation, Vec3(0, 0, 0), Vec3(1, 1, 1)), mvp, model, view,
        projection);
}

// A scene with the wallpaper's constants.
class ProjectionTest : public ::testing::Test {
  protected:
    ProjectionTest() {
        scene.FOV_LANDSCAPE = 85.0F;
        scene.FOV_PORTRAIT = 100.0F;
        scene.Z_NEAR = 20.0F;
        scene.Z_FAR = 10000.0F;
    }

    // The half-height of the near plane for a vertical field of view, as the scene computes it.
    static float topFor(float fovDegrees) {
        return 20.0F * std::tan(fovDegrees / 360.0F * 3.1415925F);
    }

    TestScene scene;
};

TEST(SceneTest, NewSceneStartsEmptyWithZeroMatrices) {
    TestScene scene;
    EXPECT_EQ(scene.backendMode, BackendMode::OPENGL);
    EXPECT_TRUE(scene.commands.empty() && scene.meshes.empty());
    EXPECT_EQ(scene.ZOOM_FOV, 10.0F);
    EXPECT_EQ(scene.matView, Matrix16{});
    EXPECT_EQ(scene.matProjection, Matrix16{});

    scene.updateTimers(1234.5);
    scene.updateViewportSize(1920, 1080);
    EXPECT_EQ(scene.lastFrameTime, 1234.5);
    EXPECT_EQ(scene.viewportWidth, 1920);
    EXPECT_EQ(scene.viewportHeight, 1080);

    // Nobody set a view matrix: every MVP comes out all zeros.
    scene.matProjection = identity();
    scene.calculateMVPMatrix(1, 2, 3, 10, 20, 30, 1, 1, 1);
    EXPECT_EQ(scene.matMVP, Matrix16{});
}

TEST_F(ProjectionTest, LandscapeAndPortraitPickTheirFieldOfViewAndAspect) {
    scene.calculateProjection(1.0F, 1920, 1080);
    const float top = topFor(85.0F);
    const float right = 1.7777778F * top;
    EXPECT_FLOAT_EQ(scene.matProjection[0], 20.0F / right);
    EXPECT_FLOAT_EQ(scene.matProjection[5], 20.0F / top);
    EXPECT_FLOAT_EQ(scene.matProjection[10], (10000.0F + 20.0F) / (20.0F - 10000.0F));
    EXPECT_FLOAT_EQ(scene.matProjection[14], 2.0F * 10000.0F * 20.0F / (20.0F - 10000.0F));
    EXPECT_EQ(scene.matProjection[11], -1.0F);

    scene.calculateProjection(1.0F, 1080, 1920);
    const float portraitTop = topFor(100.0F);
    EXPECT_FLOAT_EQ(scene.matProjection[5], 20.0F / portraitTop);
    EXPECT_FLOAT_EQ(scene.matProjection[0], 20.0F / (0.5625F * portraitTop));

    // The viewport fields play no part; only the arguments do.
    scene.updateViewportSize(100, 4000);
    scene.calculateProjection(1.0F, 1920, 1080);
    EXPECT_FLOAT_EQ(scene.matProjection[5], 20.0F / topFor(85.0F));
}

TEST_F(ProjectionTest, ZeroHeightZoomAndMultiplier) {
    scene.calculateProjection(1.0F, 1920, 0);
    EXPECT_TRUE(std::isfinite(scene.matProjection[0]));
    EXPECT_FLOAT_EQ(scene.matProjection[0], scene.matProjection[5]);
    EXPECT_FLOAT_EQ(scene.matProjection[5], 20.0F / topFor(85.0F));

    scene.zoom = 1.0F;
    scene.calculateProjection(1.0F, 1920, 1080);
    EXPECT_FLOAT_EQ(scene.matProjection[5], 20.0F / topFor(95.0F));

    scene.zoom = 0.0F;
    scene.calculateProjection(0.5F, 1920, 1080);
    EXPECT_FLOAT_EQ(scene.matProjection[5], 20.0F / topFor(42.5F));
}

TEST_F(ProjectionTest, MetalRemapsDepthToZeroOne) {
    scene.backendMode = BackendMode::METAL;
    scene.calculateProjection(1.0F, 1920, 1080);
    EXPECT_NEAR(scene.matProjection[10], -1.002004F, 1e-6F);
    EXPECT_NEAR(scene.matProjection[14], -20.04008F, 1e-4F);
    EXPECT_FLOAT_EQ(scene.matProjection[5], 20.0F / topFor(85.0F));

    // The near plane lands on depth 0 and the far plane on depth 1.
    const auto nearPoint = apply(scene.matProjection, 0, 0, -20.0F);
    const auto farPoint = apply(scene.matProjection, 0, 0, -10000.0F);
    EXPECT_NEAR(nearPoint[2] / nearPoint[3], 0.0F, 1e-6F);
    EXPECT_NEAR(farPoint[2] / farPoint[3], 1.0F, 1e-6F);
}

TEST_F(ProjectionTest, DegenerateConstantsFailAndLeaveTheProjection) {
    TestScene forgetful;
    try {
        forgetful.calculateProjection(1.0F, 1920, 1080);
        FAIL() << "expected InvalidArgumentError";
    } catch (const InvalidArgumentError& e) {
        EXPECT_STREQ(e.what(), "left == right");
    }
    EXPECT_EQ(forgetful.matProjection, Matrix16{});

    scene.calculateProjection(1.0F, 1920, 1080);
    const Matrix16 good = scene.matProjection;
    scene.Z_FAR = -1.0F;
    try {
        scene.calculateProjection(1.0F, 1920, 1080);
        FAIL() << "expected InvalidArgumentError";
    } catch (const InvalidArgumentError& e) {
        EXPECT_STREQ(e.what(), "far <= 0.0f");
    }
    EXPECT_EQ(scene.matProjection, good);
}

TEST(SceneMatrixTest, ModelIsTranslateScaleRotateAndMvpIsProjectionViewModel) {
    TestScene scene;
    scene.matView = identity();
    scene.matProjection = identity();
    scene.calculateMVPMatrix(0, 0, 0, 0, 0, 0, 1, 1, 1);
    EXPECT_EQ(scene.matModel, identity());
    EXPECT_EQ(scene.matMVP, identity());

    scene.calculateMVPMatrix(1, 2, 3, 0, 0, 90, 2, 2, 2);
    expectPoint(apply(scene.matModel, 1, 0, 0), 1, 4, 3);

    // z is applied first: (1,0,0) turns to (0,1,0) about z, then to (0,0,1) about x.
    scene.calculateMVPMatrix(0, 0, 0, 90, 0, 90, 1, 1, 1);
    expectPoint(apply(scene.matModel, 1, 0, 0), 0, 0, 1);

    // MVP applies the model, then the view, then the projection.
    scene.matView = identity();
    scene.matView[12] = 10.0F; // view: translate x by 10
    scene.matProjection = identity();
    scene.matProjection[0] = 3.0F; // projection: scale x by 3
    scene.calculateMVPMatrix(1, 0, 0, 0, 0, 0, 2, 2, 2);
    expectPoint(apply(scene.matMVP, 1, 0, 0), (2 + 1 + 10) * 3.0F, 0, 0);
}

TEST(SceneMatrixTest, SetMvpUniformCopiesTheMatrix) {
    TestScene scene;
    scene.matView = identity();
    scene.matProjection = identity();
    const auto uniform = matrixUniform();
    scene.setMvpUniform(uniform, 4, 5, 6, 0, 0, 0, 1, 1, 1);
    EXPECT_EQ(floats(uniform), std::vector<float>(scene.matMVP.begin(), scene.matMVP.end()));
    EXPECT_EQ(floats(uniform)[13], 5.0F);

    // The uniform keeps its copy when the scene computes the next object.
    scene.calculateMVPMatrix(0, 0, 0, 0, 0, 0, 1, 1, 1);
    EXPECT_EQ(floats(uniform)[13], 5.0F);

    const UniformValuePtr ints = std::make_shared<UniformIntValue>(std::vector<std::int32_t>(16));
    EXPECT_THROW(scene.setMvpUniform(ints, 0, 0, 0, 0, 0, 0, 1, 1, 1), TypeMismatchError);
}

class WalkTest : public ::testing::Test {
  protected:
    WalkTest() {
        scene.matView = identity();
        scene.matView[14] = -5.0F;
        scene.matProjection = identity();
        scene.matProjection[5] = 2.0F;
    }

    // What the walk should have written for a draw translated by (x, y, z).
    std::vector<float> expectedMvp(float x, float y, float z) {
        scene.calculateMVPMatrix(x, y, z, 0, 0, 0, 1, 1, 1);
        return {scene.matMVP.begin(), scene.matMVP.end()};
    }

    TestScene scene;
    const std::vector<float> untouched = std::vector<float>(16, -7.0F);
};

TEST_F(WalkTest, EnabledGroupsAndPassesAreDescendedDisabledSubtreesSkipped) {
    const auto inGroup = draw({matrixUniform()}, Vec3(1, 0, 0));
    const auto inPass = draw({matrixUniform()}, Vec3(2, 0, 0));
    const auto inDisabled = draw({matrixUniform()}, Vec3(3, 0, 0));
    const auto disabledDraw = draw({matrixUniform()}, Vec3(4, 0, 0));
    disabledDraw->enabled = false;
    const auto plain =
        std::make_shared<DrawMeshCommand>(nullptr, std::vector{matrixUniform()}, nullptr);
    const auto blurred = std::make_shared<BlurredPassCommand>();
    blurred->commands = {inPass};
    const auto off = std::make_shared<GroupCommand>(false, inDisabled);

    scene.commands = {std::make_shared<NoopCommand>(),
                      std::make_shared<GroupCommand>(true, inGroup, plain, disabledDraw),
                      std::make_shared<MainPassCommand>(true, blurred, off), nullptr};
    scene.updateMeshTransformations(scene.commands);

    const auto uniformOf = [](const auto& d) { return floats(d->uniforms[0]); };
    EXPECT_EQ(uniformOf(inPass), expectedMvp(2, 0, 0));
    EXPECT_EQ(uniformOf(inGroup), expectedMvp(1, 0, 0));
    EXPECT_EQ(uniformOf(inDisabled), untouched);
    EXPECT_EQ(uniformOf(disabledDraw), untouched);
    EXPECT_EQ(uniformOf(plain), untouched);
}

TEST_F(WalkTest, EachIndexReceivesItsMatrixAndNegativeIndicesNothing) {
    const auto all = draw({matrixUniform(), matrixUniform(), matrixUniform(), matrixUniform()},
                          Vec3(1, 2, 3), 3, 2, 1, 0);
    const auto none = draw({matrixUniform()}, Vec3(9, 9, 9), -1, -1, -1, -1);
    scene.updateMeshTransformations({all, none});

    // The scene's matrices belong to the last draw computed, which wanted none of them.
    EXPECT_EQ(scene.matModel[12], 9.0F);
    EXPECT_EQ(floats(none->uniforms[0]), untouched);

    const auto asVector = [](const Matrix16& m) { return std::vector<float>(m.begin(), m.end()); };
    EXPECT_EQ(floats(all->uniforms[0]), asVector(scene.matProjection));
    EXPECT_EQ(floats(all->uniforms[1]), asVector(scene.matView));
    const std::vector<float> mvp = expectedMvp(1, 2, 3); // leaves matModel at this draw's
    EXPECT_EQ(floats(all->uniforms[3]), mvp);
    EXPECT_EQ(floats(all->uniforms[2]), asVector(scene.matModel));
    EXPECT_EQ(floats(all->uniforms[2])[14], 3.0F);
}

TEST_F(WalkTest, FailuresStopTheWalkAndKeepEarlierDraws) {
    const auto good = draw({matrixUniform()}, Vec3(1, 0, 0));
    const auto later = draw({matrixUniform()}, Vec3(2, 0, 0));

    const auto beyond = draw({matrixUniform()}, Vec3(0, 0, 0), 1);
    try {
        scene.updateMeshTransformations({good, beyond, later});
        FAIL() << "expected OutOfRangeError";
    } catch (const OutOfRangeError& e) {
        EXPECT_STREQ(e.what(), "index 1 out of bounds for length 1");
    }
    EXPECT_EQ(floats(good->uniforms[0]), expectedMvp(1, 0, 0));
    EXPECT_EQ(floats(later->uniforms[0]), untouched);

    const UniformValuePtr ints = std::make_shared<UniformIntValue>(std::vector<std::int32_t>(16));
    EXPECT_THROW(scene.updateMeshTransformations({draw({ints}, Vec3(0, 0, 0))}), TypeMismatchError);
    const UniformValuePtr shortArray = std::make_shared<UniformFloatValue>(std::vector<float>(4));
    EXPECT_THROW(scene.updateMeshTransformations({draw({shortArray}, Vec3(0, 0, 0))}),
                 OutOfRangeError);
    EXPECT_EQ(floats(shortArray), std::vector<float>(4));
    EXPECT_THROW(scene.updateMeshTransformations({draw({nullptr}, Vec3(0, 0, 0))}),
                 MissingValueError);
}

TEST_F(WalkTest, SharedNodesAreProcessedAtEveryPlaceAndSwitchedEverywhere) {
    const auto shared = draw({matrixUniform()}, Vec3(5, 0, 0));
    const auto room = std::make_shared<GroupCommand>(true, shared);
    const auto onlyHere = draw({matrixUniform()}, Vec3(6, 0, 0));
    const auto first = std::make_shared<RenderPassCommand>(true, room);
    const auto second = std::make_shared<GroupCommand>(true, room, onlyHere);
    scene.updateMeshTransformations({first, second});
    EXPECT_EQ(floats(shared->uniforms[0]), expectedMvp(5, 0, 0));
    EXPECT_EQ(floats(onlyHere->uniforms[0]), expectedMvp(6, 0, 0));

    // Disabling the shared group hides it under both parents.
    room->enabled = false;
    static_cast<UniformFloatValue&>(*shared->uniforms[0]).value.assign(16, -7.0F);
    scene.updateMeshTransformations({first, second});
    EXPECT_EQ(floats(shared->uniforms[0]), untouched);
}

} // namespace
