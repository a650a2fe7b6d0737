#include "app/platform/PowerSourceWatcher.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace app {

namespace {

const QString SERVICE = QStringLiteral("org.freedesktop.UPower");
const QString PATH = QStringLiteral("/org/freedesktop/UPower");
const QString DISPLAY_DEVICE = QStringLiteral("/org/freedesktop/UPower/devices/DisplayDevice");
const QString PROPERTIES = QStringLiteral("org.freedesktop.DBus.Properties");
// UPower's device kind for an uninterruptible power supply.
constexpr uint KIND_UPS = 3;

QDBusMessage getProperty(const QString& path, const QString& interface, const QString& name) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(SERVICE, path, PROPERTIES, QStringLiteral("Get"));
    message << interface << name;
    return message;
}

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
    auto* pending = new QDBusPendingCallWatcher(
        name_.bus().asyncCall(getProperty(PATH, SERVICE, QStringLiteral("OnBattery"))), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, generation](QDBusPendingCallWatcher* done) {
                done->deleteLater();
                const QDBusPendingReply<QDBusVariant> reply = *done;
                if (generation != generation_ || reply.isError()) {
                    return; // gone, restarted, or not UPower as we know it: no watcher
                }
                classify(reply.value().variant().toBool());
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
    // On battery: the composite device tells a laptop battery from a UPS.
    const quint64 generation = generation_;
    auto* pending = new QDBusPendingCallWatcher(
        name_.bus().asyncCall(getProperty(DISPLAY_DEVICE, SERVICE + QStringLiteral(".Device"),
                                          QStringLiteral("Type"))),
        this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, generation](QDBusPendingCallWatcher* done) {
                done->deleteLater();
                if (generation != generation_) {
                    return;
                }
                const QDBusPendingReply<QDBusVariant> reply = *done;
                const bool ups = !reply.isError() && reply.value().variant().toUInt() == KIND_UPS;
                report(ups ? PowerSource::externalUPS : PowerSource::internalBattery);
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
