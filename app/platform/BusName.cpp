#include "app/platform/BusName.h"

#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace app {

BusName::BusName(QDBusConnection bus, QString name, QObject* parent)
    : QObject(parent), bus_(std::move(bus)), name_(std::move(name)) {
    if (!bus_.isConnected()) {
        return;
    }
    watcher_.setConnection(bus_);
    watcher_.addWatchedService(name_);
    watcher_.setWatchMode(QDBusServiceWatcher::WatchForOwnerChange);
    connect(&watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString& oldOwner, const QString& newOwner) {
                // A restart may come as one change from the old owner to the new one.
                if (!oldOwner.isEmpty() && present_) {
                    setOwner({});
                }
                setOwner(newOwner);
            });
    const QDBusPendingCall call =
        bus_.interface()->asyncCall(QStringLiteral("GetNameOwner"), name_);
    auto* pending = new QDBusPendingCallWatcher(call, this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* done) {
                const QDBusPendingReply<QString> reply = *done;
                // An owner change may have told us already; the later news wins.
                if (!reply.isError() && owner_.isEmpty()) {
                    setOwner(reply.value());
                }
                done->deleteLater();
            });
}

void BusName::setOwner(const QString& owner) {
    if (owner == owner_) {
        return;
    }
    owner_ = owner;
    const bool present = !owner.isEmpty();
    if (present == present_ && !present) {
        return;
    }
    present_ = present;
    if (present) {
        Q_EMIT appeared();
    } else {
        Q_EMIT vanished();
    }
}

} // namespace app
