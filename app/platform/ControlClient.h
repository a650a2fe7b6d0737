#pragma once

#include <QString>

namespace app {

// The command-line side of the control door: sends one command ("enable", "disable",
// "toggle", "next-camera", "settings", "about", "status") to the running Kadrel, over the session bus or, where
// there is none, its local socket, and prints the answer. Needs a QCoreApplication but no
// display. Returns the process's exit status: 0 done, 1 no Kadrel running or it refused.
int runControlCommand(const QString& command);

// What "status" prints, from the control object's properties.
QString describeStatus(bool enabled, bool paused, const QString& reason, int fps);

} // namespace app
