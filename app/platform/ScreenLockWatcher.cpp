#include "app/platform/ScreenLockWatcher.h"

#include <QDBusObjectPath>

#include <unistd.h>

namespace app {

namespace {

const QString LOGIN = QStringLiteral("org.freedesktop.login1");
const QString LOGIN_PATH = QStringLiteral("/org/freedesktop/login1");
const QString MANAGER = QStringLiteral("org.freedesktop.login1.Manager");
const QString SESSION = QStringLiteral("org.freedesktop.login1.Session");
const QString PROPERTIES = QStringLiteral("org.freedesktop.DBus.Properties");
const QString LOCKED_HINT = QStringLiteral("LockedHint");

struct Saver {
    const char* service;
    const char* path;
};
constexpr Saver SAVERS[2] = {
    {"org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver"},
    {"org.gnome.ScreenSaver", "/org/gnome/ScreenSaver"},
};

} // namespace

ScreenLockWatcher::ScreenLockWatcher(QDBusConnection systemBus, QDBusConnection sessionBus,
                                     QObject* parent)
    : QObject(parent), systemBus_(systemBus) {
    login_ = std::make_unique<BusName>(systemBus, LOGIN);
    // Lock and Unlock of every session, filtered by path: a lock that comes while our
    // session is being looked up is not lost.
    systemBus_.connect(LOGIN, QString(), SESSION, QStringLiteral("Lock"), this,
                       SLOT(onSessionLock(QDBusMessage)));
    systemBus_.connect(LOGIN, QString(), SESSION, QStringLiteral("Unlock"), this,
                       SLOT(onSessionUnlock(QDBusMessage)));
    connect(login_.get(), &BusName::appeared, this, &ScreenLockWatcher::findSession);
    connect(login_.get(), &BusName::vanished, this, [this] {
        ++generations_[LOGIND];
        followSession({});
        set(LOGIND, false);
    });
    for (int i = 0; i < 2; ++i) {
        const auto source = static_cast<Source>(FREEDESKTOP_SAVER + i);
        const QString service = QString::fromLatin1(SAVERS[i].service);
        savers_[i] = std::make_unique<BusName>(sessionBus, service);
        connect(savers_[i].get(), &BusName::appeared, this,
                [this, source] { readScreenSaver(source); });
        connect(savers_[i].get(), &BusName::vanished, this, [this, source] {
            ++generations_[source];
            set(source, false);
        });
        sessionBus.connect(service, QString::fromLatin1(SAVERS[i].path), service,
                           QStringLiteral("ActiveChanged"), this,
                           SLOT(onScreenSaverActive(QDBusMessage)));
    }
}

void ScreenLockWatcher::findSession() {
    // The session logind started this program in: the one the login manager named, or the
    // one this process belongs to.
    const quint64 generation = ++generations_[LOGIND];
    const QByteArray id = qgetenv("XDG_SESSION_ID");
    QDBusMessage call;
    if (!id.isEmpty()) {
        call = QDBusMessage::createMethodCall(LOGIN, LOGIN_PATH, MANAGER,
                                              QStringLiteral("GetSession"));
        call << QString::fromUtf8(id);
    } else {
        call = QDBusMessage::createMethodCall(LOGIN, LOGIN_PATH, MANAGER,
                                              QStringLiteral("GetSessionByPID"));
        call << static_cast<uint>(::getpid());
    }
    // Without an answer the program is not in a logind session: the screen savers still tell.
    callAsync(systemBus_, call, this, [this, generation](const QList<QVariant>& reply) {
        if (generation != generations_[LOGIND] || reply.isEmpty()) {
            return;
        }
        followSession(qvariant_cast<QDBusObjectPath>(reply.first()).path());
        const auto early = earlySignals_.constFind(sessionPath_);
        if (early != earlySignals_.cend()) {
            set(LOGIND, early.value()); // newer than what LockedHint said before it
        } else {
            readLockedHint();
        }
        earlySignals_.clear();
    });
}

void ScreenLockWatcher::followSession(const QString& path) {
    if (path == sessionPath_) {
        return;
    }
    if (!sessionPath_.isEmpty()) {
        systemBus_.disconnect(LOGIN, sessionPath_, PROPERTIES, QStringLiteral("PropertiesChanged"),
                              this, SLOT(onSessionProperties(QString, QVariantMap, QStringList)));
    }
    sessionPath_ = path;
    if (!sessionPath_.isEmpty()) {
        systemBus_.connect(LOGIN, sessionPath_, PROPERTIES, QStringLiteral("PropertiesChanged"),
                           this, SLOT(onSessionProperties(QString, QVariantMap, QStringList)));
    }
}

void ScreenLockWatcher::readLockedHint() {
    const quint64 generation = generations_[LOGIND];
    const quint64 news = sessionNews_;
    readPropertyAsync(systemBus_, LOGIN, sessionPath_, SESSION, LOCKED_HINT, this,
                      [this, generation, news](const QVariant& locked) {
                          if (generation == generations_[LOGIND] && news == sessionNews_) {
                              set(LOGIND, locked.toBool());
                          }
                      });
}

void ScreenLockWatcher::onSessionLock(const QDBusMessage& message) {
    sessionSignal(message.path(), true);
}

void ScreenLockWatcher::onSessionUnlock(const QDBusMessage& message) {
    sessionSignal(message.path(), false);
}

void ScreenLockWatcher::sessionSignal(const QString& path, bool locked) {
    if (!sessionPath_.isEmpty()) {
        if (path == sessionPath_) {
            ++sessionNews_;
            set(LOGIND, locked);
        }
        return;
    }
    constexpr qsizetype MAX_EARLY = 16;
    if (earlySignals_.size() < MAX_EARLY || earlySignals_.contains(path)) {
        earlySignals_.insert(path, locked);
    }
}

void ScreenLockWatcher::onSessionProperties(const QString& interface, const QVariantMap& changed,
                                            const QStringList& invalidated) {
    if (interface != SESSION) {
        return;
    }
    if (changed.contains(LOCKED_HINT)) {
        ++sessionNews_;
        set(LOGIND, changed.value(LOCKED_HINT).toBool());
    } else if (invalidated.contains(LOCKED_HINT)) {
        readLockedHint();
    }
}

void ScreenLockWatcher::readScreenSaver(Source source) {
    const quint64 generation = ++generations_[source];
    const Saver& saver = SAVERS[source - FREEDESKTOP_SAVER];
    const QString service = QString::fromLatin1(saver.service);
    const QDBusMessage call = QDBusMessage::createMethodCall(
        service, QString::fromLatin1(saver.path), service, QStringLiteral("GetActive"));
    callAsync(savers_[source - FREEDESKTOP_SAVER]->bus(), call, this,
              [this, source, generation](const QList<QVariant>& reply) {
                  if (generation == generations_[source] && !reply.isEmpty()) {
                      set(source, reply.first().toBool());
                  }
              });
}

void ScreenLockWatcher::onScreenSaverActive(const QDBusMessage& message) {
    const QList<QVariant> args = message.arguments();
    if (args.isEmpty()) {
        return;
    }
    for (int i = 0; i < 2; ++i) {
        if (message.interface() == QLatin1String(SAVERS[i].service)) {
            const auto source = static_cast<Source>(FREEDESKTOP_SAVER + i);
            ++generations_[source]; // a GetActive under way answers for an older moment
            set(source, args.at(0).toBool());
        }
    }
}

void ScreenLockWatcher::set(Source source, bool locked) {
    states_[source] = locked;
    bool any = false;
    for (const bool state : states_) {
        any = any || state;
    }
    if (any != locked_) {
        locked_ = any;
        Q_EMIT lockedChanged(locked_);
    }
}

SleepWatcher::SleepWatcher(QDBusConnection systemBus, QObject* parent) : QObject(parent) {
    systemBus.connect(LOGIN, LOGIN_PATH, MANAGER, QStringLiteral("PrepareForSleep"), this,
                      SLOT(onPrepareForSleep(bool)));
}

void SleepWatcher::onPrepareForSleep(bool sleeping) {
    if (!sleeping) {
        Q_EMIT woke();
    }
}

} // namespace app
