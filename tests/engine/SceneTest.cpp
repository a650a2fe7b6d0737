#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "engine/Errors.h"
#include "engine/Scene.h"
#include "engine/commands/Commands.h"
#include "engine/math/Matrix.h"

namespace {

using namespace engine;
using namespace engine::commands;
using math::Matrix;
using math::Vec3;
using Matrix16 = std::array<float, 16>;

constexpr Matrix16 IDENTITY{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

class TestScene : public Scene {
  public:
    void initialize() override {}
};

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

UniformValuePtr matrixUniform() {
    return std::make_shared<UniformFloatValue>(std::vector<float>(16, -7.0F));
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

    TestScene scene;
    const Matrix16& p = scene.matProjection;
};

TEST_F(ProjectionTest, OrientationZoomAndMultiplierPickFieldOfViewAndAspect) {
    struct Case {
        int width, height;
        float zoom, multiplier, fovDegrees, aspect;
    };
    const Case cases[]{{1920, 1080, 0, 1, 85, 1.7777778F},
                       {1080, 1920, 0, 1, 100, 0.5625F},
                       {1920, 0, 0, 1, 85, 1},
                       {1920, 1080, 1, 1, 95, 1.7777778F},
                       {1920, 1080, 0, 0.5F, 42.5F, 1.7777778F}};
    scene.updateViewportSize(100, 4000); // only the arguments count, never the viewport
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " zoom " << c.zoom);
        scene.zoom = c.zoom;
        scene.calculateProjection(c.multiplier, c.width, c.height);
        // The half-height of the near plane, with the float just below pi as the scene uses.
        const float top = 20.0F * std::tan(c.fovDegrees / 360.0F * 3.1415925F);
        EXPECT_FLOAT_EQ(p[5], 20.0F / top);
        EXPECT_FLOAT_EQ(p[0], 20.0F / (c.aspect * top));
        EXPECT_FLOAT_EQ(p[10], (10000.0F + 20.0F) / (20.0F - 10000.0F));
        EXPECT_FLOAT_EQ(p[14], 2.0F * 10000.0F * 20.0F / (20.0F - 10000.0F));
        EXPECT_EQ(p[11], -1.0F);
    }
}

TEST_F(ProjectionTest, MetalRemapsDepthToZeroOne) {
    scene.calculateProjection(1.0F, 1920, 1080);
    const float p5 = p[5];
    scene.backendMode = BackendMode::METAL;
    scene.calculateProjection(1.0F, 1920, 1080);
    EXPECT_EQ(p[5], p5);
    const auto nearPoint = apply(p, 0, 0, -20.0F);
    const auto farPoint = apply(p, 0, 0, -10000.0F);
    EXPECT_NEAR(nearPoint[2] / nearPoint[3], 0.0F, 1e-6F);
    EXPECT_NEAR(farPoint[2] / farPoint[3], 1.0F, 1e-6F);
}

TEST_F(ProjectionTest, DegenerateConstantsFailAndLeaveTheProjection) {
    TestScene forgetful; // never set its constants
    EXPECT_THROW(forgetful.calculateProjection(1.0F, 1920, 1080), InvalidArgumentError);
    EXPECT_EQ(forgetful.matProjection, Matrix16{});

    scene.calculateProjection(1.0F, 1920, 1080);
    const Matrix16 good = p;
    scene.Z_FAR = -1.0F;
    EXPECT_THROW(scene.calculateProjection(1.0F, 1920, 1080), InvalidArgumentError);
    EXPECT_EQ(p, good);
}

TEST(SceneMatrixTest, ModelIsTranslateScaleRotateAndMvpIsProjectionViewModel) {
    TestScene scene;
    scene.calculateMVPMatrix(1, 2, 3, 0, 0, 0, 1, 1, 1);
    EXPECT_EQ(scene.matMVP, Matrix16{}) << "matrices start as zeros, not the identity";
    scene.matView = IDENTITY;
    scene.matProjection = IDENTITY;
    scene.calculateMVPMatrix(1, 2, 3, 0, 0, 90, 2, 2, 2);
    expectPoint(apply(scene.matModel, 1, 0, 0), 1, 4, 3);

    // z is applied first: (1,0,0) turns to (0,1,0) about z, then to (0,0,1) about x.
    scene.calculateMVPMatrix(0, 0, 0, 90, 0, 90, 1, 1, 1);
    expectPoint(apply(scene.matModel, 1, 0, 0), 0, 0, 1);

    // MVP applies the model, then the view, then the projection.
    scene.matView[12] = 10.0F;     // view: translate x by 10
    scene.matProjection[0] = 3.0F; // projection: scale x by 3
    scene.calculateMVPMatrix(1, 0, 0, 0, 0, 0, 2, 2, 2);
    expectPoint(apply(scene.matMVP, 1, 0, 0), (2 + 1 + 10) * 3.0F, 0, 0);

    // setMvpUniform hands the uniform a copy, which the next object leaves alone.
    const auto uniform = matrixUniform();
    scene.setMvpUniform(uniform, 4, 5, 6, 0, 0, 0, 1, 1, 1);
    const std::vector<float> written(scene.matMVP.begin(), scene.matMVP.end());
    scene.calculateMVPMatrix(0, 0, 0, 0, 0, 0, 1, 1, 1);
    EXPECT_EQ(floats(uniform), written);
    const UniformValuePtr ints = std::make_shared<UniformIntValue>(std::vector<std::int32_t>(16));
    EXPECT_THROW(scene.setMvpUniform(ints, 0, 0, 0, 0, 0, 0, 1, 1, 1), TypeMismatchError);
}

