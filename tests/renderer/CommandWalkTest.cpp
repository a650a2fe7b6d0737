// The order in which the renderer's walks meet a command tree, without a GL context: the
// walk only decides which command comes next and hands it over.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/commands/Commands.h"
#include "engine/math/Vec.h"
#include "renderer/CommandWalk.h"

namespace renderer {
namespace {

using namespace engine::commands;

// Writes down every command handed over, by its name.
class Recorder final : public CommandVisitor {
  public:
    void mainPass(const MainPassCommand& command) override {
        log.push_back("main " + command.name);
        CommandWalk(*this).draws(command.commands);
        log.push_back("end " + command.name);
    }
    void blurredPass(const BlurredPassCommand& command) override {
        log.push_back("blurred " + command.name);
        CommandWalk(*this).draws(command.commands);
        log.push_back("end " + command.name);
    }
    void drawMesh(const DrawMeshCommand& command) override {
        log.push_back("mesh " + command.name);
    }
    void drawBlurred(const std::shared_ptr<DrawBlurredCommand>& command) override {
        log.push_back("quad " + command->name);
    }
    void vignette(const VignetteCommand& command) override {
        log.push_back("vignette " + command.name);
    }

    std::vector<std::string> log;
};

class CustomCommand final : public Command {
  public:
    CustomCommand() : Command(CommandType::CUSTOM) {}
};

template <class T, class... Args>
std::shared_ptr<T> named(const std::string& name, Args&&... args) {
    auto command = std::make_shared<T>(std::forward<Args>(args)...);
    command->name = name;
    return command;
}

std::shared_ptr<DrawMeshCommand> draw(const std::string& name) {
    return named<DrawMeshCommand>(name, nullptr, std::vector<engine::UniformValuePtr>{}, nullptr);
}

std::shared_ptr<ClearColorCommand> clearTo(float r) {
    auto clear = std::make_shared<ClearColorCommand>();
    *clear->color = engine::math::Vec4(r, 0.0F, 0.0F, 1.0F);
    return clear;
}

TEST(CommandWalkTest, PassesAndDrawsComeInTreeOrderAndSkipWhatIsOffOrForeign) {
    auto bloom = named<BlurredPassCommand>("bloom");
    bloom->commands = {draw("glow"), std::make_shared<CustomCommand>()};
    auto hidden = draw("hidden");
    hidden->enabled = false;
    auto offGroup = named<GroupCommand>("off", false, draw("under-off"));
    // A blurred pass inside the main pass: drawn into the main pass, not as a pass of its own.
    auto nestedBloom = named<BlurredPassCommand>("nested");
    nestedBloom->commands = {draw("nested-draw")};
    auto shared = draw("shared"); // reachable from two parents: visited at each place
    auto main = named<MainPassCommand>(
        "frame", true, draw("first"), hidden, offGroup, std::make_shared<CustomCommand>(),
        named<GroupCommand>("group", true, shared, nestedBloom), named<DrawBlurredCommand>("quad"),
        named<RenderPassCommand>("plain", true, shared), named<VignetteCommand>("vignette"),
        std::make_shared<NoopCommand>(), nullptr);
    const std::vector<CommandPtr> tree = {draw("outside"), // a draw outside any pass is never drawn
                                          named<GroupCommand>("rooms", true, bloom), main,
                                          named<MainPassCommand>("disabled", false, draw("never"))};

    Recorder recorder;
    CommandWalk(recorder).passes(tree);
    EXPECT_EQ(recorder.log,
              (std::vector<std::string>{"blurred bloom", "mesh glow", "end bloom",      //
                                        "main frame", "mesh first", "mesh shared",      //
                                        "mesh nested-draw", "quad quad", "mesh shared", //
                                        "vignette vignette", "end frame"}));
}

TEST(CommandWalkTest, EveryMeshDrawIncludesSwitchedOffOnes) {
    auto hidden = draw("hidden");
    hidden->enabled = false;
    const std::vector<CommandPtr> tree = {
        draw("a"), named<GroupCommand>("off", false, hidden, named<VignetteCommand>("v")),
        named<MainPassCommand>("main", false, draw("b"), std::make_shared<CustomCommand>()),
        nullptr};
    std::vector<std::string> names;
    CommandWalk::everyMeshDraw(tree, [&](const DrawMeshCommand& d) { names.push_back(d.name); });
    EXPECT_EQ(names, (std::vector<std::string>{"a", "hidden", "b"}));
}

// Clear commands edit the pass's description in order: the last colour wins, and each
// clear type opens only its own attachment. Disabled ones change nothing.
TEST(CommandWalkTest, ClearsSetTheColourAndLoadActionsOfTheirPass) {
    auto colourOnly = std::make_shared<ClearCommand>();
    colourOnly->clearType = ClearCommandClearType::COLOR;
    auto depthOnly = std::make_shared<ClearCommand>();
    depthOnly->clearType = ClearCommandClearType::DEPTH;
    auto offColour = clearTo(0.9F);
    offColour->enabled = false;

    RenderPassDescriptor descriptor;
    CommandWalk::clears({clearTo(0.25F), colourOnly, offColour}, descriptor);
    EXPECT_EQ(descriptor.clearColor[0], 0.25);
    EXPECT_EQ(descriptor.colorLoadAction, LoadAction::Clear);
    EXPECT_EQ(descriptor.depthLoadAction, LoadAction::Load);

    RenderPassDescriptor nested;
    CommandWalk::clears({named<GroupCommand>("g", true, depthOnly, clearTo(0.5F))}, nested);
    EXPECT_EQ(nested.colorLoadAction, LoadAction::Load);
    EXPECT_EQ(nested.depthLoadAction, LoadAction::Clear);
    EXPECT_EQ(nested.clearColor[0], 0.5);
}

} // namespace
} // namespace renderer
