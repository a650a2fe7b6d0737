#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/Scene.h"
#include "renderer/RenderSurface.h"
#include "renderer/gl/GlObject.h"
#include "renderer/loaders/ResourceLocator.h"
#include "renderer/pipeline/Uniform.h"

namespace renderer {

namespace gl {
class State;
}
class FrameEncoder;
class GaussianBlurRenderPass;
class ShaderLibrary;
struct SceneResources;

// What a renderer has done so far, for tools, benchmarks and tests.
struct RendererStats {
    // GL calls made through the state shadow (every call of the frame path), since the start.
    std::uint64_t glCalls = 0;
    // GL objects made by this process so far (gl::objectsCreated()).
    std::uint64_t glObjectsCreated = 0;
    // What the frames made the first time they needed it, each one allocation with GL objects
    // of its own: pipelines (one per draw state), vertex arrays (one per mesh and vertex
    // layout), blurred passes and full-screen quads (one per command id).
    std::size_t pipelines = 0;
    std::size_t meshVertexArrays = 0;
    std::size_t blurredPasses = 0;
    std::size_t fullscreenQuads = 0;
    // Textures whose texels are still on their way (0 once every one is complete).
    std::size_t texturesLoading = 0;
    // The renderer's account of its video memory (gl::videoMemory(): every renderer of the
    // process together).
    gl::VideoMemory videoMemory;
};

// Draws an engine scene with OpenGL 3.3 core. It loads everything the scene lists when it
// is made and, every frame, brings the scene's viewport up to date, advances the scene's
// clock and has a FrameEncoder execute the scene's command tree.
//
// Textures are the exception, as they are most of the loading: their files are checked when
// the renderer is made, but a texture's texels go up when a frame first draws with it, and
// the textures no frame has drawn with yet follow the first frame a level or a band at a
// time, after each frame is shown. A frame never draws with a texture that is not complete.
//
// A concrete renderer says which inputs each of the scene's shaders takes
// (makeShadersUniforms) and calls load() at the end of its constructor, once that override
// is in place. The host's GL context must be current whenever the renderer is made, draws or
// is destroyed. Broken set-up stops the program with a message (see Fatal.h).
//
// The host may draw in the same context. The desktop program's GL view draws its clock over
// the frame inside RenderSurface::present(), which the main pass calls: it calls
// releaseGlState() before it draws and resetGlState() once it is done. Hosts that draw
// nothing of their own (kadrel-render, the tests) call neither.
class SceneRenderer {
    // Constructed before every other member, as they make GL objects: stops the program with
    // "GPU not available" unless an OpenGL 3.3 context is current.
    struct ContextCheck {
        ContextCheck();
    } contextCheck_;

  public:
    virtual ~SceneRenderer();
    SceneRenderer(const SceneRenderer&) = delete;
    SceneRenderer& operator=(const SceneRenderer&) = delete;

    // One frame at the monotonic clock's time.
    void drawFrame();
    // One frame at `timeMs` milliseconds of scene time (tools render reproducible frames).
    void drawFrame(double timeMs);

    // Before other code draws in the context: leaves it as a fresh context has it (no
    // program, vertex array, buffer, texture or sampler bound; no blending, depth test or
    // culling; GL's default pixel storage), the framebuffer the frame went to still bound.
    void releaseGlState();
    // Other code has used the GL context since the last frame: forget the shadowed state and
    // set the renderer's fixed state again.
    void resetGlState();

    // Shader name → the uniforms its draws carry. The base has none: calling it stops the
    // program with "Not implemented".
    virtual const ShadersUniforms& makeShadersUniforms();

    // Completes every texture still on its way now (tools and tests that want the whole
    // scene in memory).
    void finishLoading();

    // Pipelines are made once per draw state object; after a state is edited, this makes the
    // next frame build them again.
    void forgetPipelines();

    RendererStats stats() const;
    const gl::State& glState() const noexcept { return *glState_; }
    const SceneResources& resources() const noexcept { return *resources_; }
    // The blurred pass made for BlurredPassCommand.id `id`, or null before its first frame.
    const GaussianBlurRenderPass* blurredPass(std::int32_t id) const;
    // The last vignette's colours (0 or 1) as the GPU got them, in half floats.
    const std::array<std::uint16_t, 4>& vignetteColorHalves(int which) const;

  protected:
    // Checks for a usable GL context ("GPU not available") and sets the scene's back end;
    // loads nothing yet.
    SceneRenderer(RenderSurface& surface, std::shared_ptr<engine::Scene> scene,
                  std::string resourcesRoot, ResourceLocator locator);

    // Shaders, models, the textures' files (checked, not yet uploaded) and the vignette, in
    // this order; then the scene's initialize(), a check of every draw of the command tree
    // against its model's files (index bounds, whole vertices of the draw's layout), and
    // loaded = true.
    void load();

  private:
    void loadShaders();
    void loadModels();
    void loadTextures();
    void loadVignette();
    // The textures the enabled draws use, completed before the frame draws with them.
    void completeTexturesOfFrame();
    // The next levels or bands of the first texture still on its way.
    void streamTextures();
    // Texture `id`'s next levels or bands, `budget` bytes of them (SIZE_MAX: all); the texture
    // takes its place in the resources once complete.
    void advanceTexture(std::size_t id, std::size_t budget);

    std::shared_ptr<engine::Scene> scene_;
    std::string resourcesRoot_;
    RenderSurface& surface_;
    ResourceLocator locator_;
    std::unique_ptr<gl::State> glState_;
    std::unique_ptr<ShaderLibrary> shaderLibrary_;
    std::unique_ptr<SceneResources> resources_;
    // Made once everything is loaded.
    std::unique_ptr<FrameEncoder> frame_;
};

} // namespace renderer
