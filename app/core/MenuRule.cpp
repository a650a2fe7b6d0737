#include "app/core/MenuRule.h"

namespace app {

bool showsToggleItem(const EnableState& state, bool deactivateOnBattery, bool watcherPresent,
                     PowerSource current) {
    if (state.isEnabled || state.isManuallyDisabled)
        return true;
    return !deactivateOnBattery && watcherPresent && current != PowerSource::internalBattery;
}

const char* toggleItemTitle(const EnableState& state) {
    return state.isManuallyDisabled ? "Enable" : "Disable";
}

} // namespace app
