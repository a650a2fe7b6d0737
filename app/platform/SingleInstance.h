#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <memory>

namespace app {

// One Kadrel per user session. The first instance owns a well-known name on the D-Bus
// session bus (the desktop's convention, so that other tools can find it too); where there
// is no session bus, a local socket in the user's runtime folder plays that part. A second
// launch asks the first to reopen and then leaves.
class SingleInstance : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kadrel.Kadrel")

  public:
    static constexpr const char* SERVICE = "org.kadrel.Kadrel";
    static constexpr const char* PATH = "/org/kadrel/Kadrel";

    enum class Role {
        Primary,   // this process is the one Kadrel
        Secondary, // another one runs and has been asked to reopen
    };

    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;

    // Claims the name, or hands a reopen request to the instance that has it. `socketName`
    // overrides the local socket's name (tests run several sessions side by side).
    Role claim(const QString& socketName = {});

    // How the claim was made, for the log: "session bus" or "local socket".
    QString channel() const { return channel_; }

  public Q_SLOTS:
    // Called by a second launch (over D-Bus or the socket).
    Q_SCRIPTABLE void Reopen();

  Q_SIGNALS:
    void reopenRequested();

  private:
    bool claimOnSessionBus(Role& role);
    bool claimLocalSocket(const QString& name, Role& role);

    std::unique_ptr<QLocalServer> server_;
    QString channel_;
};

} // namespace app
