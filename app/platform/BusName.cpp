#include "app/platform/BusName.h"

#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

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

void callAsync(QDBusConnection bus, const QDBusMessage& call, QObject* context,
               std::function<void(const QList<QVariant>&)> onReply, std::function<void()> onError) {
    auto* pending = new QDBusPendingCallWatcher(bus.asyncCall(call), context);
    QObject::connect(pending, &QDBusPendingCallWatcher::finished, context,
                     [onReply = std::move(onReply),
                      onError = std::move(onError)](QDBusPendingCallWatcher* done) {
                         done->deleteLater();
                         const QDBusMessage reply = done->reply();
                         if (reply.type() == QDBusMessage::ReplyMessage) {
                             onReply(reply.arguments());
                         } else if (onError) {
                             onError();
                         }
                     });
}

void readPropertyAsync(QDBusConnection bus, const QString& service, const QString& path,
                       const QString& interface, const QString& name, QObject* context,
                       std::function<void(const QVariant&)> onValue,
                       std::function<void()> onError) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call << interface << name;
    callAsync(
        std::move(bus), call, context,
        [onValue = std::move(onValue)](const QList<QVariant>& args) {
            if (!args.isEmpty()) {
                onValue(qvariant_cast<QDBusVariant>(args.first()).variant());
            }
        },
        std::move(onError));
}

} // namespace app
