#include "app/ui/ControlService.h"

#include "app/platform/ControlClient.h"
#include "app/ui/AppState.h"

namespace app {

ControlService::ControlService(AppState& state, QObject* parent) : QObject(parent), state_(state) {}

bool ControlService::enabled() const {
    return state_.enableState().isEnabled;
}

bool ControlService::paused() const {
    return !state_.pauseReason().isEmpty();
}

QString ControlService::pauseReason() const {
    return state_.pauseReason();
}

int ControlService::fps() const {
    return static_cast<int>(state_.preferredFps());
}

void ControlService::Reopen() {
    state_.reopen();
}

void ControlService::Enable() {
    if (state_.enableState().isManuallyDisabled) {
        state_.toggleManualDisable();
    }
}

void ControlService::Disable() {
    if (!state_.enableState().isManuallyDisabled) {
        state_.toggleManualDisable();
    }
}

void ControlService::Toggle() {
    state_.toggleManualDisable();
}

void ControlService::NextCamera() {
    state_.nextCamera();
}

void ControlService::ShowSettings() {
    Q_EMIT state_.settingsRequested();
}

void ControlService::ShowAbout() {
    Q_EMIT state_.aboutRequested();
}

QString ControlService::handle(const QString& command) {
    if (command == QLatin1String("status")) {
        return describeStatus(enabled(), paused(), pauseReason(), fps());
    }
    if (command == QLatin1String("reopen")) {
        Reopen();
    } else if (command == QLatin1String("enable")) {
        Enable();
    } else if (command == QLatin1String("disable")) {
        Disable();
    } else if (command == QLatin1String("toggle")) {
        Toggle();
    } else if (command == QLatin1String("next-camera")) {
        NextCamera();
    } else if (command == QLatin1String("settings")) {
        ShowSettings();
    } else if (command == QLatin1String("about")) {
        ShowAbout();
    } else {
        return QStringLiteral("error: unknown command \"%1\"\n").arg(command.left(32));
    }
    return QStringLiteral("ok\n");
}

} // namespace app
