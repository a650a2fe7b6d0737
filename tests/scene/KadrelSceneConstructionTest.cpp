#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <string>

#include "scene/kadrel/CameraTable.h"
#include "scene/kadrel/Cameras.h"
#include "scene/kadrel/KadrelScene.h"
#include "tests/scene/SceneTree.h"

using namespace engine;
using namespace engine::commands;
using kadrel::KadrelScene;
using scenetest::findNamed;

namespace {

std::string describe(const GroupCommand& group) {
    std::string out;
    for (const auto& c : group.commands) {
        out += (c->name.empty() ? std::string(common::name(c->type())) : c->name) + " ";
    }
    return out;
}

std::string meshAndTexture(const Command& command) {
    const auto& draw = dynamic_cast<const DrawMeshCommand&>(command);
    return draw.mesh->fileName + "+" +
           static_cast<const UniformTextureValue&>(*draw.uniforms[1]).value->fileName;
}

} // namespace

TEST(KadrelSceneConstruction, BuildsResourcesAndTheSharedCommandTree) {
    KadrelScene scene;
    std::string names;
    for (const auto& m : scene.meshes) {
        names += m->fileName + " ";
    }
    for (const auto& t : scene.textures) {
        names += t->fileName + ":" + std::to_string(t->mipmaps) + " ";
    }
    EXPECT_EQ(names, "room1 room2-optimized0 room2-optimized1 room2-optimized2 "
                     "room1:11 room20:12 room21:0 room22:0 ");
    ASSERT_EQ(scene.shaders.size(), 1U);
    EXPECT_EQ(scene.shaders[0]->name, "Diffuse");

    const auto& list = scene.commands;
    ASSERT_EQ(list.size(), 2U);
    auto* normalMain = list[0]->asGroup()->commands.at(2)->asGroup();
    auto* blurredMain = findNamed<BlurredPassCommand>(list, "blurred-main");
    auto* blurredShow = list[1]->asGroup()->commands.at(1)->asGroup();
    EXPECT_EQ(describe(*list[0]->asGroup()), "bloom1 bloom2 MAIN_PASS ");
    EXPECT_EQ(describe(*normalMain), "GROUP room1 room2 draw bloom VIGNETTE CUSTOM ");
    EXPECT_EQ(describe(*list[1]->asGroup()), "blurred-main MAIN_PASS ");
    EXPECT_EQ(describe(*blurredMain), "GROUP room1 room2 VIGNETTE ");
    EXPECT_EQ(describe(*blurredShow), "GROUP draw blurred ");
    EXPECT_EQ(describe(*findNamed<GroupCommand>(list, "bloom1")), "GROUP room1-blurred ");
    EXPECT_EQ(describe(*findNamed<GroupCommand>(list, "room2-blurred")),
              "DRAW_MESH DRAW_MESH DRAW_MESH ");

    // One clear colour object behind all five clears; rooms and vignette under two parents.
    int clears = 0;
    for (Command* node : scenetest::allNodes(list)) {
        if (node->type() == CommandType::CLEAR_COLOR) {
            ++clears;
            EXPECT_EQ(node, findNamed(list, "clear color"));
        }
    }
    EXPECT_EQ(clears, 5);
    EXPECT_EQ(normalMain->commands[1], blurredMain->commands[1]);
    EXPECT_EQ(normalMain->commands[4], blurredMain->commands[3]);
    EXPECT_EQ(findNamed<BlurredPassCommand>(list, "bloom2")->id, 1);
    EXPECT_EQ(blurredMain->id, 2);
    EXPECT_EQ(findNamed<DrawBlurredCommand>(list, "draw bloom")->blending->destinationFactorColor,
              BlendingFactor::ONE);

    // Every draw shares the one state object (one pipeline) but owns its matrix uniform.
    EXPECT_EQ(meshAndTexture(*findNamed<GroupCommand>(list, "room1")->commands[0]), "room1+room1");
    EXPECT_EQ(meshAndTexture(*findNamed<GroupCommand>(list, "room2-blurred")->commands[0]),
              "room2-optimized0+room21");
    const auto draws = scenetest::transformedDraws(list);
    ASSERT_EQ(draws.size(), 8U);
    for (std::size_t i = 0; i < draws.size(); ++i) {
        EXPECT_EQ(draws[i]->state, draws[0]->state);
        EXPECT_EQ(scenetest::floatsOf(draws[i]->uniforms[0]).size(), 16U);
        for (std::size_t j = 0; j < i; ++j) {
            EXPECT_NE(draws[j]->uniforms[0], draws[i]->uniforms[0]);
        }
    }
    EXPECT_EQ(draws[0]->state->vertexAttributes->stride, 12);

    const kadrel::DrawClockCommand clock;
    EXPECT_EQ(clock.type(), CommandType::CUSTOM);
    EXPECT_TRUE(clock.name.empty() && clock.enabled);
}

