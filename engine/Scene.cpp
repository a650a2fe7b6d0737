#include "engine/Scene.h"

#include <cmath>

#include "engine/Errors.h"
#include "engine/commands/DrawMeshCommand.h"
#include "engine/commands/GroupCommand.h"
#include "engine/math/Matrix.h"

namespace engine {

using math::Matrix;

namespace {
// One unit in the last place below pi as a float; the projection has always used it.
constexpr float PI_BELOW = 3.1415925F;

// Copies a matrix into the draw's uniform at index; below 0 the draw does not want it.
void writeMatrix(const commands::DrawMeshCommand& draw, std::int32_t index,
                 const std::array<float, 16>& matrix) {
    if (index < 0) {
        return;
    }
    const auto i = static_cast<std::size_t>(index);
    if (i >= draw.uniforms.size()) {
        throwIndexOutOfRange(index, draw.uniforms.size());
    }
    setUniform(draw.uniforms[i].get(), std::span<const float>(matrix));
}
} // namespace

Scene::~Scene() = default;

void Scene::updateTimers(double time) {
    lastFrameTime = time;
}

void Scene::updateViewportSize(std::int32_t width, std::int32_t height) {
    viewportWidth = width;
    viewportHeight = height;
}

void Scene::calculateProjection(float multiplier, std::int32_t width, std::int32_t height) {
    const float aspect = height < 1 ? 1.0F : static_cast<float>(width) / static_cast<float>(height);
    const float fov = (width < height ? FOV_PORTRAIT : FOV_LANDSCAPE) * multiplier;
    // Half the vertical field of view, in radians.
    const float angle = (fov + zoom * ZOOM_FOV) / 360.0F * PI_BELOW;
    const float top = Z_NEAR * std::tan(angle);
    const float right = aspect * top;
    Matrix::frustumM(matProjection, 0, -right, right, -top, top, Z_NEAR, Z_FAR);
    if (backendMode == BackendMode::METAL) {
        // The frustum maps depth to [-1, 1]; this back end clips depth to [0, 1].
        matProjection[10] = Z_FAR / (Z_NEAR - Z_FAR);
        matProjection[14] = Z_FAR / (Z_NEAR - Z_FAR) * Z_NEAR;
    }
}

void Scene::calculateMVPMatrix(float tx, float ty, float tz, float rx, float ry, float rz, float sx,
                               float sy, float sz) {
    Matrix::setIdentityM(matModel, 0);
    // An identity model (every room) leaves the view as it is: the product is P·V.
    if (tx == 0.0F && ty == 0.0F && tz == 0.0F && rx == 0.0F && ry == 0.0F && rz == 0.0F &&
        sx == 1.0F && sy == 1.0F && sz == 1.0F) {
        Matrix::multiplyMM(matMVP, 0, matProjection, 0, matView, 0);
        return;
    }
    Matrix::translateM(matModel, 0, tx, ty, tz);
    Matrix::scaleM(matModel, 0, sx, sy, sz);
    // A zero angle rotates by the identity, which leaves the matrix as it is; most draws
    // (the rooms) are not rotated at all, and the rotations were most of this step's work.
    if (rx != 0.0F) {
        Matrix::rotateM(matModel, 0, rx, 1.0F, 0.0F, 0.0F);
    }
    if (ry != 0.0F) {
        Matrix::rotateM(matModel, 0, ry, 0.0F, 1.0F, 0.0F);
    }
    if (rz != 0.0F) {
        Matrix::rotateM(matModel, 0, rz, 0.0F, 0.0F, 1.0F);
    }
    Matrix::multiplyMM(matMVP, 0, matView, 0, matModel, 0);
    Matrix::multiplyMM(matMVP, 0, matProjection, 0, matMVP, 0);
}

void Scene::setMvpUniform(const UniformValuePtr& uniform, float tx, float ty, float tz, float rx,
                          float ry, float rz, float sx, float sy, float sz) {
    calculateMVPMatrix(tx, ty, tz, rx, ry, rz, sx, sy, sz);
    setUniform(uniform.get(), std::span<const float>(matMVP));
}

void Scene::setViewLookingAt(const math::Vec3& eye, const math::Vec3& target) {
    if (!useExternalViewMatrix) {
        Matrix::setLookAtM(matView, 0, eye._x, eye._y, eye._z, target._x, target._y, target._z,
                           0.0F, 0.0F, 1.0F);
    }
}

void Scene::updateMeshTransformations(const std::vector<commands::CommandPtr>& list) {
    for (const auto& command : list) {
        // An empty slot in a list is passed over like any command without a matrix.
        if (command == nullptr || !command->enabled) {
            continue;
        }
        if (const auto* group = command->asGroup()) {
            updateMeshTransformations(group->commands);
        } else if (const auto* draw = command->asTransformedDraw()) {
            const auto& t = draw->tranform;
            calculateMVPMatrix(t.translation._x, t.translation._y, t.translation._z, t.rotation._x,
                               t.rotation._y, t.rotation._z, t.scale._x, t.scale._y, t.scale._z);
            writeMatrix(*draw, draw->indexUniformMvp, matMVP);
            writeMatrix(*draw, draw->indexUniformModel, matModel);
            writeMatrix(*draw, draw->indexUniformView, matView);
            writeMatrix(*draw, draw->indexUniformProjection, matProjection);
        }
    }
}

} // namespace engine
