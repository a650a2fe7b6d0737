#include "app/platform/PowerSourceWatcher.h"

#include <QDBusMessage>

namespace app {

namespace {

const QString SERVICE = QStringLiteral("org.freedesktop.UPower");
const QString PATH = QStringLiteral("/org/freedesktop/UPower");
const QString DISPLAY_DEVICE = QStringLiteral("/org/freedesktop/UPower/devices/DisplayDevice");
const QString PROPERTIES = QStringLiteral("org.freedesktop.DBus.Properties");
// UPower's device kind for an uninterruptible power supply.
constexpr uint KIND_UPS = 3;

} // namespace

PowerSourceWatcher::PowerSourceWatcher(QDBusConnection systemBus, QObject* parent)
    : QObject(parent), name_(systemBus, SERVICE) {
    connect(&name_, &BusName::appeared, this, &PowerSourceWatcher::read);
    connect(&name_, &BusName::vanished, this, [this] {
        ++generation_;
        source_ = PowerSource::externalUnlimited;
        if (present_) {
            present_ = false;
            Q_EMIT presenceChanged(false);
        }
    });
    name_.bus().connect(SERVICE, PATH, PROPERTIES, QStringLiteral("PropertiesChanged"), this,
                        SLOT(onPropertiesChanged(QString, QVariantMap, QStringList)));
}

void PowerSourceWatcher::read() {
    const quint64 generation = ++generation_;
    // Gone, restarted, or not UPower as we know it (an error): no watcher.
    readPropertyAsync(name_.bus(), SERVICE, PATH, SERVICE, QStringLiteral("OnBattery"), this,
                      [this, generation](const QVariant& onBattery) {
                          if (generation == generation_) {
                              classify(onBattery.toBool());
                          }
                      });
}

void PowerSourceWatcher::onPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                             const QStringList& invalidated) {
    if (interface != SERVICE) {
        return;
    }
    if (changed.contains(QStringLiteral("OnBattery"))) {
        classify(changed.value(QStringLiteral("OnBattery")).toBool());
    } else if (invalidated.contains(QStringLiteral("OnBattery"))) {
        read();
    }
}

void PowerSourceWatcher::classify(bool onBattery) {
    if (!onBattery) {
        report(PowerSource::externalUnlimited);
        return;
    }
    // On battery: the composite device tells a laptop battery from a UPS. Without an answer
    // the battery is the likelier source.
    const quint64 generation = generation_;
    readPropertyAsync(
        name_.bus(), SERVICE, DISPLAY_DEVICE, SERVICE + QStringLiteral(".Device"),
        QStringLiteral("Type"), this,
        [this, generation](const QVariant& type) {
            if (generation == generation_) {
                report(type.toUInt() == KIND_UPS ? PowerSource::externalUPS
                                                 : PowerSource::internalBattery);
            }
        },
        [this, generation] {
            if (generation == generation_) {
                report(PowerSource::internalBattery);
            }
        });
}

void PowerSourceWatcher::report(PowerSource source) {
    source_ = source;
    if (!present_) {
        present_ = true;
        Q_EMIT presenceChanged(true);
    }
    Q_EMIT sourceChanged(source);
}

} // namespace app
