#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>

#include "app/core/PowerSource.h"
#include "app/platform/BusName.h"

namespace app {

// The machine's power source from UPower on the system bus: on battery when UPower says
// OnBattery, from a UPS when what discharges is a UPS rather than a laptop battery, on mains
// otherwise. Without UPower there is no watcher (isPresent() false), which the frame-rate and
// menu rules treat apart.
class PowerSourceWatcher : public QObject {
    Q_OBJECT

  public:
    explicit PowerSourceWatcher(QDBusConnection systemBus, QObject* parent = nullptr);

    // UPower is on the bus and has told its state.
    bool isPresent() const noexcept { return present_; }
    PowerSource source() const noexcept { return source_; }

  Q_SIGNALS:
    void presenceChanged(bool present);
    // Every report of the daemon, also one that repeats the source.
    void sourceChanged(PowerSource source);

  private Q_SLOTS:
    void onPropertiesChanged(const QString& interface, const QVariantMap& changed,
                             const QStringList& invalidated);

  private:
    void read();
    void classify(bool onBattery);
    void report(PowerSource source);

    BusName name_;
    bool present_ = false;
    PowerSource source_ = PowerSource::externalUnlimited;
    // Replies that arrive after the daemon went (or restarted) are stale.
    quint64 generation_ = 0;
};

} // namespace app
