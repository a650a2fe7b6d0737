#include "engine/commands/Command.h"

namespace engine::commands {

// Out of line so that the class's vtable has one home.
Command::~Command() = default;

} // namespace engine::commands