TEST(KadrelSceneConstruction, StartsInRoomTwoOnItsFirstPath) {
    KadrelScene scene;
    const auto& list = scene.commands;
    EXPECT_FALSE(findNamed(list, "room1")->enabled || findNamed(list, "bloom1")->enabled);
    EXPECT_TRUE(findNamed(list, "room2")->enabled && findNamed(list, "bloom2")->enabled);
    EXPECT_EQ(scene.currentRoom(), 1);
    const auto& animator = scene.cameraAnimator();
    EXPECT_EQ(animator.cameras(), kadrel::Cameras::CAMERAS()[1]);
    EXPECT_EQ(animator.currentCameraIndex(), 0);
    EXPECT_EQ(animator.positionInterpolator().duration(), 22000.0F);

    // Both render paths stay enabled until the first frame decides between them.
    EXPECT_TRUE(list[0]->enabled && list[1]->enabled);
    scene.updateTimers(1000.0);
    EXPECT_TRUE(list[0]->enabled);
    EXPECT_FALSE(list[1]->enabled);
}

// The rooms were modelled around the recorded paths, so a mistyped coordinate would put a
// camera inside a wall. The extents the geometry was built for catch such a slip.
TEST(KadrelSceneConstruction, CameraPathsMatchTheRoomsBuiltAroundThem) {
    const auto& rooms = kadrel::Cameras::CAMERAS();
    EXPECT_EQ(&kadrel::Cameras::CAMERAS(), &rooms) << "built once, shared by every scene";
    const float extents[2][6] = {{-829, 1957, -1516, 1357, 40, 137},
                                 {-1809, 1280, -906, 790, 10, 1267}};
    for (std::size_t room = 0; room < 2; ++room) {
        float lo[3] = {INFINITY, INFINITY, INFINITY};
        float hi[3] = {-INFINITY, -INFINITY, -INFINITY};
        for (std::size_t i = 0; i < rooms[room]->size(); ++i) {
            const auto& pair = *rooms[room]->at(i);
            const auto& row = kadrel::CAMERA_TABLE[room][i];
            EXPECT_EQ(std::bit_cast<std::uint32_t>(pair.end.rotation._y),
                      std::bit_cast<std::uint32_t>(row.endLookAt.y));
            EXPECT_EQ(pair.speedMultiplier, 1.0F);
            for (const auto& eye : {pair.start.position, pair.end.position}) {
                const float v[3] = {eye._x, eye._y, eye._z};
                for (int k = 0; k < 3; ++k) {
                    lo[k] = std::fmin(lo[k], v[k]);
                    hi[k] = std::fmax(hi[k], v[k]);
                }
            }
            if (room == 0) { // the hall's paths keep their eye height
                EXPECT_EQ(pair.start.position._z, pair.end.position._z);
            }
        }
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(std::round(lo[k]), extents[room][2 * k]) << "room " << room << " axis " << k;
            EXPECT_EQ(std::round(hi[k]), extents[room][2 * k + 1]);
        }
    }
    EXPECT_EQ(rooms[0]->size(), 4U);
    EXPECT_EQ(rooms[1]->size(), 9U);
}
