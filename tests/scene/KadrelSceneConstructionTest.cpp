#include <gtest/gtest.h>

#include <array>
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

// The children of a group by name, or by type where they have none.
std::string describe(const Command* group) {
    std::string out;
    for (const auto& c : group->asGroup()->commands) {
        out += (c->name.empty() ? std::string(common::name(c->type())) : c->name) + " ";
    }
    return out;
}

} // namespace

TEST(KadrelSceneConstruction, BuildsTheSharedCommandTree) {
    KadrelScene scene;
    const auto& list = scene.commands;
    ASSERT_EQ(list.size(), 2U);
    auto* normalMain = list[0]->asGroup()->commands.at(2)->asGroup();
    auto* blurredMain = findNamed<BlurredPassCommand>(list, "blurred-main");
    EXPECT_EQ(describe(list[0].get()), "bloom1 bloom2 MAIN_PASS ");
    EXPECT_EQ(describe(normalMain), "GROUP room1 room2 draw bloom VIGNETTE CUSTOM ");
    EXPECT_EQ(describe(list[1].get()), "blurred-main MAIN_PASS ");
    EXPECT_EQ(describe(blurredMain), "GROUP room1 room2 VIGNETTE ");
    EXPECT_EQ(describe(list[1]->asGroup()->commands.at(1).get()), "GROUP draw blurred ");
    EXPECT_EQ(describe(findNamed(list, "bloom1")), "GROUP room1-blurred ");

    // One clear colour object behind all five clears; rooms and vignette under two parents.
    int clears = 0;
    for (Command* node : scenetest::allNodes(list)) {
        if (node->type() == CommandType::CLEAR_COLOR) {
            ++clears;
            EXPECT_EQ(node, findNamed(list, "clear color"));
        }
    }
    EXPECT_EQ(clears, 5);
    EXPECT_EQ(normalMain->commands.at(1), blurredMain->commands.at(1));
    EXPECT_EQ(normalMain->commands.at(4), blurredMain->commands.at(3));
    EXPECT_EQ(findNamed<DrawBlurredCommand>(list, "draw bloom")->blending->destinationFactorColor,
              BlendingFactor::ONE);

    // Every draw shares the one state object (one pipeline) but owns its matrix uniform, and
    // puts its own texture on its mesh.
    const auto draws = scenetest::transformedDraws(list);
    ASSERT_EQ(draws.size(), 8U);
    std::string meshAndTexture;
    for (std::size_t i = 0; i < draws.size(); ++i) {
        EXPECT_EQ(draws[i]->state, draws[0]->state);
        EXPECT_EQ(scenetest::floatsOf(draws[i]->uniforms[0]).size(), 16U);
        for (std::size_t j = 0; j < i; ++j) {
            EXPECT_NE(draws[j]->uniforms[0], draws[i]->uniforms[0]);
        }
        meshAndTexture +=
            draws[i]->mesh->fileName + "+" +
            static_cast<UniformTextureValue&>(*draws[i]->uniforms[1]).value->fileName + " ";
    }
    EXPECT_EQ(meshAndTexture, "room1+room21 room2-optimized0+room21 room2-optimized1+room21 "
                              "room2-optimized2+room22 room1+room1 room2-optimized0+room20 "
                              "room2-optimized1+room21 room2-optimized2+room22 ");
    std::string resources;
    for (const auto& t : scene.textures) {
        resources += t->fileName + ":" + std::to_string(t->mipmaps) + " ";
    }
    EXPECT_EQ(resources, "room1:11 room20:12 room21:0 room22:0 ");
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
    // Per room: rounded least and greatest eye x, then y, then z.
    const std::array<std::array<float, 6>, 2> extents{
        {{-829, 1957, -1516, 1357, 40, 137}, {-1809, 1280, -906, 790, 10, 1267}}};
    for (std::size_t room = 0; room < 2; ++room) {
        ASSERT_EQ(rooms[room]->size(), kadrel::CAMERA_TABLE[room].size());
        std::array<float, 6> box{INFINITY, -INFINITY, INFINITY, -INFINITY, INFINITY, -INFINITY};
        for (std::size_t i = 0; i < rooms[room]->size(); ++i) {
            const auto& pair = *rooms[room]->at(i);
            EXPECT_EQ(pair.end.rotation._y, kadrel::CAMERA_TABLE[room][i].endLookAt.y);
            EXPECT_TRUE(room == 1 || pair.start.position._z == pair.end.position._z)
                << "the hall's paths keep their eye height";
            for (const auto& eye : {pair.start.position, pair.end.position}) {
                const float v[3] = {eye._x, eye._y, eye._z};
                for (std::size_t k = 0; k < 3; ++k) {
                    box[2 * k] = std::fmin(box[2 * k], std::round(v[k]));
                    box[2 * k + 1] = std::fmax(box[2 * k + 1], std::round(v[k]));
                }
            }
        }
        EXPECT_EQ(box, extents[room]) << "room " << room;
    }
}
