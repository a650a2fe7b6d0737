#include "app/core/EnableState.h"

namespace app {

void EnableState::toggleManualDisable() {
    isManuallyDisabled = !isManuallyDisabled;
    recompute();
}

void EnableState::setScreenLocked(bool locked) {
    isScreenLocked = locked;
    recompute();
}

void EnableState::recompute() {
    isEnabled = !isManuallyDisabled && !isScreenLocked;
}

} // namespace app
