#pragma once

namespace app {

// Whether the wallpaper runs. It is on exactly while the user has not chosen "Disable" and
// the screen is not locked; each transition leaves isEnabled recomputed from the other two.
struct EnableState {
    bool isEnabled = true;
    bool isScreenLocked = false;
    bool isManuallyDisabled = false;

    // The menu's Disable/Enable item.
    void toggleManualDisable();
    // The session's lock and unlock signals.
    void setScreenLocked(bool locked);
    // Recomputes isEnabled from the manual and lock states (run when "deactivateOnBattery"
    // is delivered).
    void recompute();
};

} // namespace app
