#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

#include "engine/DepthMode.h"
#include "engine/commands/Commands.h"

namespace {

using namespace engine::commands;
using engine::common::name;
using engine::math::Vec3;

std::shared_ptr<DrawTransformedMeshCommand> makeTransformedDraw() {
    const AffineTranformation identity(Vec3(0, 0, 0), Vec3(0, 0, 0), Vec3(1, 1, 1));
    return std::make_shared<DrawTransformedMeshCommand>(std::make_shared<engine::Mesh>(),
                                                        std::vector<engine::UniformValuePtr>{},
                                                        nullptr, identity, 0, -1, -1, -1);
}

// The renderer dispatches on type() and descends through asGroup(), and the scene's walk
// feeds matrices only to transformed draws: a class answering wrongly is drawn as something
// else or has its children skipped.
TEST(CommandsTest, EachClassReportsItsTypeAndItsRole) {
    const std::vector<std::tuple<CommandPtr, CommandType, bool>> cases{
        {std::make_shared<NoopCommand>(), CommandType::NOOP, false},
        {std::make_shared<GroupCommand>(), CommandType::GROUP, true},
        {std::make_shared<RenderPassCommand>(), CommandType::RENDER_PASS, true},
        {std::make_shared<MainPassCommand>(), CommandType::MAIN_PASS, true},
        {std::make_shared<BlurredPassCommand>(), CommandType::BLURRED_PASS, true},
        {std::make_shared<ClearColorCommand>(), CommandType::CLEAR_COLOR, false},
        {std::make_shared<ClearCommand>(), CommandType::CLEAR, false},
        {std::make_shared<VignetteCommand>(), CommandType::VIGNETTE, false},
        {std::make_shared<DrawBlurredCommand>(), CommandType::DRAW_BLURRED, false},
        {makeTransformedDraw(), CommandType::DRAW_MESH, false},
    };
    for (const auto& [command, type, isGroup] : cases) {
        EXPECT_EQ(command->type(), type) << name(type);
        EXPECT_EQ(command->asGroup() == command.get(), isGroup) << name(type);
        EXPECT_TRUE(command->enabled) << name(type);
    }
    const auto transformed = makeTransformedDraw();
    EXPECT_EQ(transformed->asTransformedDraw(), transformed.get());
    EXPECT_EQ(DrawMeshCommand(nullptr, {}, nullptr).asTransformedDraw(), nullptr);
}

// Scenes recolour one command's colour in place, so colours are never shared; the renderer
// keys its pipelines on the shared states and hints, so each of those is made once and means
// what its name says.
TEST(CommandsTest, ColoursAreOwnedAndSharedStatesMadeOnce) {
    VignetteCommand vignette;
    vignette.color0->r() = 0.5F;
    EXPECT_EQ(vignette.color1->r(), 0.0F);
    EXPECT_NE(ClearColorCommand().color, ClearColorCommand().color);
    EXPECT_EQ(HINT_VRS_2X2(), HINT_VRS_2X2());
    EXPECT_EQ(engine::DEPTH_NO_READ(), engine::DEPTH_NO_READ());
    const std::tuple<engine::DepthModePtr, bool, bool> depths[]{
        {engine::DEPTH_NONE(), false, false},
        {engine::DEPTH_NO_READ(), false, true},
        {engine::DEPTH_NO_WRITE(), true, false},
        {engine::DEPTH_TEST_ENABLED(), true, true}};
    for (const auto& [mode, test, write] : depths) {
        EXPECT_TRUE(mode->depthTest == test && mode->depthWrite == write);
    }
    EXPECT_EQ(DrawBlurredCommand().blending, engine::BLENDING_NONE());
}

TEST(AffineTranformationTest, TextAndHash) {
    const AffineTranformation identity(Vec3(0, 0, 0), Vec3(0, 0, 0), Vec3(1, 1, 1));
    EXPECT_EQ(identity.toString(),
              "AffineTranformation(translation=Vec3(_x=0.0, _y=0.0, _z=0.0), "
              "rotation=Vec3(_x=0.0, _y=0.0, _z=0.0), scale=Vec3(_x=1.0, _y=1.0, _z=1.0))");
    // Swapping two fields' values must not hash alike.
    const AffineTranformation swapped(Vec3(1, 1, 1), Vec3(0, 0, 0), Vec3(0, 0, 0));
    EXPECT_NE(swapped.hash(), identity.hash());
}

} // namespace
