#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QMap>
#include <QObject>
#include <QString>

#include <memory>

#include "app/platform/BusName.h"

namespace app {

// Whether the screen is locked, from every source a Linux desktop may offer: the logind
// session this program runs in (Lock and Unlock, and its LockedHint), and the session bus's
// screen savers (the freedesktop one and GNOME's, ActiveChanged). The screen counts as locked
// while any of them says so. Unlike a bare notification stream, the current state is read
// when a source appears, so a program started behind a locked screen knows it.
class ScreenLockWatcher : public QObject {
    Q_OBJECT

  public:
    ScreenLockWatcher(QDBusConnection systemBus, QDBusConnection sessionBus,
                      QObject* parent = nullptr);

    bool isLocked() const noexcept { return locked_; }

  Q_SIGNALS:
    void lockedChanged(bool locked);

  private Q_SLOTS:
    void onSessionLock(const QDBusMessage& message);
    void onSessionUnlock(const QDBusMessage& message);
    void onSessionProperties(const QString& interface, const QVariantMap& changed,
                             const QStringList& invalidated);
    void onScreenSaverActive(const QDBusMessage& message);

  private:
    enum Source { LOGIND, FREEDESKTOP_SAVER, GNOME_SAVER, SOURCES };

    void findSession();
    void followSession(const QString& path);
    void readLockedHint();
    void sessionSignal(const QString& path, bool locked);
    void readScreenSaver(Source source);
    void set(Source source, bool locked);

    QDBusConnection systemBus_;
    std::unique_ptr<BusName> login_;
    std::unique_ptr<BusName> savers_[2];
    QString sessionPath_;
    // Lock and Unlock of sessions seen before we knew which session is ours (the lookup is
    // asynchronous), by session path; the newest per path, a handful at most.
    QMap<QString, bool> earlySignals_;
    // Counts the lock news of our session, so that a LockedHint read that was under way when
    // newer news came is dropped instead of undoing it.
    quint64 sessionNews_ = 0;
    bool states_[SOURCES] = {};
    quint64 generations_[SOURCES] = {};
    bool locked_ = false;
};

// System suspend and resume, from logind's PrepareForSleep.
class SleepWatcher : public QObject {
    Q_OBJECT

  public:
    explicit SleepWatcher(QDBusConnection systemBus, QObject* parent = nullptr);

  Q_SIGNALS:
    void woke();

  private Q_SLOTS:
    void onPrepareForSleep(bool sleeping);
};

} // namespace app
