#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <array>
#include <memory>

#include "app/platform/BusName.h"

namespace app {

// The system's low-power mode: the power-saver profile of power-profiles-daemon, under either
// of its bus names (the older one and the one it shares with UPower). Either may be missing.
class PowerProfilesWatcher : public QObject {
    Q_OBJECT

  public:
    explicit PowerProfilesWatcher(QDBusConnection systemBus, QObject* parent = nullptr);

    bool isLowPowerMode() const;
    // The active profile as the daemon names it, or empty without one.
    QString activeProfile() const;

  Q_SIGNALS:
    // The active profile changed (one signal per change, even if both names tell it).
    void profileChanged();

  private Q_SLOTS:
    void onPropertiesChanged(const QDBusMessage& message);

  private:
    struct Source {
        std::unique_ptr<BusName> name;
        QString path;
        QString interface;
        QString profile;
        quint64 generation = 0;
    };
    void read(Source& source);
    void setProfile(Source& source, const QString& profile);

    std::array<Source, 2> sources_;
    QString reported_;
};

} // namespace app
