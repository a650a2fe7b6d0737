#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/Enums.h"
#include "engine/Mesh.h"
#include "engine/Shader.h"
#include "engine/Texture.h"
#include "engine/Uniforms.h"
#include "engine/commands/Command.h"
#include "engine/math/Vec.h"

namespace engine {

// The base of every scene: the resources the renderer loads, the command tree it walks, the
// viewport, and the four transformation matrices with the operations that fill them.
//
// A concrete scene fills the lists, the tree and the field-of-view and clip constants in its
// constructor and does its frame work in updateTimers. The host sets backendMode, loads the
// listed resources, calls initialize() and sets loaded; then every frame it calls
// updateViewportSize when the drawable size changed, updateTimers, and walks `commands`.
//
// The matrices live inside the scene and are only ever overwritten in place, so other
// objects may keep references to them. They start as all zeros, not as the identity.
class Scene {
  public:
    virtual ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // Called once by the host after it has loaded the scene's resources.
    virtual void initialize() = 0;
    // The frame step; time is in milliseconds on a monotonic clock. The base records it.
    virtual void updateTimers(double time);
    virtual void updateViewportSize(std::int32_t width, std::int32_t height);
    // Rebuilds matProjection from the field-of-view and clip constants; width and height
    // choose the aspect and the field of view only (the viewport fields are not read).
    // Fails with InvalidArgumentError when the frustum is degenerate.
    virtual void calculateProjection(float multiplier, std::int32_t width, std::int32_t height);

    // matModel = T(t)·S(s)·Rx·Ry·Rz (angles in degrees); matMVP = matProjection·matView·matModel.
    void calculateMVPMatrix(float tx, float ty, float tz, float rx, float ry, float rz, float sx,
                            float sy, float sz);
    // calculateMVPMatrix, then matMVP copied into the float uniform.
    void setMvpUniform(const UniformValuePtr& uniform, float tx, float ty, float tz, float rx,
                       float ry, float rz, float sx, float sy, float sz);
    // Writes the matrices of every transformed draw reachable through enabled commands into
    // the draw's uniforms. Fails (OutOfRangeError, TypeMismatchError, MissingValueError) at
    // the first draw whose uniform index or uniform is unusable; draws processed before it
    // keep their new matrices.
    void updateMeshTransformations(const std::vector<commands::CommandPtr>& list);

    BackendMode backendMode = BackendMode::OPENGL;
    std::vector<commands::CommandPtr> commands;
    std::vector<MeshPtr> meshes;
    std::vector<TexturePtr> textures;
    std::vector<ShaderPtr> shaders;
    double lastFrameTime = 0.0;
    bool loaded = false;

    std::array<float, 16> matView{};
    std::array<float, 16> matProjection{};
    std::array<float, 16> matModel{};
    std::array<float, 16> matMVP{};
    // When set, scenes leave matView to whoever wrote it instead of computing their own.
    bool useExternalViewMatrix = false;

    std::int32_t viewportWidth = 0;
    std::int32_t viewportHeight = 0;

    // Zoom widens the field of view by zoom × ZOOM_FOV degrees.
    float zoom = 0.0F;
    float ZOOM_FOV = 10.0F;
    // Vertical fields of view in degrees (landscape when width >= height) and clip
    // distances. Zero here: every scene sets its own.
    float FOV_LANDSCAPE = 0.0F;
    float FOV_PORTRAIT = 0.0F;
    float Z_NEAR = 0.0F;
    float Z_FAR = 0.0F;

  protected:
    Scene() = default;

    // Points matView from eye towards target with z up, unless useExternalViewMatrix leaves
    // the view to whoever wrote it.
    void setViewLookingAt(const math::Vec3& eye, const math::Vec3& target);
};

} // namespace engine
