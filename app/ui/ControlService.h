#pragma once

#include <QObject>
#include <QString>

namespace app {

class AppState;

// The running program's control object, on its D-Bus name and behind its local socket:
// what the tray menu does, for scripts, key bindings and `kadrel --disable`.
class ControlService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kadrel.Kadrel")
    Q_PROPERTY(bool Enabled READ enabled SCRIPTABLE true)
    Q_PROPERTY(bool Paused READ paused SCRIPTABLE true)
    Q_PROPERTY(QString PauseReason READ pauseReason SCRIPTABLE true)
    Q_PROPERTY(int Fps READ fps SCRIPTABLE true)

  public:
    explicit ControlService(AppState& state, QObject* parent = nullptr);

    bool enabled() const;
    bool paused() const;
    QString pauseReason() const;
    int fps() const;

    // One command line of the local socket: the reply to send back.
    QString handle(const QString& command);

  public Q_SLOTS:
    // A second launch: show the tray icon again.
    Q_SCRIPTABLE void Reopen();
    // As the menu's Enable and Disable: a disable stays until an enable.
    Q_SCRIPTABLE void Enable();
    Q_SCRIPTABLE void Disable();
    Q_SCRIPTABLE void Toggle();
    // Glides to the next camera path of the room on screen.
    Q_SCRIPTABLE void NextCamera();
    // Open (or raise) the settings or the About window, as the menu's items do.
    Q_SCRIPTABLE void ShowSettings();
    Q_SCRIPTABLE void ShowAbout();

  private:
    AppState& state_;
};

} // namespace app
