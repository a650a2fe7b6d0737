#pragma once

#include <cstdint>

#include "engine/commands/BlurSize.h"
#include "engine/commands/GroupCommand.h"

namespace engine::commands {

// A group meant as a render pass of its own; a renderer treats a plain one as a group.
class RenderPassCommand : public GroupCommand {
  public:
    RenderPassCommand() noexcept : GroupCommand(CommandType::RENDER_PASS) {}
    RenderPassCommand(bool enabledNow, std::vector<CommandPtr> children)
        : GroupCommand(CommandType::RENDER_PASS, enabledNow, std::move(children)) {}
    template <CommandPointer... Children>
    explicit RenderPassCommand(bool enabledNow, Children&&... children)
        : RenderPassCommand(enabledNow, std::vector<CommandPtr>{
                                            CommandPtr(std::forward<Children>(children))...}) {}

  protected:
    explicit RenderPassCommand(CommandType type) noexcept : GroupCommand(type) {}
    RenderPassCommand(CommandType type, bool enabledNow, std::vector<CommandPtr> children)
        : GroupCommand(type, enabledNow, std::move(children)) {}
};

// The on-screen pass: its children are drawn into the visible frame.
class MainPassCommand : public RenderPassCommand {
  public:
    MainPassCommand() noexcept : RenderPassCommand(CommandType::MAIN_PASS) {}
    MainPassCommand(bool enabledNow, std::vector<CommandPtr> children)
        : RenderPassCommand(CommandType::MAIN_PASS, enabledNow, std::move(children)) {}
    template <CommandPointer... Children>
    explicit MainPassCommand(bool enabledNow, Children&&... children)
        : MainPassCommand(enabledNow, std::vector<CommandPtr>{
                                          CommandPtr(std::forward<Children>(children))...}) {}
};

// Its children are drawn into an offscreen image whose short side is minSize pixels, which
// is then blurred with blurSize; brightness is handed to the blur. id names the renderer's
// cached offscreen objects, so two blurred passes in one tree need different ids.
class BlurredPassCommand : public RenderPassCommand {
  public:
    BlurredPassCommand() noexcept : RenderPassCommand(CommandType::BLURRED_PASS) {}

    BlurSize blurSize = BlurSize::KERNEL_4;
    std::int32_t minSize = 200;
    float brightness = 1.0F;
    std::int32_t id = 0;
};

} // namespace engine::commands
