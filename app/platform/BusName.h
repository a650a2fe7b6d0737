#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QString>

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

} // namespace app
