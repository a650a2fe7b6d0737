#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace app {

// One Kadrel per user session, and the door through which it is controlled. The first
// instance owns a well-known name on the D-Bus session bus (the desktop's convention, so
// other tools find it too) with the control object on it; where there is no session bus, a
// local socket in the user's runtime folder takes one-line commands instead. A second launch
// asks the first to reopen and then leaves.
class SingleInstance : public QObject {
    Q_OBJECT

  public:
    static constexpr const char* SERVICE = "org.kadrel.Kadrel";
    static constexpr const char* PATH = "/org/kadrel/Kadrel";
    static constexpr const char* INTERFACE = "org.kadrel.Kadrel";

    enum class Role {
        Primary,   // this process is the one Kadrel
        Secondary, // another one runs and has been asked to reopen
    };

    // Answers one command line of the socket ("reopen", "status", ...) with the reply text.
    using CommandHandler = std::function<QString(const QString& command)>;

    // `control` is exported on the bus (its scriptable slots and properties); `handler` serves
    // the socket.
    SingleInstance(QObject* control, CommandHandler handler, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Claims the name, or hands a reopen request to the instance that has it.
    Role claim();

    // How the claim was made, for the log: "session bus" or "local socket".
    QString channel() const { return channel_; }

    // The local socket for this user: in $XDG_RUNTIME_DIR, or in the temporary folder with the
    // user's id in its name.
    static QString socketName();

  private:
    bool claimOnSessionBus(Role& role);
    void claimLocalSocket(Role& role);
    void serve(class QLocalSocket* client);

    QObject* control_;
    CommandHandler handler_;
    std::unique_ptr<QLocalServer> server_;
    QString channel_;
};

} // namespace app
