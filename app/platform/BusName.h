#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>

namespace app {

// Follows one well-known name on a bus: whether a service owns it now, and each time one
// appears (also when it restarts under the same name) or goes. Desktop services come and go
// while the program runs; none of them being there is an ordinary state. Nothing blocks:
// the first look is an asynchronous call.
class BusName : public QObject {
    Q_OBJECT

  public:
    BusName(QDBusConnection bus, QString name, QObject* parent = nullptr);

    const QString& name() const noexcept { return name_; }
    QDBusConnection& bus() noexcept { return bus_; }
    bool isPresent() const noexcept { return present_; }

  Q_SIGNALS:
    void appeared();
    void vanished();

  private:
    void setOwner(const QString& owner);

    QDBusConnection bus_;
    QString name_;
    QString owner_;
    bool present_ = false;
    QDBusServiceWatcher watcher_;
};

// Sends `call` without waiting; `onReply` gets the reply's arguments, `onError` (if any) runs
// instead for an error reply (a service that went, or one that doesn't speak this
// interface). The pending call lives as long as `context`.
void callAsync(QDBusConnection bus, const QDBusMessage& call, QObject* context,
               std::function<void(const QList<QVariant>&)> onReply,
               std::function<void()> onError = {});

// Reads one property (org.freedesktop.DBus.Properties.Get) the same way.
void readPropertyAsync(QDBusConnection bus, const QString& service, const QString& path,
                       const QString& interface, const QString& name, QObject* context,
                       std::function<void(const QVariant&)> onValue,
                       std::function<void()> onError = {});

} // namespace app
