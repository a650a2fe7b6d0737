#include "app/platform/PowerProfilesWatcher.h"

#include <QDBusArgument>
#include <QDBusMessage>

namespace app {

namespace {

const QString PROPERTIES = QStringLiteral("org.freedesktop.DBus.Properties");
const QString ACTIVE_PROFILE = QStringLiteral("ActiveProfile");

} // namespace

PowerProfilesWatcher::PowerProfilesWatcher(QDBusConnection systemBus, QObject* parent)
    : QObject(parent) {
    const std::array<std::pair<QString, QString>, 2> names{{
        {QStringLiteral("net.hadess.PowerProfiles"), QStringLiteral("/net/hadess/PowerProfiles")},
        {QStringLiteral("org.freedesktop.UPower.PowerProfiles"),
         QStringLiteral("/org/freedesktop/UPower/PowerProfiles")},
    }};
    for (std::size_t i = 0; i < sources_.size(); ++i) {
        Source& source = sources_[i];
        source.name = std::make_unique<BusName>(systemBus, names[i].first);
        source.path = names[i].second;
        source.interface = names[i].first;
        connect(source.name.get(), &BusName::appeared, this, [this, &source] { read(source); });
        connect(source.name.get(), &BusName::vanished, this, [this, &source] {
            ++source.generation;
            setProfile(source, {});
        });
        // The same slot for both names: the message's path tells which one spoke.
        systemBus.connect(source.interface, source.path, PROPERTIES,
                          QStringLiteral("PropertiesChanged"), this,
                          SLOT(onPropertiesChanged(QDBusMessage)));
    }
}

bool PowerProfilesWatcher::isLowPowerMode() const {
    return activeProfile() == QLatin1String("power-saver");
}

QString PowerProfilesWatcher::activeProfile() const {
    for (const Source& source : sources_) {
        if (!source.profile.isEmpty()) {
            return source.profile;
        }
    }
    return {};
}

void PowerProfilesWatcher::read(Source& source) {
    const quint64 generation = ++source.generation;
    readPropertyAsync(source.name->bus(), source.interface, source.path, source.interface,
                      ACTIVE_PROFILE, this, [this, &source, generation](const QVariant& profile) {
                          if (generation == source.generation) {
                              setProfile(source, profile.toString());
                          }
                      });
}

void PowerProfilesWatcher::setProfile(Source& source, const QString& profile) {
    source.profile = profile;
    const QString now = activeProfile();
    if (now != reported_) {
        reported_ = now;
        Q_EMIT profileChanged();
    }
}

void PowerProfilesWatcher::onPropertiesChanged(const QDBusMessage& message) {
    for (Source& source : sources_) {
        if (message.path() != source.path) {
            continue;
        }
        const QList<QVariant> args = message.arguments();
        if (args.size() < 2 || args.at(0).toString() != source.interface) {
            return;
        }
        const QVariantMap changed = qdbus_cast<QVariantMap>(args.at(1));
        if (changed.contains(ACTIVE_PROFILE)) {
            setProfile(source, changed.value(ACTIVE_PROFILE).toString());
        }
    }
}

} // namespace app
