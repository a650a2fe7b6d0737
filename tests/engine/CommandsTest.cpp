#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/commands/BlurSize.h"
#include "engine/commands/ClearCommandClearType.h"
#include "engine/commands/Commands.h"
#include "engine/commands/ShadingRate.h"

namespace {

using namespace engine::commands;
using engine::common::fromName;
using engine::common::name;
using engine::common::ordinal;
using engine::common::value;
using engine::common::values;
using engine::math::Vec3;

// A command a scene defines for itself.
class MarkerCommand : public Command {
  public:
    MarkerCommand() : Command(CommandType::CUSTOM) {}
};

std::shared_ptr<DrawTransformedMeshCommand> makeTransformedDraw() {
    const AffineTranformation identity(Vec3(0, 0, 0), Vec3(0, 0, 0), Vec3(1, 1, 1));
    return std::make_shared<DrawTransformedMeshCommand>(std::make_shared<engine::Mesh>(),
                                                        std::vector<engine::UniformValuePtr>{},
                                                        nullptr, identity, 0, -1, -1, -1);
}

TEST(CommandEnumsTest, ValuesOrdinalsAndNames) {
    ASSERT_EQ(values<CommandType>().size(), 11U);
    for (const CommandType t : values<CommandType>()) {
        EXPECT_EQ(value(t), ordinal(t)) << name(t);
        EXPECT_EQ(fromName<CommandType>(name(t)), t);
    }
    EXPECT_EQ(value(CommandType::CUSTOM), 10);

    // Shading rates carry the GL tokens as values but keep list positions as ordinals.
    EXPECT_EQ(value(ShadingRate::SHADING_RATE_1X1), 38566);
    EXPECT_EQ(value(ShadingRate::SHADING_RATE_4X2), 0x96AC);
    EXPECT_EQ(value(ShadingRate::SHADING_RATE_4X4), 38574);
    EXPECT_EQ(ordinal(ShadingRate::SHADING_RATE_4X4), 5);
    EXPECT_EQ(fromName<ShadingRate>("SHADING_RATE_2X2"), ShadingRate::SHADING_RATE_2X2);

    EXPECT_EQ(name(values<BlurSize>()[0]), "KERNEL_5");
    EXPECT_EQ(ordinal(BlurSize::KERNEL_2), 3);
    EXPECT_EQ(name(values<ClearCommandClearType>()[2]), "COLOR_AND_DEPTH");
}

TEST(CommandsTest, EachClassReportsItsTypeAndIsEnabledWithoutName) {
    const std::vector<std::pair<CommandPtr, CommandType>> cases{
        {std::make_shared<NoopCommand>(), CommandType::NOOP},
        {std::make_shared<GroupCommand>(), CommandType::GROUP},
        {std::make_shared<RenderPassCommand>(), CommandType::RENDER_PASS},
        {std::make_shared<MainPassCommand>(), CommandType::MAIN_PASS},
        {std::make_shared<BlurredPassCommand>(), CommandType::BLURRED_PASS},
        {std::make_shared<ClearColorCommand>(), CommandType::CLEAR_COLOR},
        {std::make_shared<ClearCommand>(), CommandType::CLEAR},
        {std::make_shared<VignetteCommand>(), CommandType::VIGNETTE},
        {std::make_shared<DrawBlurredCommand>(), CommandType::DRAW_BLURRED},
        {makeTransformedDraw(), CommandType::DRAW_MESH},
        {std::make_shared<MarkerCommand>(), CommandType::CUSTOM},
    };
    for (const auto& [command, type] : cases) {
        EXPECT_EQ(command->type(), type) << name(type);
        EXPECT_TRUE(command->enabled) << name(type);
        EXPECT_TRUE(command->name.empty()) << name(type);
    }
}

TEST(CommandsTest, PassesAreGroupsAndOnlyTransformedDrawsCarryATransform) {
    const auto main = std::make_shared<MainPassCommand>();
    EXPECT_NE(dynamic_cast<RenderPassCommand*>(main.get()), nullptr);
    EXPECT_EQ(main->asGroup(), main.get());

    const auto blurred = std::make_shared<BlurredPassCommand>();
    EXPECT_NE(dynamic_cast<RenderPassCommand*>(blurred.get()), nullptr);
    EXPECT_EQ(blurred->asGroup(), blurred.get());
    EXPECT_EQ(blurred->blurSize, BlurSize::KERNEL_4);
    EXPECT_EQ(blurred->minSize, 200);
    EXPECT_EQ(blurred->brightness, 1.0F);
    EXPECT_EQ(blurred->id, 0);
    EXPECT_TRUE(blurred->commands.empty());

    const auto transformed = makeTransformedDraw();
    EXPECT_EQ(transformed->asTransformedDraw(), transformed.get());
    EXPECT_EQ(transformed->asGroup(), nullptr);
    EXPECT_TRUE(transformed->hints->empty());

    const DrawMeshCommand plain(nullptr, {}, nullptr);
    EXPECT_EQ(plain.asTransformedDraw(), nullptr);
    EXPECT_EQ(NoopCommand().asGroup(), nullptr);
}

TEST(CommandsTest, GroupsCopyTheCallersSequence) {
    const CommandPtr a = std::make_shared<NoopCommand>();
    const CommandPtr b = std::make_shared<ClearCommand>();

    const GroupCommand variadic(false, a, b);
    EXPECT_FALSE(variadic.enabled);
    ASSERT_EQ(variadic.commands.size(), 2U);
    EXPECT_EQ(variadic.commands[0], a);
    EXPECT_EQ(variadic.commands[1], b);

    std::vector<CommandPtr> list{a, b};
    const MainPassCommand fromList(true, list);
    list.clear();
    list.push_back(std::make_shared<NoopCommand>());
    EXPECT_TRUE(fromList.enabled);
    ASSERT_EQ(fromList.commands.size(), 2U);
    EXPECT_EQ(fromList.commands[0], a);

    // Children may be given as pointers to their own classes.
    const auto clear = std::make_shared<ClearColorCommand>();
    const RenderPassCommand pass(true, clear, std::make_shared<VignetteCommand>());
    EXPECT_EQ(pass.commands.size(), 2U);
    EXPECT_EQ(pass.commands[0].get(), clear.get());
}

TEST(CommandsTest, ColourDefaultsAreSeparateObjects) {
    const ClearColorCommand clearColor;
    EXPECT_EQ(*clearColor.color, engine::math::Vec4(0, 0, 0, 0));
    EXPECT_EQ(ClearCommand().clearType, ClearCommandClearType::COLOR_AND_DEPTH);

    VignetteCommand vignette;
    EXPECT_EQ(*vignette.color0, engine::math::Vec4(0, 0, 0, 1));
    EXPECT_EQ(*vignette.color1, engine::math::Vec4(0, 0, 0, 1));
    vignette.color0->r() = 0.5F;
    EXPECT_EQ(vignette.color1->r(), 0.0F);
    EXPECT_NE(ClearColorCommand().color, clearColor.color);
}

TEST(CommandsTest, DrawBlurredDefaultsToTheSharedNoBlending) {
    const DrawBlurredCommand draw;
    EXPECT_EQ(draw.blending, engine::BLENDING_NONE());
    EXPECT_EQ(DrawBlurredCommand().blending, draw.blending);
    EXPECT_EQ(draw.id, 0);
}

TEST(CommandsTest, SharedVrsHintsAreCreatedOnceWithTheirRates) {
    EXPECT_EQ(HINT_VRS_NONE(), HINT_VRS_NONE());
    EXPECT_EQ(HINT_VRS_NONE()->shadingRate(), ShadingRate::SHADING_RATE_1X1);
    EXPECT_EQ(HINT_VRS_1X2()->shadingRate(), ShadingRate::SHADING_RATE_1X2);
    EXPECT_EQ(HINT_VRS_2X1()->shadingRate(), ShadingRate::SHADING_RATE_2X1);
    EXPECT_EQ(HINT_VRS_2X2()->shadingRate(), ShadingRate::SHADING_RATE_2X2);
    EXPECT_EQ(HINT_VRS_4X2()->shadingRate(), ShadingRate::SHADING_RATE_4X2);
    EXPECT_EQ(HINT_VRS_4X4()->shadingRate(), ShadingRate::SHADING_RATE_4X4);
}

TEST(AffineTranformationTest, TextEqualityAndHash) {
    const AffineTranformation identity(Vec3(0, 0, 0), Vec3(0, 0, 0), Vec3(1, 1, 1));
    EXPECT_EQ(identity.toString(),
              "AffineTranformation(translation=Vec3(_x=0.0, _y=0.0, _z=0.0), "
              "rotation=Vec3(_x=0.0, _y=0.0, _z=0.0), scale=Vec3(_x=1.0, _y=1.0, _z=1.0))");

    const AffineTranformation same(Vec3(0, 0, 0), Vec3(0, 0, 0), Vec3(1, 1, 1));
    EXPECT_EQ(identity, same);
    EXPECT_EQ(std::hash<AffineTranformation>{}(identity), std::hash<AffineTranformation>{}(same));

    // Each field counts, and swapping two fields' values must not compare or hash alike.
    AffineTranformation moved = same;
    moved.translation._z = -0.0F;
    EXPECT_NE(moved, identity);
    const AffineTranformation swapped(Vec3(1, 1, 1), Vec3(0, 0, 0), Vec3(0, 0, 0));
    EXPECT_NE(swapped, identity);
    EXPECT_NE(swapped.hash(), identity.hash());
}

} // namespace
