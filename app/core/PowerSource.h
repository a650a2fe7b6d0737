#pragma once

namespace app {

// Where the machine's power comes from right now. "On battery" means internalBattery.
enum class PowerSource { internalBattery, externalUnlimited, externalUPS };

} // namespace app
