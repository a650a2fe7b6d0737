#pragma once

#include <utility>
#include <vector>

#include "engine/commands/Command.h"

namespace engine::commands {

// Its children, executed in list order. The list is the group's own: building a group from
// a caller's commands copies the pointers, so later changes to the caller's sequence do not
// reach the group.
class GroupCommand : public Command {
  public:
    GroupCommand() noexcept : Command(CommandType::GROUP) {}
    GroupCommand(bool enabledNow, std::vector<CommandPtr> children)
        : GroupCommand(CommandType::GROUP, enabledNow, std::move(children)) {}
    template <CommandPointer... Children>
    explicit GroupCommand(bool enabledNow, Children&&... children)
        : GroupCommand(CommandType::GROUP, enabledNow,
                       std::vector<CommandPtr>{CommandPtr(std::forward<Children>(children))...}) {}

    GroupCommand* asGroup() noexcept override { return this; }
    const GroupCommand* asGroup() const noexcept override { return this; }

    std::vector<CommandPtr> commands;

  protected:
    explicit GroupCommand(CommandType type) noexcept : Command(type) {}
    GroupCommand(CommandType type, bool enabledNow, std::vector<CommandPtr> children)
        : Command(type), commands(std::move(children)) {
        enabled = enabledNow;
    }
};

} // namespace engine::commands
