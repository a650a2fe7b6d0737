#pragma once

#include <concepts>
#include <memory>
#include <string>

#include "engine/commands/CommandType.h"

namespace engine::commands {

class GroupCommand;
class DrawTransformedMeshCommand;

// A node of a scene's render command tree. The tree is built once and then only switched
// (enabled) and fed new values; nodes are shared between parents through std::shared_ptr,
// so switching a shared node acts everywhere it is reachable. A disabled command is skipped
// together with everything below it.
//
// type() is fixed by the concrete class. Commands a scene defines for itself derive from
// Command through the protected constructor and report CommandType::CUSTOM.
class Command {
  public:
    virtual ~Command();
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    CommandType type() const noexcept { return type_; }

    // The walks over the tree ask these instead of casting every node: the engine's matrix
    // walk needs groups (passes included) and transformed draws, nothing else.
    virtual GroupCommand* asGroup() noexcept { return nullptr; }
    virtual const GroupCommand* asGroup() const noexcept { return nullptr; }
    virtual DrawTransformedMeshCommand* asTransformedDraw() noexcept { return nullptr; }
    virtual const DrawTransformedMeshCommand* asTransformedDraw() const noexcept { return nullptr; }

    // A label for debugging and for the GPU objects a renderer creates for the command.
    std::string name;
    bool enabled = true;

  protected:
    explicit Command(CommandType type) noexcept : type_(type) {}

  private:
    CommandType type_;
};

using CommandPtr = std::shared_ptr<Command>;

// Anything a group accepts as a child: a shared pointer to any command class.
template <typename T>
concept CommandPointer = std::convertible_to<T, CommandPtr>;

// Does nothing; a placeholder in a command list.
class NoopCommand : public Command {
  public:
    NoopCommand() noexcept : Command(CommandType::NOOP) {}
};

} // namespace engine::commands
