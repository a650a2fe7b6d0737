#pragma once

#include "app/core/EnableState.h"
#include "app/core/PowerSource.h"

namespace app {

// Whether the tray menu starts with the Disable/Enable item. It is always there while the
// wallpaper runs or the user turned it off; when it is off for another reason (a locked
// screen) it is offered only on mains power with a power-source watcher and
// "deactivateOnBattery" off.
bool showsToggleItem(const EnableState& state, bool deactivateOnBattery, bool watcherPresent,
                     PowerSource current);

// "Disable" or "Enable": the English text, which is also the translation key.
const char* toggleItemTitle(const EnableState& state);

} // namespace app