// Rotations by a zero angle, and the whole product with the model when it is the identity,
// are left out; the matrices must be those of the full sequence (translate, scale, three
// rotations, view, projection) for every mix of neutral and other values.
TEST(SceneMatrixTest, NeutralTransformsGiveTheSameMatricesAsTheFullProduct) {
    TestScene scene;
    Matrix::setLookAtM(scene.matView, 0, 100, 200, 50, 0, 0, 80, 0, 0, 1);
    scene.FOV_LANDSCAPE = 85.0F;
    scene.Z_NEAR = 20.0F;
    scene.Z_FAR = 10000.0F;
    scene.calculateProjection(1.0F, 1920, 1080);
    struct Transform {
        std::array<float, 3> t, r, s;
    };
    for (const Transform& m :
         {Transform{{0, 0, 0}, {0, 0, 0}, {1, 1, 1}},
          Transform{{3, -4, 5}, {0, 0, 0}, {2, 0.5F, 1}},
          Transform{{0, 0, 0}, {30, 0, 0}, {1, 1, 1}}, Transform{{0, 0, 0}, {0, 0, 0}, {1, 1, 2}},
          Transform{{0, 0, 1}, {0, -45, 0}, {1, 1, 1}},
          Transform{{3, -4, 5}, {10, 0, 200}, {2, 0.5F, 1}},
          Transform{{1, 2, 3}, {5, 6, 7}, {1, 1, 1}}}) {
        scene.calculateMVPMatrix(m.t[0], m.t[1], m.t[2], m.r[0], m.r[1], m.r[2], m.s[0], m.s[1],
                                 m.s[2]);
        Matrix16 model{};
        Matrix::setIdentityM(model, 0);
        Matrix::translateM(model, 0, m.t[0], m.t[1], m.t[2]);
        Matrix::scaleM(model, 0, m.s[0], m.s[1], m.s[2]);
        Matrix::rotateM(model, 0, m.r[0], 1, 0, 0);
        Matrix::rotateM(model, 0, m.r[1], 0, 1, 0);
        Matrix::rotateM(model, 0, m.r[2], 0, 0, 1);
        Matrix16 mvp{};
        Matrix::multiplyMM(mvp, 0, scene.matView, 0, model, 0);
        Matrix::multiplyMM(mvp, 0, scene.matProjection, 0, mvp, 0);
        EXPECT_EQ(scene.matModel, model) << m.t[0] << " " << m.r[0] << " " << m.s[2];
        EXPECT_EQ(scene.matMVP, mvp) << m.t[0] << " " << m.r[0] << " " << m.s[2];
    }
}

class WalkTest : public ::testing::Test {
  protected:
    WalkTest() {
        scene.matView = IDENTITY;
        scene.matView[14] = -5.0F;
        scene.matProjection = IDENTITY;
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
    EXPECT_EQ(floats(inPass->uniforms[0]), expectedMvp(2, 0, 0));
    EXPECT_EQ(floats(inGroup->uniforms[0]), expectedMvp(1, 0, 0));
    for (const auto& skipped : {inDisabled, disabledDraw}) {
        EXPECT_EQ(floats(skipped->uniforms[0]), untouched);
    }
    EXPECT_EQ(floats(plain->uniforms[0]), untouched);

    // A group under two parents is processed at both and switched off at both.
    const auto shared = draw({matrixUniform()}, Vec3(5, 0, 0));
    const auto room = std::make_shared<GroupCommand>(true, shared);
    const auto first = std::make_shared<RenderPassCommand>(true, room);
    const auto second = std::make_shared<GroupCommand>(true, room, inGroup);
    scene.updateMeshTransformations({first, second});
    EXPECT_EQ(floats(shared->uniforms[0]), expectedMvp(5, 0, 0));
    room->enabled = false;
    static_cast<UniformFloatValue&>(*shared->uniforms[0]).value = untouched;
    scene.updateMeshTransformations({first, second});
    EXPECT_EQ(floats(shared->uniforms[0]), untouched);
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
    EXPECT_EQ(floats(all->uniforms[3]), expectedMvp(1, 2, 3)); // matModel now this draw's
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

} // namespace
